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

const Log kInstallWrites = {"Option10=2",
                            "LocalSystemInteractive=True",
                            "ServiceName=Zemlo Linkvane",
                            "DisplayName=Zemlo Linkvane",
                            "ExecutablePath=C:\\Zemlo\\Linkvane_Service.exe",
                            "Option4=0",
                            "AccountName=",
                            "AccountPassword=",
                            "Option9=True",
                            "ServiceDependencies=Tcpip;Afd",
                            "Description=Zemlo Linkvane Service - Network management tools"};
const Log kPreamble = {"Option10=2", "LocalSystemInteractive=True", "ServiceName=Zemlo Linkvane",
                       "Option4=0", "Option9=True"};

Log Join(std::initializer_list<Log> parts) {
  Log all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

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

  // A service in the given state; the logs start empty.
  void Given(bool installed, bool running, Service behaviour = Service::kWellBehaved,
             std::set<std::string> failing = {}) {
    svc = FakeSvcIt();
    svc.installed = installed;
    svc.running = running;
    svc.behaviour = behaviour;
    svc.failing = std::move(failing);
    bar.shown.clear();
  }
};

TEST_F(ServiceOperationsTest, InstallWritesEverythingThenReplacesAndJudgesByInstalled) {
  const struct {
    bool installedBefore;
    std::set<std::string> failing;
    Log actionsAfterWrites;
    std::string text;
  } cases[] = {
      {false, {}, {"Install(False)"}, "Service installed successfully"},
      {true, {}, {"Uninstall", "Install(False)"}, "Service installed successfully"},
      {false, {"Install"}, {"Install(False)"}, "Service failed to install"},
      // skipped failures: the writes and the removal go on to an install that works
      // an old registration that cannot be removed stays, and the reading tells so
      {true,
       {"Option10", "Description", "Uninstall"},
       {"Uninstall", "Install(False)"},
       "Service installed successfully"},
      // a reading that cannot be taken never counts as success
      {false, {"Installed"}, {"Install(False)"}, "Service failed to install"},
  };
  for (const auto& c : cases) {
    Given(c.installedBefore, false, Service::kWellBehaved, c.failing);
    ops.ServiceInstall();
    EXPECT_EQ(svc.Actions(), Join({kInstallWrites, c.actionsAfterWrites}));
    EXPECT_EQ(svc.log.back(), "Installed") << "judged by a final reading";
    EXPECT_EQ(bar.Line(), c.text);
    EXPECT_EQ(status.DisplayCountdown(), 10);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.text == "Service installed successfully");
  }
  EXPECT_EQ(clock.slept, 0) << "no wait between removal and new registration";
  EXPECT_EQ(store.reads.front(),
            (FakeProfileStore::Call{"Service Options", "Dependencies", "", settingsFile}));
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, InstallAsWritesTheTypedAccountOrEndsQuietly) {
  const struct {
    bool ok;
    std::string user, password;
    bool installs;
  } cases[] = {
      {true, ".\\netadmin", "s3cret", true},
      {true, ".\\netadmin", "", true},
      {false, ".\\netadmin", "s3cret", false},
      {true, "", "s3cret", false},
  };
  for (const auto& c : cases) {
    Given(false, false);
    login.ok = c.ok;
    login.user = c.user;
    login.password = c.password;
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
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_TRUE(store.writes.empty()) << "the password goes nowhere but the component";
}

TEST_F(ServiceOperationsTest, InstallAsTellsWhenTheDialogCannotBeShown) {
  login.showError = "Out of memory";
  ops.ServiceInstallAs();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Unable to open Install As window. error: Out of memory");
  EXPECT_EQ(boxes.boxes[0].flags, 0);
  EXPECT_EQ(boxes.boxes[0].title, "Zemlo Linkvane Manager");
  EXPECT_TRUE(svc.log.empty());
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
    std::string text;
    int64_t minSlept, maxSlept;
  } cases[] = {
      {false, Service::kWellBehaved, 0, 36000, "Service was uninstalled successfully", 0, 0},
      {true, Service::kWellBehaved, 0, 36000, "Service was uninstalled successfully", 0, 0},
      {true, Service::kWellBehaved, 300, 36000, "Service was uninstalled successfully", 2900, 3100},
      {true, Service::kWellBehaved, 700, 36000, "Service failed to uninstall", 4990, 5100},
      {true, Service::kIgnoresStop, 0, 36000, "Service failed to uninstall", 4990, 5100},
      // the wait starts afresh when the clock jumps back at midnight: 2 s before, 5 s after
      {true, Service::kIgnoresStop, 0, 86398, "Service failed to uninstall", 6900, 7200},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.installed, c.behaviour);
    svc.stopReadings = c.stopReadings;
    clock.SetSeconds(c.startSeconds);
    clock.slept = 0;
    events.calls = 0;
    ops.ServiceUninstall();
    SCOPED_TRACE(c.stopReadings);
    EXPECT_EQ(bar.Line(), c.text);
    EXPECT_GE(clock.slept, c.minSlept);
    EXPECT_LE(clock.slept, c.maxSlept);
    EXPECT_EQ(events.calls * 10, clock.slept) << "events run after every 10 ms sleep";
    const Log writes = {"Option10=2", "ServiceName=Zemlo Linkvane", "DisplayName=Zemlo Linkvane",
                        "ExecutablePath=C:\\Zemlo\\Linkvane_Svc.exe"};
    EXPECT_EQ(svc.Actions(), c.installed ? Join({writes, {"Uninstall"}}) : writes);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.text == "Service was uninstalled successfully");
  }
}

