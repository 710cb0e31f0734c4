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
};

// --- install -------------------------------------------------------------

TEST_F(ServiceOperationsTest, InstallWritesEverythingThenReplacesAndJudgesByInstalled) {
  const struct {
    bool installedBefore, installWorks;
    Log actionsAfterWrites;
    std::string text;
  } cases[] = {
      {false, true, {"Install(False)"}, "Service installed successfully"},
      {true, true, {"Uninstall", "Install(False)"}, "Service installed successfully"},
      {false, false, {"Install(False)"}, "Service failed to install"},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    svc.installed = c.installedBefore;
    svc.installWorks = c.installWorks;
    ops.ServiceInstall();
    EXPECT_EQ(svc.Actions(), Join({kInstallWrites, c.actionsAfterWrites}));
    EXPECT_EQ(svc.log.back(), "Installed") << "judged by a final reading";
    EXPECT_EQ(bar.Line(), c.text);
    EXPECT_EQ(status.DisplayCountdown(), 10);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.installWorks);
  }
  EXPECT_EQ(clock.slept, 0) << "no wait between removal and new registration";
  EXPECT_EQ(store.reads.front(),
            (FakeProfileStore::Call{"Service Options", "Dependencies", "", settingsFile}));
}

TEST_F(ServiceOperationsTest, FailingComponentCallsAreSkippedNeverReported) {
  const struct {
    std::set<std::string> failing;
    std::string text;
  } cases[] = {
      {{"Option10", "ServiceName", "Description", "Uninstall"}, "Service installed successfully"},
      {{"Install"}, "Service failed to install"},
      // a reading that cannot be taken never counts as success
      {{"Installed"}, "Service failed to install"},
  };
  for (const auto& c : cases) {
    svc.installed = true;
    svc.failing = c.failing;
    ops.ServiceInstall();
    EXPECT_EQ(bar.Line(), c.text);
  }
  EXPECT_FALSE(fake.Reported());
}

// --- install as ----------------------------------------------------------

TEST_F(ServiceOperationsTest, InstallAsWritesTheTypedAccount) {
  for (const std::string password : {"s3cret", ""}) {
    svc.log.clear();
    svc.installed = false;
    login.password = password;
    ops.ServiceInstallAs();
    EXPECT_EQ(
        svc.Actions(),
        (Log{"Option10=2", "ServiceName=Zemlo Linkvane", "DisplayName=Zemlo Linkvane",
             "ExecutablePath=C:\\Zemlo\\Linkvane_Service.exe", "AccountName=.\\netadmin",
             "AccountPassword=" + password, "LocalSystemInteractive=False", "Option4=0",
             "Option9=True", "ServiceDependencies=Tcpip;Afd",
             "Description=Zemlo Linkvane Service - Network management tools", "Install(False)"}));
    EXPECT_EQ(bar.Line(), "Service installed successfully");
    EXPECT_TRUE(ops.LastOutcomeSucceeded());
  }
  EXPECT_EQ(events.calls, 2);
  EXPECT_EQ(repaints, 2);
  EXPECT_TRUE(store.writes.empty()) << "the password goes nowhere but the component";
}

