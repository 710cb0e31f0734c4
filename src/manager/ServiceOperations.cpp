#include "manager/ServiceOperations.h"

#include <algorithm>
#include <cctype>

#include "service/ServiceConfig.h"

namespace zlv {

namespace {

constexpr int32_t kOutcomeTicks = 10;
constexpr int32_t kShowWindow = 200;
constexpr int32_t kHideWindow = 201;
constexpr float kRemovalWaitSeconds = 5.0f;
constexpr int32_t kRemovalPollMs = 10;
// How long an elevated copy may take: a start waits 30 s at most, after an
// install; the login dialog waits for someone to type an account.
constexpr int32_t kElevatedCommandMs = 120000;
constexpr int32_t kElevatedLoginMs = 900000;

// The one-shot option of each command that needs an administrator's rights,
// by command number.
constexpr const char* kRightsOptions[cmd::kCount] = {
    "-INSTALL", "-UNINSTALL", "-START", "-STOP", nullptr, nullptr, nullptr, "-INSTALLAS", nullptr};

const char* RightsOption(int16_t command) {
  return command >= 0 && command < cmd::kCount ? kRightsOptions[command] : nullptr;
}

// What the command itself would tell of the state its elevated copy left;
// without an exit code (a declined prompt) its failure text. A cancelled login
// leaves an existing registration as it was: nothing to tell.
const char* ElevatedOutcome(int16_t command, std::optional<int> exit, bool installed,
                            bool running) {
  const bool ran = exit.has_value();
  switch (command) {
    case cmd::kInstallAs:
      if (ran && *exit != exitcode::kGoalReached && installed) return nullptr;
      [[fallthrough]];
    case cmd::kInstall:
      return ran && installed ? "Service installed successfully" : "Service failed to install";
    case cmd::kUninstall:
      return ran && !installed ? "Service was uninstalled successfully"
                               : "Service failed to uninstall";
    case cmd::kStart:
      return ran && running ? "Service is Running" : "Service failed to start";
    default:
      if (ran && !installed) return "Service was not installed";
      return ran && !running ? "Service is Stopped" : "Service failed to stop";
  }
}

std::string ElevatedParameters(const char* option) {
  return std::string(option) + " " + std::string(kElevatedCopyOption);
}

// "C:" alone names the drive's current folder, not its root.
std::string AsWorkingFolder(const std::string& folder) {
  return folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
}

}  // namespace

bool ServiceOperations::ElevationNeeded() {
  std::string line = d_.commandLine;
  std::transform(line.begin(), line.end(), line.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return line.find(kElevatedCopyOption) == std::string::npos && d_.elevation.TokenLimited();
}

std::vector<int16_t> ServiceOperations::CommandsAskingForRights() {
  if (!ElevationNeeded()) return {};
  return {cmd::kInstall, cmd::kInstallAs, cmd::kUninstall, cmd::kStart, cmd::kStop};
}

int ServiceOperations::LastExitCode() const {
  if (elevatedExit_) return *elevatedExit_;
  return succeeded_ ? exitcode::kGoalReached : exitcode::kGoalMissed;
}

void ServiceOperations::RunCommand(int16_t command) {
  elevatedExit_.reset();
  if (RightsOption(command) && ElevationNeeded()) {
    ElevatedCommand(command);
    return;
  }
  // By command number.
  static constexpr void (ServiceOperations::*kCommands[cmd::kCount])() = {
      &ServiceOperations::ServiceInstall, &ServiceOperations::ServiceUninstall,
      &ServiceOperations::ServiceStart,   &ServiceOperations::ServiceStop,
      &ServiceOperations::ServiceShow,    &ServiceOperations::ServiceHide,
      &ServiceOperations::RunInteractive, &ServiceOperations::ServiceInstallAs,
      &ServiceOperations::MonitorInfoLog};
  if (command >= 0 && command < cmd::kCount) (this->*kCommands[command])();
}

// The password of Install As never leaves the process it is typed in: the
// elevated copy shows the login dialog itself.
void ServiceOperations::ElevatedCommand(int16_t command) {
  succeeded_ = false;
  Procedure p(module_, "ElevatedCommand");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.At(10);
    const std::string parameters = ElevatedParameters(RightsOption(command));
    p.At(20);
    elevatedExit_ = d_.elevation.RunElevated(
        parameters, command == cmd::kInstallAs ? kElevatedLoginMs : kElevatedCommandMs);
    p.SkipFailures();
    p.Do(30, [&] { svc.Option10(2); });
    p.Do(40, [&] { svc.ServiceName(kServiceName); });
    // Unreadable states fall back as in the commands themselves.
    const bool stopOrRemoval = command == cmd::kStop || command == cmd::kUninstall;
    const bool installed = p.Read(50, stopOrRemoval, [&] { return svc.Installed(); });
    const bool running = p.Read(60, command == cmd::kStop, [&] { return svc.Running(); });
    p.At(70);
    if (const char* text = ElevatedOutcome(command, elevatedExit_, installed, running))
      ShowOutcome(text);
    succeeded_ = elevatedExit_ == exitcode::kGoalReached;
  });
}

