#include <gtest/gtest.h>

#include "FakeErrors.h"
#include "FakeServiceDesk.h"
#include "FakeSvcIt.h"
#include "Fakes.h"
#include "service/StatusLine.h"

namespace zlv {
namespace {

using test::FakeReporter;
using test::FakeStatusBar;
using test::FakeSvcIt;
using test::FakeTimer;

struct StatusLineTest : ::testing::Test {
  FakeSvcIt svc;
  FakeStatusBar bar;
  FakeTimer poll;
  FakeTimer countdown;
  FakeReporter fake;
  StatusLine line{svc, bar, poll, countdown, fake.reporter};
};

TEST_F(StatusLineTest, ShowStatusTellsTheState) {
  const struct {
    bool installed, running;
    std::string line, text;
    std::vector<std::string> log;
  } cases[] = {
      {false,
       false,
       "Service is not installed",
       "Service not installed",
       {"Option10=2", "ServiceName=Zemlo Linkvane", "Installed"}},
      {true,
       true,
       "Service is Running",
       "Service Running",
       {"Option10=2", "ServiceName=Zemlo Linkvane", "Installed", "Running"}},
      {true,
       false,
       "Service is Stopped",
       "Service Stopped",
       {"Option10=2", "ServiceName=Zemlo Linkvane", "Installed", "Running"}},
  };
  for (const auto& c : cases) {
    svc.log.clear();
    svc.installed = c.installed;
    svc.running = c.running;
    countdown.enabled = true;  // a temporary text is counting down
    line.ShowStatus();
    EXPECT_EQ(bar.Line(), c.line);
    EXPECT_EQ(line.StatusText(), c.text);
    EXPECT_EQ(svc.log, c.log);  // a missing service is never asked whether it runs
    EXPECT_FALSE(countdown.enabled) << "a poll stops the countdown";
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(StatusLineTest, AFailingComponentLeavesServiceUnknownAndReportsNothing) {
  const std::string cases[] = {"Installed", "Running"};
  for (const auto& failing : cases) {
    bar.panels[1] = "Service installed successfully";
    svc.installed = true;
    svc.failing = {failing};
    line.ShowStatus();
    EXPECT_EQ(line.StatusText(), "Service Unknown") << failing;
    EXPECT_EQ(bar.Line(), "Service installed successfully") << failing;
  }
  // The written values failing alone does not stop the query.
  svc.failing = {"Option10", "ServiceName"};
  line.ShowStatus();
  EXPECT_EQ(line.StatusText(), "Service Stopped");
  EXPECT_FALSE(fake.Reported());
}

TEST_F(StatusLineTest, TemporaryTextCountsDown) {
  line.StatusDisplay("Service failed to start", 3);
  EXPECT_EQ(bar.Line(), "Service failed to start");
  EXPECT_EQ(bar.repaints, 1);
  EXPECT_TRUE(countdown.enabled);
  EXPECT_EQ(line.DisplayCountdown(), 3);
  line.StatusDisplayTimer_Timer();
  line.StatusDisplayTimer_Timer();
  EXPECT_EQ(bar.Line(), "Service failed to start");
  EXPECT_TRUE(countdown.enabled);
  line.StatusDisplayTimer_Timer();
  EXPECT_EQ(bar.Line(), "");
  EXPECT_FALSE(countdown.enabled);
  EXPECT_EQ(line.DisplayCountdown(), 0);
}

TEST_F(StatusLineTest, LifetimeBelowOneKeepsTheTextAndStopsTheCountdown) {
  for (const int32_t ttl : {0, -1, -2147483647 - 1}) {
    line.StatusDisplay("Service is Stopped", 10);
    line.StatusDisplayTimer_Timer();
    line.StatusDisplay("Service is Running", ttl);
    EXPECT_FALSE(countdown.enabled) << ttl;
    EXPECT_EQ(bar.Line(), "Service is Running") << ttl;
  }
}

TEST_F(StatusLineTest, ANewTextRestartsTheCount) {
  line.StatusDisplay("Installing service...", 10);
  for (int i = 0; i < 7; ++i) line.StatusDisplayTimer_Timer();
  line.StatusDisplay("Service is Running", 10);
  EXPECT_EQ(line.DisplayCountdown(), 10);
  for (int i = 0; i < 9; ++i) line.StatusDisplayTimer_Timer();
  EXPECT_EQ(bar.Line(), "Service is Running");
  line.StatusDisplayTimer_Timer();
  EXPECT_EQ(bar.Line(), "");
}

TEST_F(StatusLineTest, APollBetweenTicksReplacesTheTemporaryText) {
  svc.installed = true;
  svc.running = true;
  line.StatusDisplay("Service failed to stop", 10);
  for (int i = 0; i < 5; ++i) line.StatusDisplayTimer_Timer();
  line.ShowState_Timer();
  EXPECT_EQ(bar.Line(), "Service is Running");
  EXPECT_FALSE(countdown.enabled);
  EXPECT_EQ(line.StatusText(), "Service Running");
}

TEST_F(StatusLineTest, AStatusBarFailureIsReportedUnderStatusDisplay) {
  struct BrokenBar : StatusBar {
    void SetPanelText(int32_t, const std::string&) override {}
    void Repaint() override { Raise(91, "Object variable not set"); }
  } broken;
  StatusLine brokenLine{svc, broken, poll, countdown, fake.reporter};
  EXPECT_THROW(brokenLine.StatusDisplay("x", 10), test::ProgramEnded);
  EXPECT_NE(fake.Message().find("Procedure Name: StatusDisplay\r\nLine Number: 20"),
            std::string::npos);
}

}  // namespace
}  // namespace zlv
