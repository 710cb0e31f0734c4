#include <gtest/gtest.h>

#include "FakeErrors.h"
#include "FakeServiceDesk.h"
#include "FakeSvcIt.h"
#include "Fakes.h"
#include "service/ServiceOperations.h"

namespace zlv {
namespace {

using namespace test;
using Log = std::vector<std::string>;
using Service = FakeSvcIt::Service;
using Operation = void (ServiceOperations::*)();

struct ServiceOperationsTest : ::testing::Test {
  FakeSvcIt svc;
  FakeStatusBar bar;
  FakeTimer poll, countdown;
  FakeReporter fake;
  FakeProfileStore store;
  FakeBeeper beeper;
  ManagerGlobal settings{store, beeper, fake.reporter};
  StatusLine status{svc, bar, poll, countdown, fake.reporter};
  std::string settingsFile = "C:\\Zemlo\\ZemloLinkvaneManager-Settings.ini";
  std::string appFolder = "C:\\Zemlo";
  FakeLogin login;
  FakeBoxes boxes;
  FakeShell shell;
  FakeClock clock;
  FakeEventPump events;
  int repaints = 0;
  ServiceOperations ops{{svc, status, settings, settingsFile, appFolder, login, boxes, shell, clock,
                         events, fake.reporter, [this] { ++repaints; }}};

  ServiceOperationsTest() { store.Set("Service Options", "Dependencies", "Tcpip;Afd"); }