void ServiceOperations::StopForDesktopRun() {
  if (ElevationNeeded()) {
    d_.elevation.RunElevated(ElevatedParameters(RightsOption(cmd::kStop)), kElevatedCommandMs);
  } else {
    d_.svc.Stop();
  }
}

std::string ServiceOperations::ServiceProgram() const {
  return d_.appFolder + "\\Linkvane_Service.exe";
}

std::string ServiceOperations::RemovalProgram() const {
  return d_.appFolder + "\\Linkvane_Svc.exe";
}

void ServiceOperations::ShowOutcome(const char* text) {
  d_.status.StatusDisplay(text, kOutcomeTicks);
}

// Replaces an existing registration without waiting for the old one to go:
// the component bridges that gap itself.
void ServiceOperations::ReplaceAndInstall(Procedure& p) {
  SvcIt& svc = d_.svc;
  if (p.Read(200, false, [&] { return svc.Installed(); })) {
    p.Do(210, [&] { svc.Uninstall(); });
  }
  p.Do(220, [&] { svc.Install(false); });
  const bool installed = p.Read(230, false, [&] { return svc.Installed(); });
  p.At(240);
  ShowOutcome(installed ? "Service installed successfully" : "Service failed to install");
  succeeded_ = installed;
}

void ServiceOperations::ServiceInstall() {
  succeeded_ = false;
  Procedure p(module_, "ServiceInstall");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.At(10);
    const std::string dependencies =
        d_.settings.ReadINI(d_.settingsFile, "Service Options", "Dependencies", "");
    p.SkipFailures();
    p.Do(20, [&] { svc.Option10(2); });
    p.Do(30, [&] { svc.LocalSystemInteractive(true); });
    p.Do(40, [&] { svc.ServiceName(kServiceName); });
    p.Do(50, [&] { svc.DisplayName(kServiceName); });
    p.Do(60, [&] { svc.ExecutablePath(ServiceProgram()); });
    p.Do(70, [&] { svc.Option4(0); });
    p.Do(80, [&] { svc.AccountName(""); });
    p.Do(90, [&] { svc.AccountPassword(""); });
    p.Do(100, [&] { svc.Option9(true); });
    p.Do(110, [&] { svc.ServiceDependencies(dependencies); });
    p.Do(120, [&] { svc.Description(kServiceDescription); });
    ReplaceAndInstall(p);
  });
}

