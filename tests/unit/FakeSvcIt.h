// An in-memory service-control component that keeps the real one's contract
// (SvcItContract.h holds both to it). It logs every value written and every
// call made, in order ("Option10=2", "Installed", "Install(False)",
// "SendControl(200)"), and plays the service's part: a service can refuse to
// start, ignore a stop, or take a number of state readings to stop when
// nobody waits for it. A call named in `failing` raises, as the real one does
// when the service manager refuses access.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "service/SvcIt.h"
#include "shell/Failure.h"

namespace zlv::test {

class FakeSvcIt : public SvcIt {
 public:
  enum class Service { kWellBehaved, kNeverStarts, kIgnoresStop };

  // The service's state and behaviour.
  bool installed = false;
  bool running = false;
  Service behaviour = Service::kWellBehaved;
  // State readings an unawaited stop (the one Uninstall asks for) takes.
  int32_t stopReadings = 0;
  std::set<std::string> failing;

  std::vector<std::string> log;
  std::vector<int32_t> delivered;  // control codes the service received

  // The log without the state readings, for checking what was done.
  std::vector<std::string> Actions() const {
    std::vector<std::string> actions;
    for (const auto& entry : log) {
      if (entry != "Installed" && entry != "Running") actions.push_back(entry);
    }
    return actions;
  }

  void ServiceName(const std::string& v) override { Write("ServiceName", v); }
  void DisplayName(const std::string& v) override { Write("DisplayName", v); }
  void Option4(int16_t v) override { Write("Option4", std::to_string(v)); }
  void AccountName(const std::string& v) override { Write("AccountName", v); }
  void AccountPassword(const std::string& v) override { Write("AccountPassword", v); }
  void ServiceDependencies(const std::string& v) override { Write("ServiceDependencies", v); }
  void LocalSystemInteractive(bool v) override { Write("LocalSystemInteractive", Bool(v)); }
  void Option9(bool v) override { Write("Option9", Bool(v)); }
  void Option10(int16_t v) override { Write("Option10", std::to_string(v)); }
  void ExecutablePath(const std::string& v) override { Write("ExecutablePath", v); }
  void Description(const std::string& v) override { Write("Description", v); }

  void Uninstall() override {
    Call("Uninstall", "Uninstall");
    Existing();
    markedForDeletion_ = true;
    AskToStop(stopReadings);
    Settle();
  }
  void Stop() override {
    Call("Stop", "Stop");
    Existing();
    AskToStop(0);
  }
  bool Running() override {
    Call("Running", "Running");
    Read();
    return installed && running;
  }
  bool Installed() override {
    Call("Installed", "Installed");
    Read();
    return installed;
  }
  void Start(const std::string& arguments) override {
    Call("Start(" + arguments + ")", "Start");
    Existing();
    stopIn_ = -1;
    if (behaviour != Service::kNeverStarts) running = true;
  }
  void Install(bool option) override {
    Call("Install(" + Bool(option) + ")", "Install");
    // The old registration must be gone first, as the system requires.
    if (installed) Raise(markedForDeletion_ ? 1072 : 1073, "CreateService failed");
    installed = true;
  }
  void SendControl(int32_t code) override {
    Call("SendControl(" + std::to_string(code) + ")", "SendControl");
    Existing();
    if (code < 128 || code > 255) Raise(87, "ControlService: the parameter is incorrect");
    if (running) delivered.push_back(code);
  }

 private:
  static std::string Bool(bool v) { return v ? "True" : "False"; }
  void Call(const std::string& entry, const std::string& name) {
    log.push_back(entry);
    if (failing.count(name)) Raise(5, name + ": access is denied");
  }
  void Write(const std::string& name, const std::string& value) { Call(name + "=" + value, name); }
  void Existing() const {
    if (!installed) Raise(1060, "OpenService: the service does not exist");
  }
  void AskToStop(int32_t readings) {
    if (!running || behaviour == Service::kIgnoresStop) return;
    if (readings == 0) {
      running = false;
    } else if (stopIn_ < 0) {
      stopIn_ = readings;
    }
  }
  // A stop in progress ends after its readings; a marked service goes once stopped.
  void Read() {
    if (stopIn_ > 0 && --stopIn_ == 0) {
      stopIn_ = -1;
      running = false;
    }
    Settle();
  }
  void Settle() {
    if (markedForDeletion_ && !running) {
      installed = false;
      markedForDeletion_ = false;
    }
  }

  bool markedForDeletion_ = false;
  int32_t stopIn_ = -1;
};

}  // namespace zlv::test
