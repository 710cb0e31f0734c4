// Turning the manager's texts into what the service control manager expects.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zlv {

// The name the service is registered under, and shown under.
inline constexpr const char* kServiceName = "Zemlo Linkvane";

// The settings hold the dependencies as one line, the names separated by ';' or
// ',' (blanks around a name are ignored, empty names dropped). The result is the
// system's list form: every name followed by a NUL and the list by another NUL.
// An empty list is the two NULs alone.
std::string DependencyList(std::string_view settingsText);

// The program path as the registration must hold it: enclosed in double quotes,
// so that a blank in a folder name cannot make the system start a program that
// sits at the shorter path. A path that already carries its quotes is kept.
std::string QuotedProgramPath(std::string_view path);

// Overwrites a secret's characters and empties it. The volatile writes keep
// the compiler from dropping a store to a dying buffer.
template <class Text>
void WipeSecret(Text& secret) {
  volatile auto* chars = secret.data();
  for (std::size_t i = 0; i < secret.size(); ++i) chars[i] = 0;
  secret.clear();
}

// Wipes a secret on every way out of a scope.
template <class Text>
class WipedOnExit {
 public:
  explicit WipedOnExit(Text& secret) : secret_(secret) {}
  ~WipedOnExit() { WipeSecret(secret_); }
  WipedOnExit(const WipedOnExit&) = delete;
  WipedOnExit& operator=(const WipedOnExit&) = delete;

 private:
  Text& secret_;
};

}  // namespace zlv
