// The program's one failure convention.
//
// Every procedure builds a Procedure on entry (its "failure handler"), marks its
// numbered statements with At(10), At(20), ... and runs its body through Run().
// A Failure thrown anywhere below reaches ReportError with the module, the
// procedure's name and the number of the statement that was running; the
// program then ends. Stretches that must go on past a failing statement wrap
// each statement in Skip()/SkipOr() instead.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace zlv {

// A pending failure: what the error message reports as number and description.
class Failure : public std::runtime_error {
 public:
  Failure(int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

// Error numbers of the failures the program raises itself.
namespace err {
constexpr int32_t kInvalidCall = 5;
constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kTypeMismatch = 13;
constexpr int32_t kInternal = 51;
constexpr int32_t kFileNotFound = 53;
constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kInvalidProperty = 380;
}  // namespace err

[[noreturn]] inline void Raise(int32_t number, std::string description) {
  throw Failure(number, std::move(description));
}
[[noreturn]] inline void RaiseOverflow() { Raise(err::kOverflow, "Overflow"); }

class ErrorReporter;

// The failure handler of one procedure.
class Procedure {
 public:
  Procedure(ErrorReporter& reporter, std::string_view module, std::string_view name)
      : reporter_(reporter), module_(module), name_(name) {}
  Procedure(const Procedure&) = delete;
  Procedure& operator=(const Procedure&) = delete;

  // Marks the numbered statement that runs next; 0 means "no number".
  void At(int32_t line) { line_ = line; }

  // Runs the body; any failure in it is reported and ends the program.
  template <class Body>
  decltype(auto) Run(Body&& body) {
    try {
      return body();
    } catch (const Failure& failure) {
      Report(failure);
    } catch (const std::bad_alloc&) {
      Report(Failure(err::kOutOfMemory, "Out of memory"));
    } catch (const std::exception& e) {
      Report(Failure(err::kInternal, e.what()));
    }
  }

  // One statement whose failure is skipped: the next statement runs.
  template <class Stmt>
  void Skip(int32_t line, Stmt&& stmt) {
    line_ = line;
    try {
      stmt();
    } catch (const Failure&) {
    }
  }

  // A skipped reading: a failing one yields the fallback.
  template <class T, class Stmt>
  T SkipOr(int32_t line, T fallback, Stmt&& stmt) {
    line_ = line;
    try {
      return stmt();
    } catch (const Failure&) {
      return fallback;
    }
  }

 private:
  [[noreturn]] void Report(const Failure& failure);

  ErrorReporter& reporter_;
  std::string_view module_;
  std::string_view name_;
  int32_t line_ = 0;
};

}  // namespace zlv