  void Given(bool installed, bool running, Service behaviour = Service::kWellBehaved,
             std::set<std::string> failing = {}) {
    svc = FakeSvcIt();
    svc.installed = installed;
    svc.running = running;
    svc.behaviour = behaviour;
    svc.failing = std::move(failing);
    bar.shown.clear();
  }
  // The calls made, without the values written and the state readings.
  Log Calls() const {
    Log calls;
    for (const auto& a : svc.Actions()) {
      if (a.find('=') == std::string::npos) calls.push_back(a);
    }
    return calls;
  }
};

// Every operation judges its outcome by the state read afterwards, skips its
// failing component calls (hide aside) and never reports them.
TEST_F(ServiceOperationsTest, OutcomesFollowTheStateReadAfterwards) {
  const auto install = &ServiceOperations::ServiceInstall;
  const auto start = &ServiceOperations::ServiceStart;
  const auto stop = &ServiceOperations::ServiceStop;
  const auto show = &ServiceOperations::ServiceShow;
  const auto hide = &ServiceOperations::ServiceHide;
  const std::set<std::string> all = {"Installed", "Running", "Install",    "Uninstall",
                                     "Start",     "Stop",    "SendControl"};
  const std::string installing = "Installing service...",
                    installed = "Service installed successfully",
                    notInstalled = "Service failed to install", running = "Service is Running",
                    notStarted = "Service failed to start", stopped = "Service is Stopped",
                    notStopped = "Service failed to stop";
  const Service never = Service::kNeverStarts, ignores = Service::kIgnoresStop;
  const struct {
    Operation run;
    bool installed, running;
    Service behaviour;
    std::set<std::string> failing;
    Log calls, shown;
    bool succeeded = false;
  } cases[] = {
      // clang-format off
      {install, 0, 0, {}, {}, {"Install(False)"}, {installed}, true},
      {install, 1, 1, {}, {}, {"Uninstall", "Install(False)"}, {installed}, true},
      {install, 0, 0, {}, {"Install"}, {"Install(False)"}, {notInstalled}},
      {install, 0, 0, {}, {"Installed"}, {"Install(False)"}, {notInstalled}},
      // an old registration that cannot be removed stays, and the reading tells so
      {install, 1, 0, {}, {"Option10", "Uninstall"}, {"Uninstall", "Install(False)"}, {installed}, true},
      {start, 1, 0, {}, {}, {"Start()", "SendControl(200)"}, {running}, true},
      {start, 1, 1, {}, {}, {"Start()", "SendControl(200)"}, {running}, true},
      {start, 1, 0, never, {}, {"Start()"}, {notStarted}},
      {start, 0, 0, {}, {}, {"Install(False)", "Start()", "SendControl(200)"}, {installing, installed, running}, true},
      {start, 0, 0, {}, {"Install"}, {"Install(False)"}, {installing, notInstalled, notStarted}},
      {stop, 1, 1, {}, {}, {"Stop"}, {stopped}, true},
      {stop, 1, 1, ignores, {}, {"Stop"}, {notStopped}},
      {stop, 0, 0, {}, {}, {}, {"Service was not installed"}},
      // refused access, to the action alone or to every call: a failure text, no claim
      {start, 1, 0, {}, {"Start"}, {"Start()"}, {notStarted}},
      {start, 1, 0, {}, all, {"Start()"}, {notStarted}},
      {stop, 1, 1, {}, {"Stop"}, {"Stop"}, {notStopped}},
      {stop, 1, 1, {}, all, {"Stop"}, {notStopped}},
      {install, 0, 0, {}, all, {"Install(False)"}, {notInstalled}},
      // show and hide: a running service gets its code; a stopped one is started,
      // which sends 200 itself; a missing one is installed first
      {show, 1, 1, {}, {}, {"SendControl(200)"}, {}, true},
      {hide, 1, 1, {}, {}, {"SendControl(201)"}, {}, true},
      {show, 1, 0, {}, {}, {"Start()", "SendControl(200)", "SendControl(200)"}, {running}, true},
      {hide, 0, 0, {}, {}, {"Install(False)", "Start()", "SendControl(200)", "SendControl(201)"}, {installing, installed, running}, true},
      {show, 0, 0, {}, {"Install"}, {"Install(False)"}, {installing, notInstalled}},
      {show, 1, 1, {}, {"SendControl"}, {"SendControl(200)"}, {}},
      // clang-format on
  };
  for (const auto& c : cases) {
    Given(c.installed, c.running, c.behaviour, c.failing);
    (ops.*c.run)();
    SCOPED_TRACE(::testing::PrintToString(c.calls) + " " + ::testing::PrintToString(c.failing));
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(bar.shown, c.shown);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.succeeded);
    if (!c.shown.empty()) {
      EXPECT_EQ(status.DisplayCountdown(), 10);
    }
  }
  EXPECT_FALSE(fake.Reported());
  EXPECT_EQ(clock.slept, 0) << "no wait between removal and new registration";
}

TEST_F(ServiceOperationsTest, EachOperationWritesWhatItReliesOnFirst) {
  const Log preamble = {"Option10=2", "LocalSystemInteractive=True", "ServiceName=Zemlo Linkvane",
                        "Option4=0", "Option9=True"};
  const Log install = {"Option10=2",
                       "LocalSystemInteractive=True",
                       "ServiceName=Zemlo Linkvane",
                       "DisplayName=Zemlo Linkvane",
                       "ExecutablePath=C:\\Zemlo\\Linkvane_Service.exe",
                       "Option4=0",
                       "AccountName=",
                       "AccountPassword=",
                       "Option9=True",
                       "ServiceDependencies=Tcpip;Afd",
                       "Description=Zemlo Linkvane Service - Network management tools",
                       "Install(False)"};
  const Log uninstall = {"Option10=2", "ServiceName=Zemlo Linkvane", "DisplayName=Zemlo Linkvane",
                         "ExecutablePath=C:\\Zemlo\\Linkvane_Svc.exe"};
  const struct {
    Operation run;
    bool installed;
    Log actions;
  } cases[] = {
      {&ServiceOperations::ServiceInstall, false, install},
      {&ServiceOperations::ServiceUninstall, false, uninstall},
      {&ServiceOperations::ServiceStop, false, preamble},
      // hiding a stopped service runs the start, which writes its own preamble
      {&ServiceOperations::ServiceHide, true,
       [&] {
         Log all = preamble;
         all.insert(all.end(), preamble.begin(), preamble.end());
         for (const char* call : {"Start()", "SendControl(200)", "SendControl(201)"}) {
           all.push_back(call);
         }
         return all;
       }()},
  };
  for (const auto& c : cases) {
    Given(c.installed, false);
    (ops.*c.run)();
    EXPECT_EQ(svc.Actions(), c.actions);
  }
  EXPECT_EQ(store.reads.front(),
            (FakeProfileStore::Call{"Service Options", "Dependencies", "", settingsFile}));
}

TEST_F(ServiceOperationsTest, InstallAsWritesTheTypedAccountOrEndsQuietly) {
  const struct {
    bool ok;
    std::string user, password, showError;
    bool installs;
  } cases[] = {
      {true, ".\\netadmin", "s3cret", "", true},
      {true, ".\\netadmin", "", "", true},
      {false, ".\\netadmin", "s3cret", "", false},
      {true, "", "s3cret", "", false},
      {true, ".\\netadmin", "s3cret", "Out of memory", false},
  };
  for (const auto& c : cases) {
    Given(false, false);
    login.ok = c.ok;
    login.user = c.user;
    login.password = c.password;
    login.showError = c.showError;
    ops.ServiceInstallAs();
    const Log expected = {"Option10=2",
                          "ServiceName=Zemlo Linkvane",
                          "DisplayName=Zemlo Linkvane",
                          "ExecutablePath=C:\\Zemlo\\Linkvane_Service.exe",
                          "AccountName=" + c.user,
                          "AccountPassword=" + c.password,
                          "LocalSystemInteractive=False",
                          "Option4=0",
                          "Option9=True",
                          "ServiceDependencies=Tcpip;Afd",
                          "Description=Zemlo Linkvane Service - Network management tools",
                          "Install(False)"};
    EXPECT_EQ(svc.Actions(), c.installs ? expected : Log{});
    EXPECT_EQ(bar.shown, c.installs ? Log{"Service installed successfully"} : Log{});
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.installs);
  }
  EXPECT_EQ(events.calls, 4) << "events run after every showing";
  EXPECT_EQ(repaints, 4);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Unable to open Install As window. error: Out of memory");
  EXPECT_EQ(boxes.boxes[0].flags, 0);
  EXPECT_TRUE(store.writes.empty()) << "the password goes nowhere but the component";
  EXPECT_FALSE(fake.Reported());
}