TEST_F(ServiceOperationsTest, InstallAsEndsQuietlyWithoutAConfirmedAccount) {
  const struct {
    bool ok;
    std::string user;
  } cases[] = {{false, ".\\netadmin"}, {true, ""}, {false, ""}};
  for (const auto& c : cases) {
    login.ok = c.ok;
    login.user = c.user;
    ops.ServiceInstallAs();
    EXPECT_TRUE(svc.log.empty());
    EXPECT_TRUE(bar.shown.empty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(ops.LastOutcomeSucceeded());
  }
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

// --- uninstall -----------------------------------------------------------

TEST_F(ServiceOperationsTest, UninstallWaitsAtMostFiveSeconds) {
  const struct {
    bool installed;
    int32_t removalPolls;
    std::string text;
    int64_t minSlept, maxSlept;
  } cases[] = {
      {false, 0, "Service was uninstalled successfully", 0, 0},
      {true, 0, "Service was uninstalled successfully", 0, 0},
      {true, 300, "Service was uninstalled successfully", 2900, 3100},
      // gone only after 7 s: too late, even though it disappears later
      {true, 700, "Service failed to uninstall", 4990, 5100},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    svc.installed = c.installed;
    svc.removalPolls = c.removalPolls;
    clock.slept = 0;
    events.calls = 0;
    ops.ServiceUninstall();
    EXPECT_EQ(bar.Line(), c.text) << c.removalPolls;
    EXPECT_GE(clock.slept, c.minSlept) << c.removalPolls;
    EXPECT_LE(clock.slept, c.maxSlept) << c.removalPolls;
    EXPECT_EQ(events.calls * 10, clock.slept) << "events run after every 10 ms sleep";
    const Log writes = {"Option10=2", "ServiceName=Zemlo Linkvane", "DisplayName=Zemlo Linkvane",
                        "ExecutablePath=C:\\Zemlo\\Linkvane_Svc.exe"};
    EXPECT_EQ(svc.Actions(), c.installed ? Join({writes, {"Uninstall"}}) : writes);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.text == "Service was uninstalled successfully");
  }
}

TEST_F(ServiceOperationsTest, UninstallWaitSurvivesMidnight) {
  svc.installed = true;
  svc.removalPolls = 100000;
  clock.SetSeconds(86398);  // two seconds before midnight
  ops.ServiceUninstall();
  // The wait starts afresh when the clock jumps back: 2 s before, 5 s after.
  EXPECT_GE(clock.slept, 6900);
  EXPECT_LE(clock.slept, 7200);
  EXPECT_EQ(bar.Line(), "Service failed to uninstall");
}

TEST_F(ServiceOperationsTest, UninstallServesTimersWhileWaiting) {
  svc.installed = true;
  svc.removalPolls = 1000;
  events.onEvents = [&] {
    if (events.calls == 250) status.ShowState_Timer();
  };
  ops.ServiceUninstall();
  EXPECT_EQ(status.StatusText(), "Service Stopped") << "the poll ran in the middle";
  EXPECT_EQ(bar.Line(), "Service failed to uninstall");
  EXPECT_FALSE(fake.Reported());
}

// --- start, stop ---------------------------------------------------------

TEST_F(ServiceOperationsTest, StartInstallsWhenMissingAndShowsTheWindow) {
  const struct {
    bool installed, running, installWorks, startWorks;
    Log actions;
    Log shown;
  } cases[] = {
      {true,
       false,
       true,
       true,
       Join({kPreamble, {"Start()", "SendControl(200)"}}),
       {"Service is Running"}},
      {true,
       true,
       true,
       true,
       Join({kPreamble, {"Start()", "SendControl(200)"}}),
       {"Service is Running"}},
      {true, false, true, false, Join({kPreamble, {"Start()"}}), {"Service failed to start"}},
      {false,
       false,
       true,
       true,
       Join({kPreamble, kInstallWrites, {"Install(False)", "Start()", "SendControl(200)"}}),
       {"Installing service...", "Service installed successfully", "Service is Running"}},
      {false,
       false,
       false,
       true,
       Join({kPreamble, kInstallWrites, {"Install(False)"}}),
       {"Installing service...", "Service failed to install", "Service failed to start"}},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    bar.shown.clear();
    svc.installed = c.installed;
    svc.running = c.running;
    svc.installWorks = c.installWorks;
    svc.startWorks = c.startWorks;
    ops.ServiceStart();
    EXPECT_EQ(svc.Actions(), c.actions);
    EXPECT_EQ(bar.shown, c.shown);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.shown.back() == "Service is Running");
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, StopNeverInstalls) {
  const struct {
    bool installed, stopWorks;
    Log actions;
    std::string text;
  } cases[] = {
      {true, true, Join({kPreamble, {"Stop"}}), "Service is Stopped"},
      {true, false, Join({kPreamble, {"Stop"}}), "Service failed to stop"},
      {false, true, kPreamble, "Service was not installed"},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    svc.installed = c.installed;
    svc.running = c.installed;
    svc.stopWorks = c.stopWorks;
    ops.ServiceStop();
    EXPECT_EQ(svc.Actions(), c.actions);
    EXPECT_EQ(bar.Line(), c.text);
    EXPECT_EQ(status.DisplayCountdown(), 10);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.text == "Service is Stopped");
  }
}

TEST_F(ServiceOperationsTest, UnreadableStateNeverCountsAsSuccess) {
  svc.installed = true;
  svc.running = true;
  svc.failing = {"Running"};
  ops.ServiceStop();
  EXPECT_EQ(bar.Line(), "Service failed to stop");
  ops.ServiceStart();
  EXPECT_EQ(bar.Line(), "Service failed to start");
  svc.failing = {"Installed"};
  ops.ServiceUninstall();
  EXPECT_EQ(bar.Line(), "Service failed to uninstall");
  EXPECT_FALSE(ops.LastOutcomeSucceeded());
  EXPECT_FALSE(fake.Reported());
}

