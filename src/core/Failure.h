// The program's one failure convention.
//
// Every procedure builds a Procedure on entry (its "failure handler") from its
// unit's Module, marks its numbered statements with At(10), At(20), ... and
// runs its body through Run(). A failure thrown anywhere below reaches
// ReportError with the module, the procedure's name and the number of the
// statement that was running; the program then ends. A procedure that must go
// on past a failing statement switches its handler to skipping and runs each
// such statement through Do() or Read().
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
[[noreturn]] inline void RaiseOverflow() {
  Raise(err::kOverflow, "Overflow");
}

class ErrorReporter;

// What any exception that reaches a handler means to the error message: the
// one policy for failures reported and failures skipped alike. Call it only
// inside a catch block.
Failure CaughtFailure();

// A source unit as the critical-error message names it, bound to the reporter
// by the unit's owner.
class Module {
 public:
  Module(ErrorReporter& reporter, std::string_view name) : reporter_(reporter), name_(name) {}
  ErrorReporter& Reporter() const { return reporter_; }
  std::string_view Name() const { return name_; }
  // A procedure of one numbered statement.
  template <class Body>
  decltype(auto) Run(std::string_view procedure, int32_t line, Body&& body) const;

 private:
  ErrorReporter& reporter_;
  std::string_view name_;
};

// The failure handler of one procedure. It starts out reporting failures; a
// procedure that must go on past a failing statement switches it to skipping
// them, from that statement on.
class Procedure {
 public:
  Procedure(Module module, std::string_view name) : module_(module), name_(name) {}
  Procedure(const Procedure&) = delete;
  Procedure& operator=(const Procedure&) = delete;

  // Marks the numbered statement that runs next; 0 means "no number".
  void At(int32_t line) { line_ = line; }
  // From now on a failing Do or Read statement is skipped.
  void SkipFailures(bool skip = true) { skipping_ = skip; }

  // Runs the body; any failure in it that is not skipped is reported and ends
  // the program.
  template <class Body>
  decltype(auto) Run(Body&& body) {
    try {
      return body();
    } catch (...) {
      Report(CaughtFailure());
    }
  }

  // A numbered statement; when failures are skipped, a failing one is passed over.
  template <class Stmt>
  void Do(int32_t line, Stmt&& stmt) {
    line_ = line;
    if (!skipping_) {
      stmt();
      return;
    }
    try {
      stmt();
    } catch (...) {
    }
  }

  // A numbered reading; when failures are skipped, a failing one yields the fallback.
  template <class T, class Stmt>
  T Read(int32_t line, T fallback, Stmt&& stmt) {
    line_ = line;
    if (!skipping_) return stmt();
    try {
      return stmt();
    } catch (...) {
      return fallback;
    }
  }

 private:
  [[noreturn]] void Report(const Failure& failure);

  Module module_;
  std::string_view name_;
  int32_t line_ = 0;
  bool skipping_ = false;
};

template <class Body>
decltype(auto) Module::Run(std::string_view procedure, int32_t line, Body&& body) const {
  Procedure p(*this, procedure);
  p.At(line);
  return p.Run(body);
}

}  // namespace zlv
