#include <gtest/gtest.h>

#include <set>

#include "Fakes.h"
#include "SvcItContract.h"
#include "installas/InstallAs.h"
#include "manager/ServiceOperations.h"
#include "service/ServiceConfig.h"
#include "service/ServiceRights.h"

namespace zlv::test {
namespace {

using namespace std::string_literals;
using Operation = void (ServiceOperations::*)();

// An in-memory service-control component, held below to the real one's
// contract. It logs each value written and call made ("Option10=2",
// "Installed", "Install(False)") and plays the service as its behaviour says;
// a slow one stops after `stopReadings` state readings when nobody waits. A
// call named in `failing` raises, as a refused access does.
class FakeSvcIt : public SvcIt {
 public:
  SvcIt& Svc() { return *this; }
  std::string Program() const { return "C:\\Zemlo\\Linkvane_Service.exe"; }
  void Behave(Behaviour b) { behaviour = b; }
  std::vector<int32_t> Delivered() const { return delivered; }
  bool Eventually(const std::function<bool()>& probe) {
    for (int reading = 0; reading < 10; ++reading)
      if (probe()) return true;
    return false;
  }

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
    Call("Uninstall", "Uninstall"), markedForDeletion_ = true;
    AskToStop(false), Settle();
  }
  void Stop() override { Call("Stop", "Stop"), AskToStop(true); }
  bool Running() override { return Read("Running"), installed && running; }
  bool Installed() override { return Read("Installed"), installed; }
  void Start(const std::string& arguments) override {
    Call("Start(" + arguments + ")", "Start"), stopIn_ = -1;
    if (behaviour != Behaviour::kNeverStarts) running = true;
  }
  void Install(bool option) override {
    Log("Install(" + Bool(option) + ")", "Install");
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
  void Call(const std::string& entry, const std::string& name) {
    Log(entry, name);
    if (!installed) Raise(1060, "OpenService: the service does not exist");
  }
  void AskToStop(bool awaited) {
    if (behaviour == Behaviour::kIgnoresStop) return;
    const bool slow = !awaited && behaviour == Behaviour::kStopsSlowly;
    if (!slow) running = false;
    if (slow && running && stopIn_ < 0) stopIn_ = stopReadings;
  }
  void Read(const std::string& name) {
    Log(name, name);
    if (stopIn_ > 0 && --stopIn_ == 0) running = false;
    Settle();
  }
  void Settle() {
    if (markedForDeletion_ && !running) installed = markedForDeletion_ = false;
  }

  bool markedForDeletion_ = false;
  int32_t stopIn_ = -1;
};

INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, SvcItContract, FakeSvcIt);

struct FakeStatusBar : StatusBar {
  void SetPanelText(int32_t panel, const std::string& text) override {
    line = panel == 1 ? text : "panel " + std::to_string(panel);
    if (!text.empty()) shown.push_back(line);
  }
  void Repaint() override {}
  std::string line;
  Strings shown;  // every text but the empty one, in order
};

// "Run as administrator": an elevated copy that ends with `exit`, leaving the
// service as `leaves` says, or a declined prompt (no exit code).
struct FakeLauncher : ElevatedLauncher {
  bool TokenLimited() override { return limited; }
  std::optional<int> RunElevated(const std::string& parameters, int32_t timeoutMs) override {
    launches.push_back(parameters + " within " + std::to_string(timeoutMs));
    if (exit) leaves();
    return exit;
  }
  bool limited = false;
  std::optional<int> exit;
  std::function<void()> leaves;
  Strings launches;
};

// The fixture is also the login dialog's window, whose scripted user types and
// clicks during each modal showing, the message boxes and the shell.
struct ServiceTest : ::testing::Test,
                     FakeSettings,
                     InstallAsWindow,
                     MessageBoxes,
                     ShellLauncher,
                     LogMonitor {
  void Build(InstallAsEvents& events) override {
    if (!buildError.empty()) Raise(7, buildError);
    user = &events;
  }
  WindowHandle Handle() override { return user ? 500 : 0; }
  void RunModal() override { ++modalShowings, script(); }
  void Hide() override {}
  std::string Text(InstallAsBox box) override { return texts[box]; }
  void SetText(InstallAsBox box, const std::string& text) override { texts[box] = text; }
  int32_t Show(const std::string& text, int32_t flags, const std::string& title) override {
    EXPECT_TRUE(opened.empty()) << "a program started before its box was closed";
    boxes.push_back(std::to_string(flags) + " " + title + ": " + text);
    return mb::kAnswerYes;
  }
  void Open(const std::string& operation, const std::string& file, const std::string& parameters,
            const std::string& directory, int32_t showMode) override {
    opened.push_back(operation + "|" + file + "|" + parameters + "|" + directory + "|" +
                     std::to_string(showMode));
  }
  bool Built() override { return monitorBuilt; }
  void Build() override { opened.push_back("monitor built"), monitorBuilt = true; }
  void ShowNonModal() override { opened.push_back("monitor shown"); }
  bool Showing(std::function<void()> userScript) {
    script = std::move(userScript);
    dialog.ShowModal();
    return dialog.OKPressed();
  }

  void Given(bool installed, bool running, Behaviour behaviour = Behaviour::kWellBehaved,
             std::set<std::string> failing = {}) {
    svc = FakeSvcIt(), bar.shown.clear();
    svc.installed = installed, svc.running = running, svc.behaviour = behaviour;
    svc.failing = std::move(failing);
  }
  // The log without the state readings; with `written` false, without the values written too.
  std::string Actions(bool written) const {
    std::string actions;
    for (const auto& a : svc.log)
      if (a != "Installed" && a != "Running" && (written || a.find('=') == a.npos))
        actions += (actions.empty() ? "" : ", ") + a;
    return actions;
  }

  FakeSvcIt svc;
  FakeStatusBar bar;
  FakeTimer poll, countdown;
  StatusLine status{svc, bar, poll, countdown, desktop.reporter};
  std::string settingsFile = "C:\\Zemlo\\ZemloLinkvaneManager-Settings.ini",
              appFolder = "C:\\Zemlo";
  int repaints = 0, modalShowings = 0;
  bool monitorBuilt = false;
  InstallAsEvents* user = nullptr;
  std::function<void()> script = [this] {
    texts = {{InstallAsBox::kUsername, ".\\netadmin"}, {InstallAsBox::kPassword, "s3cret"}};
    user->cmdOK_Click();
  };
  std::map<InstallAsBox, std::string> texts;
  std::string buildError;
  Strings boxes, opened;
  FakeWindowProcLayer layer;
  XPTheme theme{layer, desktop.reporter, [] { return std::string("9X"); }};
  InstallAs dialog{*this, settings, settingsFile, theme};
  FakeLauncher launcher;
  std::function<void()> repaint = [this] { ++repaints; };
  OperationsContext Desk(std::string commandLine) {
    return {svc,          status,    settings,
            settingsFile, appFolder, dialog,
            *this,        *this,     *this,
            desktop,      desktop,   desktop.reporter,
            repaint,      launcher,  std::move(commandLine)};
  }
  ServiceOperations ops{Desk("")};
};

// A temporary text stays for its ticks; one of less than a tick stays for good.
TEST_F(ServiceTest, StatusLinePollsEveryFiveSecondsAndCountsATemporaryTextDown) {
  status.StartTimers();
  EXPECT_EQ(std::tuple(poll.interval, poll.enabled, countdown.interval, countdown.enabled),
            std::tuple(5000, true, 1000, false));
  const std::tuple<bool, bool, std::set<std::string>, std::string, std::string> cases[] = {
      {false, true, {}, "Service is not installed", "Service not installed"},
      {true, true, {}, "Service is Running", "Service Running"},
      {true, false, {"Option10", "ServiceName"}, "Service is Stopped", "Service Stopped"},
      // A component that cannot answer leaves the line and its countdown as they were.
      {true, true, {"Installed"}, "Service failed to start", "Service Unknown"},
      {true, true, {"Running"}, "Service failed to start", "Service Unknown"},
  };
  int pollStarts = poll.starts;
  for (const auto& [installed, running, failing, line, text] : cases) {
    Given(installed, running, Behaviour::kWellBehaved, failing);
    status.StatusDisplay("Service failed to start", 10);
    EXPECT_EQ(poll.starts, ++pollStarts) << "an outcome gets a whole poll interval";
    status.ShowState_Timer();
    EXPECT_EQ(std::tuple(bar.line, status.StatusText(), countdown.enabled),
              std::tuple(line, text, text == "Service Unknown"));
  }
  for (const int32_t ttl : {3, 1, 0, -1, INT32_MIN}) {
    status.StatusDisplay("Installing service...", 10);
    status.StatusDisplayTimer_Timer();  // a new text restarts the count
    status.StatusDisplay("Service is Running", ttl);
    for (int tick = 1; tick < ttl; ++tick) status.StatusDisplayTimer_Timer();
    EXPECT_EQ(std::pair(bar.line, countdown.enabled), std::pair("Service is Running"s, ttl > 0));
    if (ttl > 0) status.StatusDisplayTimer_Timer();
    EXPECT_EQ(std::pair(bar.line, countdown.enabled),
              std::pair(ttl > 0 ? ""s : "Service is Running"s, false))
        << ttl;
  }
}

// Every operation judges its outcome by the state read afterwards, skips its
// failing component calls (hide aside) and never reports them.
TEST_F(ServiceTest, OutcomesFollowTheStateReadAfterwards) {
  const auto install = &ServiceOperations::ServiceInstall, start = &ServiceOperations::ServiceStart,
             stop = &ServiceOperations::ServiceStop, show = &ServiceOperations::ServiceShow,
             hide = &ServiceOperations::ServiceHide;
  using Failing = std::set<std::string>;
  const Failing all = {"Installed", "Running", "Install",    "Uninstall",
                       "Start",     "Stop",    "SendControl"};
  const std::string installing = "Installing service...",
                    installed = "Service installed successfully",
                    notInstalled = "Service failed to install", running = "Service is Running",
                    notStarted = "Service failed to start", notStopped = "Service failed to stop";
  const std::tuple<Operation, bool, bool, Failing, std::string, Strings, bool> cases[] = {
      // clang-format off
      {install, 1, 1, {}, "Uninstall, Install(False)", {installed}, true},
      {install, 0, 0, {"Install"}, "Install(False)", {notInstalled}, false},
      {install, 0, 0, {"Installed"}, "Install(False)", {notInstalled}, false},
      // an old registration that cannot be removed stays, and the reading tells so
      {install, 1, 0, {"Option10", "Uninstall"}, "Uninstall, Install(False)", {installed}, true},
      {start, 1, 1, {}, "Start(), SendControl(200)", {running}, true},
      {start, 0, 0, {}, "Install(False), Start(), SendControl(200)", {installing, installed, running}, true},
      {start, 0, 0, {"Install"}, "Install(False)", {installing, notInstalled, notStarted}, false},
      {stop, 0, 0, {}, "", {"Service was not installed"}, false},
      // refused access, to the action alone or to every call: a failure text, no claim
      {start, 1, 0, {"Start"}, "Start()", {notStarted}, false},
      {start, 1, 0, all, "Start()", {notStarted}, false},
      {stop, 1, 1, {"Stop"}, "Stop", {notStopped}, false},
      {stop, 1, 1, all, "Stop", {notStopped}, false},
      // a stopped service is started, which sends 200 itself; a missing one is installed first
      {show, 1, 0, {}, "Start(), SendControl(200), SendControl(200)", {running}, true},
      {hide, 0, 0, {}, "Install(False), Start(), SendControl(200), SendControl(201)", {installing, installed, running}, true},
      {show, 0, 0, {"Install"}, "Install(False)", {installing, notInstalled}, false},
      {show, 1, 1, {"SendControl"}, "SendControl(200)", {}, false},
      // clang-format on
  };
  for (const auto& [run, isInstalled, isRunning, failing, calls, shown, succeeded] : cases) {
    Given(isInstalled, isRunning, Behaviour::kWellBehaved, failing);
    (ops.*run)();
    SCOPED_TRACE(calls + " " + ::testing::PrintToString(failing));
    EXPECT_EQ(std::tuple(Actions(false), bar.shown, ops.LastOutcomeSucceeded()),
              std::tuple(calls, shown, succeeded));
    EXPECT_EQ(shown.empty() ? 10 : status.DisplayCountdown(), 10) << "an outcome's lifetime";
  }
  EXPECT_EQ(desktop.slept, 0) << "no wait between removal and new registration";
}

// An install writes every value of the registration, so that nothing of an
// earlier install as, an account above all, stays in the one component.
TEST_F(ServiceTest, AnInstallAfterAnInstallAsWritesTheWholeRegistrationAgain) {
  store.content = "[Service Options]\r\nDependencies=Tcpip;Afd\r\n";
  ops.ServiceInstallAs();
  Given(false, false);
  ops.ServiceInstall();
  EXPECT_EQ(
      Actions(true),
      "Option10=2, LocalSystemInteractive=True, ServiceName=Zemlo Linkvane, DisplayName=Zemlo "
      "Linkvane, ExecutablePath=C:\\Zemlo\\Linkvane_Service.exe, Option4=0, AccountName=, "
      "AccountPassword=, Option9=True, ServiceDependencies=Tcpip;Afd, Description=Zemlo "
      "Linkvane Service - Network management tools, Install(False)");
}

// The removal is watched for at most 5 s in 10 ms steps, serving events
// between them, and afresh when the clock jumps back at midnight (here 2 s
// before it, then 5 s); a service that goes only later has failed.
TEST_F(ServiceTest, UninstallWaitsAtMostFiveSeconds) {
  const std::tuple<Behaviour, int64_t, bool, int64_t, int64_t> cases[] = {
      {Behaviour::kStopsSlowly, 36000000, true, 2900, 3100},
      {Behaviour::kIgnoresStop, 86398000, false, 6900, 7200}};
  for (const auto& [behaviour, ms, gone, minSlept, maxSlept] : cases) {
    Given(true, true, behaviour);
    svc.stopReadings = 300;
    desktop.ms = ms, desktop.slept = desktop.pumped = 0;
    ops.ServiceUninstall();
    EXPECT_EQ(
        std::tuple(bar.line, Actions(false), ops.LastOutcomeSucceeded()),
        std::tuple(gone ? "Service was uninstalled successfully" : "Service failed to uninstall",
                   "Uninstall", gone));
    EXPECT_TRUE(desktop.slept >= minSlept && desktop.slept <= maxSlept) << desktop.slept;
    EXPECT_EQ(desktop.pumped * 10, desktop.slept) << "events run after every 10 ms sleep";
  }
}

// The desktop program starts in the application's folder, shown, once the
// reminder is closed. Hide and it report a failed call, unlike the other operations.
TEST_F(ServiceTest, RunInteractiveStopsARunningServiceFirstAndReportsAFailure) {
  Given(true, true);
  ops.RunInteractive();
  EXPECT_EQ(std::tuple(boxes.size(), svc.running), std::tuple(2u, false));
  appFolder = "C:";  // a drive's root: its folder is "C:\\", not the drive's current one
  ops.RunInteractive();
  EXPECT_EQ(opened, (Strings{"Open|C:\\Zemlo\\Linkvane.exe||C:\\Zemlo|1",
                             "Open|C:\\Linkvane.exe||C:\\|1"}));
  opened.clear();
  const std::tuple<Operation, std::string, std::string> cases[] = {
      {&ServiceOperations::ServiceHide, "SendControl", "ServiceHide\r\nLine Number: 80"},
      {&ServiceOperations::RunInteractive, "Stop", "RunInteractive\r\nLine Number: 50"}};
  for (const auto& [run, failing, where] : cases) {
    Given(true, true, Behaviour::kWellBehaved, {failing});
    EXPECT_THROW((ops.*run)(), ProgramEnded);
    EXPECT_NE(desktop.message.find("Procedure Name: " + where), std::string::npos);
  }
  EXPECT_TRUE(opened.empty());
}

// A limited token runs each command that needs an administrator's rights as
// one elevated copy of the program with that command's option, then tells what
// the state read afterwards says; a declined prompt, the failure text. Show
// and Hide need no rights; the elevated copy itself never asks again, and the
// login dialog is shown only by it, so the password never leaves it.
TEST_F(ServiceTest, CommandsNeedingRightsRunElevatedOnceThenTellTheStateLeft) {
  const std::string installed = "Service installed successfully", inCopy = " -ELEVATED within ";
  struct Case {
    int16_t command;
    bool limited;
    std::string commandLine;
    bool installedBefore, runningBefore;
    std::optional<int> exit;  // none: the prompt declined
    bool installedAfter, runningAfter;
    std::string launch, actions;
    Strings shown;
    int exitCode, box;  // box: the last message box's flags, 0 for none
    bool launched;
  };
  const std::string install = "-INSTALL" + inCopy + "120000", start = "-START" + inCopy + "120000",
                    stop = "-STOP" + inCopy + "120000", as = "-INSTALLAS" + inCopy + "900000";
  const Case cases[] = {
      // clang-format off
      {cmd::kInstall, true, "", 0, 0, 0, 1, 0, install, "", {installed}, 0, 0, 0},
      {cmd::kInstall, false, "", 0, 0, {}, 0, 0, "", "Install(False)", {installed}, 0, 0, 0},
      {cmd::kInstall, true, "-install -elevated", 0, 0, {}, 0, 0, "", "Install(False)", {installed}, 0, 0, 0},
      {cmd::kUninstall, true, "", 1, 0, 0, 0, 0, "-UNINSTALL" + inCopy + "120000", "", {"Service was uninstalled successfully"}, 0, 0, 0},
      {cmd::kStart, true, "", 1, 0, {}, 1, 1, start, "", {"Service failed to start"}, 1, 0, 0},
      {cmd::kStart, true, "", 1, 0, 3, 1, 1, start, "", {"Service is Running"}, 3, 0, 0},
      {cmd::kStop, true, "", 1, 1, 1, 1, 1, stop, "", {"Service failed to stop"}, 1, 0, 0},
      {cmd::kStop, true, "", 1, 1, {}, 1, 0, stop, "", {"Service failed to stop"}, 1, 0, 0},
      {cmd::kStop, true, "", 0, 0, 1, 0, 0, stop, "", {"Service was not installed"}, 1, 0, 0},
      {cmd::kInstallAs, true, "", 0, 0, 0, 1, 0, as, "", {installed}, 0, 0, 0},
      // cancelled in the copy, the old registration kept
      {cmd::kInstallAs, true, "", 1, 0, 1, 1, 0, as, "", {}, 1, 0, 0},
      {cmd::kShow, true, "", 1, 1, {}, 1, 1, "", "SendControl(200)", {}, 0, 0, 0},
      // Remote access asks here, stops elevated, and starts the program from here, unelevated
      {cmd::kRemote, true, "", 1, 1, 0, 1, 0, stop, "", {}, 0, 64, true},
      {cmd::kRemote, true, "", 1, 1, {}, 1, 1, stop, "", {}, 1, 48, false},
      // clang-format on
  };
  for (const Case& c : cases) {
    Given(c.installedBefore, c.runningBefore);
    launcher = FakeLauncher();
    launcher.limited = c.limited, launcher.exit = c.exit;
    launcher.leaves = [&] { svc.installed = c.installedAfter, svc.running = c.runningAfter; };
    modalShowings = 0, boxes.clear(), opened.clear();
    ServiceOperations operations(Desk(c.commandLine));
    operations.RunCommand(c.command);
    SCOPED_TRACE(c.launch + " " + c.commandLine);
    EXPECT_EQ(launcher.launches, c.launch.empty() ? Strings{} : Strings{c.launch});
    EXPECT_EQ(std::tuple(Actions(false), bar.shown, operations.LastExitCode(),
                         boxes.empty() ? 0 : std::stoi(boxes.back()), opened.size()),
              std::tuple(c.actions, c.shown, c.exitCode, c.box, c.launched ? 1u : 0u));
    EXPECT_EQ(modalShowings, c.command == cmd::kInstallAs && c.launch.empty());
    EXPECT_EQ(operations.CommandsAskingForRights().size(),
              c.limited && c.commandLine.empty() ? 5u : 0u);
  }
  // The log monitor needs no rights: it is built once, then only shown.
  opened.clear();
  for (int i = 0; i < 2; ++i) ops.RunCommand(cmd::kMonitorLog);
  EXPECT_EQ(opened, (Strings{"monitor built", "monitor shown", "monitor shown"}));
}

// The state poll, Show and Hide ask for no right that Windows does not give
// every interactive user; the commands that elevate ask for more.
TEST(ServiceRights, OnlyTheCommandsThatElevateNeedMoreThanAUsersRights) {
  using namespace rights;
  const std::pair<Call, bool> calls[] = {{kQuery, true},   {kControl, true}, {kStartIt, false},
                                         {kStopIt, false}, {kRemove, false}, {kCreate, false}};
  for (const auto& [call, anyUser] : calls)
    EXPECT_EQ(AnyUserMay(call), anyUser) << call.manager << " " << call.service;
}

TEST(ServiceConfig, TextsBecomeWhatTheRegistrationHolds) {
  const std::pair<std::string, std::string> dependencies[] = {
      {"", "\0\0"s},
      {" ;;, ", "\0\0"s},
      {"Tcpip", "Tcpip\0\0"s},
      {" a ;; b ,\tc d; ", "a\0b\0c d\0\0"s}};
  for (const auto& [text, list] : dependencies) EXPECT_EQ(DependencyList(text), list) << text;
  // A program path in quotes, once: a lone quote is no pair.
  const std::pair<std::string, std::string> paths[] = {
      {R"(C:\Program Files\x.exe)", R"("C:\Program Files\x.exe")"},
      {R"(  "C:\Zemlo Test\x.exe" )", R"("C:\Zemlo Test\x.exe")"},
      {R"(")", R"(""")"}};
  for (const auto& [path, quoted] : paths) EXPECT_EQ(QuotedProgramPath(path), quoted) << path;
  std::string secret(40, 'p');  // past the small-string buffer: heap memory
  const char* bytes = secret.data();
  WipeSecret(secret);
  EXPECT_EQ(std::pair(std::string(bytes, 40), secret), std::pair(std::string(40, '\0'), ""s))
      << "the buffer is kept, wiped";
}

// Without an account name nothing is installed, and the empty name stored
// reads back as the default. Enter confirms, a refused write too; a dialog
// that cannot be built is told of in a box.
TEST_F(ServiceTest, LoginWithoutANameInstallsNothing) {
  script = [this] { texts.clear(), user->cmdOK_Click(); };
  ops.ServiceInstallAs();
  EXPECT_EQ(store.content, "[Service Options]\r\nUsername=\r\n");
  store.writable = false;
  user = nullptr;  // unloaded: the next showing loads afresh
  int16_t key = '\r';
  EXPECT_TRUE(Showing([&] {
    EXPECT_EQ(texts[InstallAsBox::kUsername], ".\\Administrator");
    user->txtPassword_KeyPress(key);
  }));
  EXPECT_EQ(std::pair(key, desktop.beeps), (std::pair<int16_t, int>(0, 1)));
  user = nullptr, buildError = "Out of memory";
  ops.ServiceInstallAs();
  EXPECT_EQ(Actions(true), "");
  EXPECT_EQ(boxes, Strings{"0 Zemlo Linkvane Manager: Unable to open Install As window. error: "
                           "Out of memory"});
  EXPECT_EQ(std::pair(desktop.pumped, repaints), std::pair(1, 1)) << "after the one showing";
}

}  // namespace
}  // namespace zlv::test
