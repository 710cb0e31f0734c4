// An in-memory service-control component for the service operations' tests.
// It logs every value written and every call made, in order ("Option10=2",
// "Installed", "Install(False)", "SendControl(200)"), can be told to fail any
// of them, and to be slow to remove a service.
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
  // The state of the service.
  bool installed = false;
  bool running = false;
  // What the calls achieve.
  bool installWorks = true;
  bool startWorks = true;
  bool stopWorks = true;
  // Readings of Installed that still answer True after Uninstall.
  int32_t removalPolls = 0;
  // Names of calls or values that raise a Failure ("Installed", "Option10").
  std::set<std::string> failing;

  std::vector<std::string> log;
  std::string lastPassword;

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
  void AccountPassword(const std::string& v) override {
    Write("AccountPassword", v);
    lastPassword = v;
  }
  void ServiceDependencies(const std::string& v) override { Write("ServiceDependencies", v); }
  void LocalSystemInteractive(bool v) override { Write("LocalSystemInteractive", Bool(v)); }
  void Option9(bool v) override { Write("Option9", Bool(v)); }
  void Option10(int16_t v) override { Write("Option10", std::to_string(v)); }
  void ExecutablePath(const std::string& v) override { Write("ExecutablePath", v); }
  void Description(const std::string& v) override { Write("Description", v); }

  void Uninstall() override {
    Call("Uninstall", "Uninstall");
    running = false;
    if (removalPolls > 0) {
      pendingRemoval_ = removalPolls;
    } else {
      installed = false;
    }
  }
  void Stop() override {
    Call("Stop", "Stop");
    if (stopWorks) running = false;
  }
  bool Running() override {
    Call("Running", "Running");
    return installed && running;
  }
  bool Installed() override {
    Call("Installed", "Installed");
    if (pendingRemoval_ > 0) {
      if (--pendingRemoval_ == 0) installed = false;
      return true;
    }
    return installed;
  }
  void Start(const std::string& arguments) override {
    Call("Start(" + arguments + ")", "Start");
    if (installed && startWorks) running = true;
  }
  void Install(bool option) override {
    Call("Install(" + Bool(option) + ")", "Install");
    if (installWorks) {
      installed = true;
      pendingRemoval_ = 0;
    }
  }
  void SendControl(int32_t code) override {
    Call("SendControl(" + std::to_string(code) + ")", "SendControl");
  }

 private:
  static std::string Bool(bool v) { return v ? "True" : "False"; }
  void Call(const std::string& entry, const std::string& name) {
    log.push_back(entry);
    if (failing.count(name)) Raise(-2147467259, name + " failed");
  }
  void Write(const std::string& name, const std::string& value) { Call(name + "=" + value, name); }

  int32_t pendingRemoval_ = 0;
};

}  // namespace zlv::test