// The service control manager refusing access: refusing only the action, or
// refusing every call including the state readings. Each operation ends with
// its failure text, claims no success and reports nothing.
TEST_F(ServiceOperationsTest, RefusedAccessGivesTheFailureTextOfEveryOperation) {
  using Operation = void (ServiceOperations::*)();
  const std::set<std::string> everything = {"Installed", "Running", "Install",    "Uninstall",
                                            "Start",     "Stop",    "SendControl"};
  const struct {
    const char* name;
    Operation run;
    std::string action;
    bool installed;
    bool running;
    std::string text;
  } cases[] = {
      {"install", &ServiceOperations::ServiceInstall, "Install", false, false,
       "Service failed to install"},
      {"install as", &ServiceOperations::ServiceInstallAs, "Install", false, false,
       "Service failed to install"},
      {"uninstall", &ServiceOperations::ServiceUninstall, "Uninstall", true, false,
       "Service failed to uninstall"},
      {"start", &ServiceOperations::ServiceStart, "Start", true, false, "Service failed to start"},
      {"stop", &ServiceOperations::ServiceStop, "Stop", true, true, "Service failed to stop"},
  };
  for (const auto& c : cases) {
    for (const auto& refused : {std::set<std::string>{c.action}, everything}) {
      SCOPED_TRACE(std::string(c.name) + (refused.size() > 1 ? ", every call" : ", the action"));
      svc.installed = c.installed;
      svc.running = c.running;
      svc.failing = refused;
      (ops.*c.run)();
      EXPECT_EQ(bar.Line(), c.text);
      EXPECT_FALSE(ops.LastOutcomeSucceeded());
      EXPECT_EQ(svc.installed, c.installed) << "a refused call changes nothing";
    }
  }
  EXPECT_FALSE(fake.Reported());
}

// --- show, hide ----------------------------------------------------------

TEST_F(ServiceOperationsTest, ShowAndHideSendTheirCode) {
  const struct {
    bool hide, installed, running, installWorks;
    Log controls;
    bool anyText;
  } cases[] = {
      {false, true, true, true, {"SendControl(200)"}, false},
      {true, true, true, true, {"SendControl(201)"}, false},
      {false, true, false, true, {"Start()", "SendControl(200)", "SendControl(200)"}, true},
      {true, true, false, true, {"Start()", "SendControl(200)", "SendControl(201)"}, true},
      {true,
       false,
       false,
       true,
       {"Install(False)", "Start()", "SendControl(200)", "SendControl(201)"},
       true},
      {false, false, false, false, {"Install(False)"}, true},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    bar.shown.clear();
    svc.installed = c.installed;
    svc.running = c.running;
    svc.installWorks = c.installWorks;
    c.hide ? ops.ServiceHide() : ops.ServiceShow();
    Log controls;
    for (const auto& a : svc.Actions()) {
      if (a.find('=') == std::string::npos && a != "Uninstall") controls.push_back(a);
    }
    EXPECT_EQ(controls, c.controls) << c.hide << c.installed << c.running;
    EXPECT_EQ(!bar.shown.empty(), c.anyText);
    EXPECT_EQ(ops.LastOutcomeSucceeded(), c.installWorks);
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(ServiceOperationsTest, HideReportsItsFirstFailureShowSkipsIt) {
  svc.installed = true;
  svc.running = true;
  svc.failing = {"SendControl"};
  ops.ServiceShow();
  EXPECT_FALSE(fake.Reported());
  EXPECT_THROW(ops.ServiceHide(), ProgramEnded);
  EXPECT_NE(fake.Message().find("Module Name: LinkvaneManager\r\nProcedure Name: ServiceHide\r\n"
                                "Line Number: 80"),
            std::string::npos);
}

// --- interactive run -----------------------------------------------------

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
    bool stopWorks;
    std::vector<std::pair<std::string, int32_t>> boxes;
    bool launched;
  } cases[] = {
      {false, false, mb::kAnswerYes, true, {}, true},
      {true, false, mb::kAnswerYes, true, {}, true},
      {true, true, 7, true, {{question, 68}}, false},
      {true, true, mb::kAnswerYes, true, {{question, 68}, {reminder, 64}}, true},
      {true, true, mb::kAnswerYes, false, {{question, 68}, {failed, 48}}, false},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    boxes.boxes.clear();
    shell.opened.clear();
    svc.installed = c.installed;
    svc.running = c.running;
    svc.stopWorks = c.stopWorks;
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
    EXPECT_EQ(svc.log[0], "Option10=2");
    EXPECT_EQ(svc.log[1], "ServiceName=Zemlo Linkvane");
    if (c.answer != mb::kAnswerYes) {
      EXPECT_TRUE(svc.running) << "No leaves it running";
    }
  }
}

TEST_F(ServiceOperationsTest, RunInteractiveReportsAFailureAndStartsNothing) {
  svc.failing = {"Running"};
  EXPECT_THROW(ops.RunInteractive(), ProgramEnded);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_NE(fake.Message().find("Procedure Name: RunInteractive\r\nLine Number: 30"),
            std::string::npos);
}

}  // namespace
}  // namespace zlv
