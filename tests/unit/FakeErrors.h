// The error reporter's platform side for unit tests: the critical message is
// recorded and the abrupt end of the program becomes a ProgramEnded exception
// that no Procedure catches.
#pragma once

#include <string>
#include <vector>

#include "shell/ErrorReporter.h"

namespace zlv::test {

struct ProgramEnded {};

class FakeErrorOutput : public ErrorOutput {
 public:
  ProgramVersion Version() override { return {3, 2, 1}; }
  std::string GeneralDateTime() override { return "06/12/2026 10:11:12"; }
  void ShowCritical(const std::string& text, const std::string& title) override {
    messages.push_back(text);
    titles.push_back(title);
    events.push_back("message");
  }
  void Beep() override { events.push_back("beep"); }
  [[noreturn]] void EndNow() override {
    events.push_back("end");
    throw ProgramEnded{};
  }

  std::vector<std::string> messages;
  std::vector<std::string> titles;
  std::vector<std::string> events;
};

// A reporter over a fake output, for tests of any procedure.
struct FakeReporter {
  FakeErrorOutput output;
  ErrorReporter reporter{output};
  bool Reported() const { return !output.messages.empty(); }
  const std::string& Message() const { return output.messages.at(0); }
};

}  // namespace zlv::test
