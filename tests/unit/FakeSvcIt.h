// An in-memory service-control component that keeps the real one's contract
// (SvcItContract.h holds both to it). It logs every value written and every
// call made, in order ("Option10=2", "Installed", "Install(False)",
// "SendControl(200)"), and plays the service's part as told by its behaviour;
// a slow service takes `stopReadings` state readings to stop when nobody waits
// for it. A call named in `failing` raises, as the real one does when the
// service manager refuses access.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "SvcItContract.h"

namespace zlv::test {

class FakeSvcIt : public SvcIt {
 public:
  bool installed = false, running = false;
  Behaviour behaviour = Behaviour::kWellBehaved;
  int32_t stopReadings = 3;
  std::set<std::string> failing;
  std::vector<std::string> log;
  std::vector<int32_t> delivered;  // control codes the service received

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
    markedForDeletion_ = true;
    AskToStop(false);
    Settle();
  }
  void Stop() override {
    Call("Stop", "Stop");
    AskToStop(true);
  }
  bool Running() override {
    Read("Running");
    return installed && running;
  }
  bool Installed() override {
    Read("Installed");
    return installed;
  }
  void Start(const std::string& arguments) override {
    Call("Start(" + arguments + ")", "Start");
    stopIn_ = -1;
    if (behaviour != Behaviour::kNeverStarts) running = true;
  }
  void Install(bool option) override {
    Log("Install(" + Bool(option) + ")", "Install");
    // The old registration must be gone first, as the system requires.
    if (installed) Raise(markedForDeletion_ ? 1072 : 1073, "CreateService failed");
    installed = true;
  }
  void SendControl(int32_t code) override {
    Call("SendControl(" + std::to_string(code) + ")", "SendControl");
    if (code < 128 || code > 255) Raise(87, "ControlService: the parameter is incorrect");
    if (running) delivered.push_back(code);
  }

 private:
  static std::string Bool(bool v) { return v ? "True" : "False"; }
  void Log(const std::string& entry, const std::string& name) {
    log.push_back(entry);
    if (failing.contains(name)) Raise(5, name + ": access is denied");
  }
  void Write(const std::string& name, const std::string& value) { Log(name + "=" + value, name); }
  // A call that needs the service.
  void Call(const std::string& entry, const std::string& name) {
    Log(entry, name);
    if (!installed) Raise(1060, "OpenService: the service does not exist");
  }
  void AskToStop(bool awaited) {
    if (behaviour == Behaviour::kIgnoresStop) return;
    if (awaited || behaviour != Behaviour::kStopsSlowly) {
      running = false;
    } else if (running && stopIn_ < 0) {
      stopIn_ = stopReadings;
    }
  }
  // A stop in progress ends after its readings.
  void Read(const std::string& name) {
    Log(name, name);
    if (stopIn_ > 0 && --stopIn_ == 0) running = false;
    Settle();
  }
  // A service marked for deletion goes once it has stopped.
  void Settle() {
    if (markedForDeletion_ && !running) installed = markedForDeletion_ = false;
  }

  bool markedForDeletion_ = false;
  int32_t stopIn_ = -1;
};

}  // namespace zlv::test
