// The service commands of the manager: install (as Local System or as a typed
// account), uninstall, start, stop, show and hide the service's window, and
// the run of the application as a desktop program. Each writes every value of
// the service-control component that it relies on, acts, and judges its
// outcome only by reading the service's state afterwards.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ErrorReporter.h"
#include "core/Modules.h"
#include "installas/LoginDialog.h"
#include "manager/Commands.h"
#include "manager/StatusLine.h"
#include "platform/Clock.h"
#include "platform/UserPrompts.h"
#include "platform/Launchers.h"
#include "service/SvcIt.h"
#include "settings/ManagerGlobal.h"

namespace zlv {

inline constexpr const char* kServiceDescription =
    "Zemlo Linkvane Service - Network management tools";

// The log monitor window, built at its first showing.
class LogMonitor {
 public:
  virtual ~LogMonitor() = default;
  virtual bool Built() = 0;
  virtual void Build() = 0;
  // Shows the window without an owner; an open one is only brought forward.
  virtual void ShowNonModal() = 0;
};

// Everything the operations act on, owned by the manager window. The two path
// texts are read at every use, so they may be filled in after construction.
struct OperationsContext {
  SvcIt& svc;
  StatusLine& status;
  ManagerGlobal& settings;
  const std::string& settingsFile;
  const std::string& appFolder;  // without a trailing backslash
  LoginDialog& login;
  LogMonitor& monitor;
  MessageBoxes& boxes;
  ShellLauncher& shell;
  Clock& clock;
  EventPump& events;
  ErrorReporter& reporter;
  std::function<void()> repaintManager;
  ElevatedLauncher& elevation;
  std::string commandLine;  // this program's own
};

// Given to the elevated copy that runs one command, which never asks again.
inline constexpr std::string_view kElevatedCopyOption = "-ELEVATED";

class ServiceOperations {
 public:
  explicit ServiceOperations(OperationsContext context)
      : d_(std::move(context)), module_(d_.reporter, module::kLinkvaneManager) {}

  // Runs command 0 to 8. One that needs an administrator's rights this
  // manager lacks runs in an elevated one-shot copy of the program, and its
  // outcome is then read and told as the command itself would tell it.
  void RunCommand(int16_t command);
  // The commands that would now ask for an administrator's rights.
  std::vector<int16_t> CommandsAskingForRights();

  void ServiceInstall();
  void ServiceInstallAs();
  void ServiceUninstall();
  void ServiceStart();
  void ServiceStop();
  void ServiceShow();
  void ServiceHide();
  void RunInteractive();
  void MonitorInfoLog();

  // Whether the last command reached its goal (the service installed, gone,
  // running, stopped, told to show or hide; the desktop program started).
  // The command line turns this into the program's exit code.
  bool LastOutcomeSucceeded() const { return succeeded_; }
  // The exit code of a one-shot run: an elevated copy's own, else 0 for a
  // goal reached and 1 for one missed.
  int LastExitCode() const;

 private:
  void CommonPreamble(Procedure& p);
  void ShowOutcome(const char* text);
  std::string ServiceProgram() const;
  std::string RemovalProgram() const;
  void ReplaceAndInstall(Procedure& p);
  void ShowOrHide(Procedure& p, int32_t code);
  bool ElevationNeeded();
  void ElevatedCommand(int16_t command);
  void StopForDesktopRun();

  OperationsContext d_;
  Module module_;
  bool succeeded_ = false;
  std::optional<int> elevatedExit_;
};

}  // namespace zlv