void ServiceOperations::ServiceInstallAs() {
  succeeded_ = false;
  Procedure p(module_, "ServiceInstallAs");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    // Skipped like every other step, but its description is wanted for the box.
    p.SkipFailures();
    p.At(10);
    std::string showError;
    bool shown = false;
    try {
      d_.login.ShowModal();
      shown = true;
    } catch (...) {
      showError = CaughtFailure().Description();
    }
    if (!shown) {
      p.Do(20, [&] {
        d_.boxes.Show("Unable to open Install As window. error: " + showError, mb::kOk,
                      kManagerCaption);
      });
      return;
    }
    p.Do(30, [&] { d_.events.DoEvents(); });
    p.Do(40, [&] {
      if (d_.repaintManager) d_.repaintManager();
    });
    if (!p.Read(50, false, [&] { return d_.login.OKPressed(); })) return;
    const std::string account = p.Read(60, std::string(), [&] { return d_.login.UserName(); });
    if (account.empty()) return;
    std::string password = p.Read(70, std::string(), [&] { return d_.login.Password(); });
    WipedOnExit wipe(password);  // on every way out of the command
    const std::string dependencies = p.Read(80, std::string(), [&] {
      return d_.settings.ReadINI(d_.settingsFile, "Service Options", "Dependencies", "");
    });
    p.Do(90, [&] { svc.Option10(2); });
    p.Do(100, [&] { svc.ServiceName(kServiceName); });
    p.Do(110, [&] { svc.DisplayName(kServiceName); });
    p.Do(120, [&] { svc.ExecutablePath(ServiceProgram()); });
    p.Do(130, [&] { svc.AccountName(account); });
    p.Do(140, [&] { svc.AccountPassword(password); });
    p.Do(150, [&] { svc.LocalSystemInteractive(false); });
    p.Do(160, [&] { svc.Option4(0); });
    p.Do(170, [&] { svc.Option9(true); });
    p.Do(180, [&] { svc.ServiceDependencies(dependencies); });
    p.Do(190, [&] { svc.Description(kServiceDescription); });
    ReplaceAndInstall(p);
  });
}

void ServiceOperations::ServiceUninstall() {
  succeeded_ = false;
  Procedure p(module_, "ServiceUninstall");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.SkipFailures();
    p.Do(10, [&] { svc.Option10(2); });
    p.Do(20, [&] { svc.ServiceName(kServiceName); });
    p.Do(30, [&] { svc.DisplayName(kServiceName); });
    p.Do(40, [&] { svc.ExecutablePath(RemovalProgram()); });
    if (p.Read(50, true, [&] { return svc.Installed(); })) {
      p.Do(60, [&] { svc.Uninstall(); });
    }
    // The system removes a service once its last handle closes; timers and
    // clicks are served meanwhile. The start is taken afresh after midnight,
    // when the clock jumps back, so the wait can never run on for a day.
    p.At(70);
    float start = d_.clock.SecondsSinceMidnight();
    for (;;) {
      if (!p.Read(80, true, [&] { return svc.Installed(); })) break;
      p.At(90);
      if (start + kRemovalWaitSeconds < d_.clock.SecondsSinceMidnight()) break;
      p.At(100);
      const float now = d_.clock.SecondsSinceMidnight();
      if (now < start) start = now;
      p.At(110);
      d_.clock.Sleep(kRemovalPollMs);
      p.Do(120, [&] { d_.events.DoEvents(); });
    }
    const bool installed = p.Read(130, true, [&] { return svc.Installed(); });
    p.At(140);
    ShowOutcome(installed ? "Service failed to uninstall" : "Service was uninstalled successfully");
    succeeded_ = !installed;
  });
}

void ServiceOperations::CommonPreamble(Procedure& p) {
  SvcIt& svc = d_.svc;
  p.Do(10, [&] { svc.Option10(2); });
  p.Do(20, [&] { svc.LocalSystemInteractive(true); });
  p.Do(30, [&] { svc.ServiceName(kServiceName); });
  p.Do(40, [&] { svc.Option4(0); });
  p.Do(50, [&] { svc.Option9(true); });
}

void ServiceOperations::ServiceStart() {
  succeeded_ = false;
  Procedure p(module_, "ServiceStart");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.SkipFailures();
    CommonPreamble(p);
    if (p.Read(60, true, [&] { return svc.Installed(); })) {
      p.Do(70, [&] { svc.Start(""); });
    } else {
      p.At(80);
      ShowOutcome("Installing service...");
      p.At(90);
      ServiceInstall();
      if (p.Read(100, false, [&] { return svc.Installed(); })) {
        p.Do(110, [&] { svc.Start(""); });
      }
    }
    const bool running = p.Read(120, false, [&] { return svc.Running(); });
    p.At(130);
    ShowOutcome(running ? "Service is Running" : "Service failed to start");
    if (p.Read(140, false, [&] { return svc.Running(); })) {
      p.Do(150, [&] { svc.SendControl(kShowWindow); });
    }
    succeeded_ = running;
  });
}