TEST_F(ServiceOperationsTest, UninstallServesTimersWhileWaiting) {
  Given(true, true, Service::kIgnoresStop);
  events.onEvents = [&] {
    if (events.calls == 250) status.ShowState_Timer();
  };
  ops.ServiceUninstall();
  EXPECT_EQ(status.StatusText(), "Service Running") << "the poll ran in the middle";
  EXPECT_EQ(bar.Line(), "Service failed to uninstall");
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, StartInstallsWhenMissingAndShowsTheWindow) {
  const struct {
    bool installed, running;
    Service behaviour;
    std::set<std::string> failing;
    Log actions;
    Log shown;
  } cases[] = {
      {true,
       false,
       Service::kWellBehaved,
       {},
       Join({kPreamble, {"Start()", "SendControl(200)"}}),
       {"Service is Running"}},
      {true,
       true,
       Service::kWellBehaved,
       {},
       Join({kPreamble, {"Start()", "SendControl(200)"}}),
       {"Service is Running"}},
      {true,
       false,
       Service::kNeverStarts,
       {},
       Join({kPreamble, {"Start()"}}),
       {"Service failed to start"}},
      {false,
       false,
       Service::kWellBehaved,
       {},
       Join({kPreamble, kInstallWrites, {"Install(False)", "Start()", "SendControl(200)"}}),
       {"Installing service...", "Service installed successfully", "Service is Running"}},
      {false,
       false,
       Service::kWellBehaved,
       {"Install"},
       Join({kPreamble, kInstallWrites, {"Install(False)"}}),
       {"Installing service...", "Service failed to install", "Service failed to start"}},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.running, c.behaviour, c.failing);
    ops.ServiceStart();
    EXPECT_EQ(svc.Actions(), c.actions);
    EXPECT_EQ(bar.shown, c.shown);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.shown.back() == "Service is Running");
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, StopNeverInstallsAndTellsARefusedStop) {
  const struct {
    bool installed;
    Service behaviour;
    Log actions;
    std::string text;
  } cases[] = {
      {true, Service::kWellBehaved, Join({kPreamble, {"Stop"}}), "Service is Stopped"},
      {true, Service::kIgnoresStop, Join({kPreamble, {"Stop"}}), "Service failed to stop"},
      {false, Service::kWellBehaved, kPreamble, "Service was not installed"},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.installed, c.behaviour);
    ops.ServiceStop();
    EXPECT_EQ(svc.Actions(), c.actions);
    EXPECT_EQ(bar.Line(), c.text);
    EXPECT_EQ(status.DisplayCountdown(), 10);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.text == "Service is Stopped");
  }
  EXPECT_FALSE(fake.Reported());
}