// The removal is watched for at most 5 s in 10 ms steps, serving events
// between them; a service that goes only later has failed to uninstall.
TEST_F(ServiceOperationsTest, UninstallWaitsAtMostFiveSeconds) {
  const struct {
    bool installed;
    Service behaviour;
    int32_t stopReadings;
    double startSeconds;
    bool gone;
    int64_t minSlept, maxSlept;
  } cases[] = {
      {false, Service::kWellBehaved, 0, 36000, true, 0, 0},
      {true, Service::kWellBehaved, 0, 36000, true, 0, 0},
      {true, Service::kWellBehaved, 300, 36000, true, 2900, 3100},
      {true, Service::kWellBehaved, 700, 36000, false, 4990, 5100},
      {true, Service::kIgnoresStop, 0, 36000, false, 4990, 5100},
      // the wait starts afresh when the clock jumps back at midnight: 2 s before, 5 s after
      {true, Service::kIgnoresStop, 0, 86398, false, 6900, 7200},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.installed, c.behaviour);
    svc.stopReadings = c.stopReadings;
    clock.SetSeconds(c.startSeconds);
    clock.slept = events.calls = 0;
    ops.ServiceUninstall();
    SCOPED_TRACE(c.stopReadings);
    EXPECT_EQ(bar.Line(),
              c.gone ? "Service was uninstalled successfully" : "Service failed to uninstall");
    EXPECT_GE(clock.slept, c.minSlept);
    EXPECT_LE(clock.slept, c.maxSlept);
    EXPECT_EQ(events.calls * 10, clock.slept) << "events run after every 10 ms sleep";
    EXPECT_EQ(Calls(), c.installed ? Log{"Uninstall"} : Log{});
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.gone);
  }
}

TEST_F(ServiceOperationsTest, HideReportsItsFirstFailure) {
  Given(true, true, Service::kWellBehaved, {"SendControl"});
  EXPECT_THROW(ops.ServiceHide(), ProgramEnded);
  EXPECT_NE(fake.Message().find("Module Name: LinkvaneManager\r\nProcedure Name: ServiceHide\r\n"
                                "Line Number: 80"),
            std::string::npos);
}

TEST_F(ServiceOperationsTest, RunInteractiveOffersToStopARunningService) {
  const std::pair<std::string, int32_t> question = {
      "The service needs to be stopped before running interactive mode.\r\n\r\n"
      "Would you like to do this now?",
      68};
  const std::pair<std::string, int32_t> failed = {
      "The service did not stop successfully. Please try again.", 48};
  const std::pair<std::string, int32_t> reminder = {
      "Remember to start the service again when you have finished.", 64};
  const struct {
    bool installed, running;
    int32_t answer;
    Service behaviour;
    std::vector<std::pair<std::string, int32_t>> boxes;
    bool launched;
  } cases[] = {
      {false, false, mb::kAnswerYes, Service::kWellBehaved, {}, true},
      {true, false, mb::kAnswerYes, Service::kWellBehaved, {}, true},
      {true, true, 7, Service::kWellBehaved, {question}, false},
      {true, true, mb::kAnswerYes, Service::kWellBehaved, {question, reminder}, true},
      {true, true, mb::kAnswerYes, Service::kIgnoresStop, {question, failed}, false},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.running, c.behaviour);
    boxes.boxes.clear();
    shell.opened.clear();
    boxes.answer = c.answer;
    // The program must not start before the reminder is closed.
    boxes.onShow = [&] { EXPECT_TRUE(shell.opened.empty()); };
    ops.RunInteractive();
    std::vector<std::pair<std::string, int32_t>> seen;
    for (const auto& b : boxes.boxes) {
      seen.emplace_back(b.text, b.flags);
      EXPECT_EQ(b.title, "Zemlo Linkvane Manager");
    }
    EXPECT_EQ(seen, c.boxes);
    EXPECT_EQ(shell.opened, c.launched ? Log{"Open|C:\\Zemlo\\Linkvane.exe||C:\\Zemlo|1"} : Log{});
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.launched);
    EXPECT_EQ(Log(svc.log.begin(), svc.log.begin() + 2),
              (Log{"Option10=2", "ServiceName=Zemlo Linkvane"}));
    EXPECT_EQ(svc.running, c.running && !c.launched) << "No leaves it running";
  }
  EXPECT_FALSE(fake.Reported());
  Given(true, true, Service::kWellBehaved, {"Stop"});
  EXPECT_THROW(ops.RunInteractive(), ProgramEnded) << "a failed call is reported";
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_NE(fake.Message().find("Procedure Name: RunInteractive\r\nLine Number: 50"),
            std::string::npos);
}

}  // namespace
}  // namespace zlv