void ServiceOperations::ServiceStop() {
  succeeded_ = false;
  Procedure p(module_, "ServiceStop");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.SkipFailures();
    CommonPreamble(p);
    // An unreadable state is treated as installed: "not installed" would be
    // a claim nobody checked.
    if (p.Read(60, true, [&] { return svc.Installed(); })) {
      p.Do(70, [&] { svc.Stop(); });
      const bool running = p.Read(80, true, [&] { return svc.Running(); });
      p.At(90);
      ShowOutcome(running ? "Service failed to stop" : "Service is Stopped");
      succeeded_ = !running;
    } else {
      p.At(100);
      ShowOutcome("Service was not installed");
    }
  });
}

void ServiceOperations::ShowOrHide(Procedure& p, int32_t code) {
  SvcIt& svc = d_.svc;
  bool sent = false;
  const auto send = [&] {
    svc.SendControl(code);
    sent = true;
  };
  const auto running = [&] { return svc.Running(); };
  CommonPreamble(p);
  if (p.Read(60, true, [&] { return svc.Installed(); })) {
    if (p.Read(70, false, running)) {
      p.Do(80, send);
    } else {
      p.At(90);
      ServiceStart();
      if (p.Read(100, false, running)) p.Do(110, send);
    }
  } else {
    p.At(120);
    ShowOutcome("Installing service...");
    p.At(130);
    ServiceInstall();
    if (p.Read(140, false, [&] { return svc.Installed(); })) {
      p.At(150);
      ServiceStart();
      if (p.Read(160, false, running)) p.Do(170, send);
    }
  }
  succeeded_ = sent;
}

// Show goes on past a failing step; Hide reports it.
void ServiceOperations::ServiceShow() {
  succeeded_ = false;
  Procedure p(module_, "ServiceShow");
  p.Run([&] {
    p.SkipFailures();
    ShowOrHide(p, kShowWindow);
  });
}

void ServiceOperations::ServiceHide() {
  succeeded_ = false;
  Procedure p(module_, "ServiceHide");
  p.Run([&] { ShowOrHide(p, kHideWindow); });
}

void ServiceOperations::RunInteractive() {
  succeeded_ = false;
  Procedure p(module_, "RunInteractive");
  p.Run([&] {
    SvcIt& svc = d_.svc;
    p.At(10);
    svc.Option10(2);
    p.At(20);
    svc.ServiceName(kServiceName);
    p.At(30);
    if (svc.Running()) {
      p.At(40);
      const int32_t answer = d_.boxes.Show(
          "The service needs to be stopped before running interactive mode.\r\n\r\n"
          "Would you like to do this now?",
          mb::kYesNo + mb::kInformation, kManagerCaption);
      if (answer != mb::kAnswerYes) return;
      p.At(50);
      // Elevated where this manager lacks the rights; the state read next tells.
      StopForDesktopRun();
      p.At(60);
      if (svc.Running()) {
        p.At(70);
        d_.boxes.Show("The service did not stop successfully. Please try again.", mb::kExclamation,
                      kManagerCaption);
        return;
      }
      p.At(80);
      d_.boxes.Show("Remember to start the service again when you have finished.", mb::kInformation,
                    kManagerCaption);
    }
    p.At(90);
    d_.shell.Open("Open", d_.appFolder + "\\Linkvane.exe", "", AsWorkingFolder(d_.appFolder), 1);
    succeeded_ = true;
  });
}

void ServiceOperations::MonitorInfoLog() {
  Procedure p(module_, "MonitorInfoLog");
  p.Run([&] {
    p.At(10);
    if (!d_.monitor.Built()) d_.monitor.Build();
    p.At(20);
    d_.monitor.ShowNonModal();
  });
}

}  // namespace zlv