// The service control manager refusing access: refusing only the action, or
// every call including the state readings. Each operation ends with its
// failure text, claims no success and reports nothing.
TEST_F(ServiceOperationsTest, RefusedAccessGivesTheFailureTextOfEveryOperation) {
  using Operation = void (ServiceOperations::*)();
  const std::set<std::string> everything = {"Installed", "Running", "Install",    "Uninstall",
                                            "Start",     "Stop",    "SendControl"};
  const struct {
    Operation run;
    std::string action;
    bool installed, running;
    std::string text;
  } cases[] = {
      {&ServiceOperations::ServiceInstall, "Install", false, false, "Service failed to install"},
      {&ServiceOperations::ServiceInstallAs, "Install", false, false, "Service failed to install"},
      {&ServiceOperations::ServiceUninstall, "Uninstall", true, false,
       "Service failed to uninstall"},
      {&ServiceOperations::ServiceStart, "Start", true, false, "Service failed to start"},
      {&ServiceOperations::ServiceStop, "Stop", true, true, "Service failed to stop"},
  };
  for (const auto& c : cases) {
    for (const auto& refused : {std::set<std::string>{c.action}, everything}) {
      SCOPED_TRACE(c.action + (refused.size() > 1 ? ", every call" : ""));
      Given(c.installed, c.running, Service::kWellBehaved, refused);
      (ops.*c.run)();
      EXPECT_EQ(bar.Line(), c.text);
      EXPECT_FALSE(ops.LastOutcomeSucceeded());
      EXPECT_EQ(svc.installed, c.installed) << "a refused call changes nothing";
    }
  }
  EXPECT_FALSE(fake.Reported());
}

// Show and hide send their code to a running service; a stopped one is started
// first (which sends 200 itself), a missing one installed and started.
TEST_F(ServiceOperationsTest, ShowAndHideSendTheirCode) {
  const struct {
    bool hide, installed, running;
    std::set<std::string> failing;
    std::vector<int32_t> delivered;
    bool anyText;
  } cases[] = {
      {false, true, true, {}, {200}, false},      {true, true, true, {}, {201}, false},
      {false, true, false, {}, {200, 200}, true}, {true, true, false, {}, {200, 201}, true},
      {true, false, false, {}, {200, 201}, true}, {false, false, false, {"Install"}, {}, true},
  };
  for (const auto& c : cases) {
    Given(c.installed, c.running, Service::kWellBehaved, c.failing);
    c.hide ? ops.ServiceHide() : ops.ServiceShow();
    EXPECT_EQ(svc.delivered, c.delivered) << c.hide << c.installed << c.running;
    EXPECT_EQ(!bar.shown.empty(), c.anyText);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), !c.delivered.empty());
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, HideReportsItsFirstFailureShowSkipsIt) {
  Given(true, true, Service::kWellBehaved, {"SendControl"});
  ops.ServiceShow();
  EXPECT_FALSE(fake.Reported());
  EXPECT_THROW(ops.ServiceHide(), ProgramEnded);
  EXPECT_NE(fake.Message().find("Module Name: LinkvaneManager\r\nProcedure Name: ServiceHide\r\n"
                                "Line Number: 80"),
            std::string::npos);
}

TEST_F(ServiceOperationsTest, RunInteractiveOffersToStopARunningService) {
  const std::string question =
      "The service needs to be stopped before running interactive mode.\r\n\r\n"
      "Would you like to do this now?";
  const std::string failed = "The service did not stop successfully. Please try again.";
  const std::string reminder = "Remember to start the service again when you have finished.";
  const std::string launch = "Open|C:\\Zemlo\\Linkvane.exe||C:\\Zemlo|1";
  const struct {
    bool installed, running;
    int32_t answer;
    Service behaviour;
    std::vector<std::pair<std::string, int32_t>> boxes;
    bool launched;
  } cases[] = {
      {false, false, mb::kAnswerYes, Service::kWellBehaved, {}, true},
      {true, false, mb::kAnswerYes, Service::kWellBehaved, {}, true},
      {true, true, 7, Service::kWellBehaved, {{question, 68}}, false},
      {true, true, mb::kAnswerYes, Service::kWellBehaved, {{question, 68}, {reminder, 64}}, true},
      {true, true, mb::kAnswerYes, Service::kIgnoresStop, {{question, 68}, {failed, 48}}, false},
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
    EXPECT_EQ(shell.opened, c.launched ? Log{launch} : Log{});
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.launched);
    EXPECT_EQ(Log(svc.log.begin(), svc.log.begin() + 2),
              (Log{"Option10=2", "ServiceName=Zemlo Linkvane"}));
    EXPECT_EQ(svc.running, c.running && !c.launched) << "No leaves it running";
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, RunInteractiveReportsAFailureAndStartsNothing) {
  Given(true, true, Service::kWellBehaved, {"Stop"});
  EXPECT_THROW(ops.RunInteractive(), ProgramEnded);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_NE(fake.Message().find("Procedure Name: RunInteractive\r\nLine Number: 50"),
            std::string::npos);
}

}  // namespace
}  // namespace zlv
