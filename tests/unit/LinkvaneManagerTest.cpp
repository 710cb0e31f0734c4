#include "manager/LinkvaneManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "FakeErrors.h"
#include "Fakes.h"

namespace zlv {
namespace {

using test::ProgramEnded;

class FakeView : public ManagerView {
 public:
  int32_t Left() override { return left; }
  int32_t Top() override { return top; }
  int32_t Width() override { return 4365; }
  int32_t Height() override { return 2310; }
  void SetLeft(int32_t v) override { left = v, log.push_back("left=" + std::to_string(v)); }
  void SetTop(int32_t v) override { top = v, log.push_back("top=" + std::to_string(v)); }
  void SetWidth(int32_t) override { log.push_back("width"); }
  void SetHeight(int32_t) override { log.push_back("height"); }
  void Move(int32_t, int32_t, int32_t, int32_t) override { log.push_back("move"); }
  int32_t WindowState() override { return windowState; }
  void SetWindowState(int32_t s) override {
    if (s < 0 || s > 2) Raise(err::kInvalidProperty, "Invalid property value");
    windowState = s;
    log.push_back("state=" + std::to_string(s));
  }
  uintptr_t Handle() override { return 0x1234; }
  std::string Caption() override { return std::string(kManagerCaption); }
  bool Visible() override { return visible; }
  void Show() override {
    log.push_back("show");
    if (showFails) Raise(5, "cannot show");
    visible = true;
  }
  void Hide() override { visible = false, log.push_back("hide"); }
  void Refresh() override { log.push_back("refresh"); }
  void SetShowInTaskbar(bool s) override { log.push_back(s ? "taskbar on" : "taskbar off"); }
  void SetBusyPointer(bool b) override { log.push_back(b ? "busy" : "default pointer"); }
  void PopupMenu() override { log.push_back("popup"); }
  void SetForeground() override { log.push_back("foreground"); }
  void Unload() override { log.push_back("unload"); }
  bool ScaleInPixels() override { return pixels; }

  int32_t left = 0, top = 0, windowState = state::kNormal;
  bool visible = false, showFails = false, pixels = false;
  std::vector<std::string> log;
};

class FakeSession : public AppSession {
 public:
  std::string CommandLine() override { return commandLine; }
  std::string AppFolder() override { return "C:\\Zemlo"; }
  bool PreviousInstance() override { return previous; }
  [[noreturn]] void End(int code) override {
    exitCode = code;
    throw ProgramEnded{};
  }
  void UnloadOtherWindows() override { ++unloads; }
  std::string commandLine;
  bool previous = false;
  std::optional<int> exitCode;
  int unloads = 0;
};

class FakeTray : public TrayArea {
 public:
  void NotifyIcon(int32_t op, const TrayIconRecord& r) override { calls.push_back({op, r}); }
  std::vector<std::pair<int32_t, TrayIconRecord>> calls;
};

class FakeOperations : public ManagerOperations {
 public:
  void Run(int16_t command) override { commands.push_back(command); }
  bool LastCommandSucceeded() override { return succeeded; }
  void ShowStatus() override { ++statusQueries; }
  std::string StatusText() override { return statusText; }
  std::vector<int16_t> commands;
  bool succeeded = true;
  int statusQueries = 0;
  std::string statusText = "Service not installed";
};

class FakeTheme : public ThemeSteps {
 public:
  void SubClassAllFrames() override { log.push_back("subclass"); }
  void UnSubClassAllFrames() override { log.push_back("unsubclass"); }
  void ApplyXPTheme() override { log.push_back("theme"); }
  std::vector<std::string> log;
};

const std::string kIni = "C:\\Zemlo\\ZemloLinkvaneManager-Settings.ini";

class ManagerTest : public ::testing::Test {
 protected:
  FakeView view;
  test::FakeScreen screen;
  FakeSession session;
  FakeTray tray;
  test::FakeClock clock;
  test::FakeEventPump events;
  FakeOperations operations;
  FakeTheme theme;
  test::FakeProfileStore store;
  test::FakeBeeper beeper;
  test::FakeReporter fake;
  ManagerGlobal settings{store, beeper, fake.reporter};
  std::string settingsFile;
  LinkvaneManager manager{{view, screen, session, tray, 0x77, clock, events},
                          operations,
                          theme,
                          settings,
                          settingsFile,
                          fake.reporter};

  // Runs the load step; true when it ended the program.
  bool Load() {
    try {
      manager.Form_Load();
      return false;
    } catch (const ProgramEnded&) {
      return true;
    }
  }
};

struct CommandLineCase {
  std::string line;
  std::vector<int16_t> commands;
  bool ends;
  int32_t windowState;
};

TEST_F(ManagerTest, CommandLineRunsAtMostOneCommand) {
  const CommandLineCase cases[] = {
      {"", {}, false, 0},
      {"-start", {cmd::kStart}, true, 0},
      {"/x -STARTUP", {cmd::kStart}, true, 0},
      {"-INSTALLNOW", {cmd::kInstall}, true, 0},
      {"-UNINSTALL", {cmd::kUninstall}, true, 0},
      {"-INSTALL -START", {cmd::kInstall}, true, 0},
      {"-stop -show -hide", {cmd::kStop}, true, 0},
      {"-Hide", {cmd::kHide}, true, 0},
      {"-MINIMIZE -STOP", {cmd::kStop}, true, 0},
      {"-REMOTE -MINIMIZE", {cmd::kRemote}, false, 1},
      {"-minimize", {}, false, 1},
      {"-UN-INSTALL", {cmd::kInstall}, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    operations.commands.clear();
    view.windowState = 0;
    session.commandLine = c.line;
    EXPECT_EQ(Load(), c.ends);
    EXPECT_EQ(operations.commands, c.commands);
    EXPECT_EQ(view.windowState, c.windowState);
  }
  EXPECT_TRUE(store.writes.empty());
}

TEST_F(ManagerTest, OneShotExitCodeTellsWhetherTheCommandReachedItsGoal) {
  session.commandLine = "-START";
  for (const bool succeeded : {true, false}) {
    operations.succeeded = succeeded;
    ASSERT_TRUE(Load());
    EXPECT_EQ(session.exitCode, succeeded ? exitcode::kGoalReached : exitcode::kGoalMissed);
  }
  EXPECT_EQ(operations.statusQueries, 0) << "a one-shot run ends before the first query";
}

TEST_F(ManagerTest, SecondCopyQueriesAndEndsSilently) {
  session.previous = true;
  EXPECT_TRUE(Load());
  EXPECT_EQ(operations.statusQueries, 1);
  EXPECT_EQ(session.exitCode, exitcode::kGoalReached);
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "show"), 0);
  EXPECT_TRUE(store.writes.empty());
}

TEST_F(ManagerTest, LoadSetsTheSettingsFileAndRestoresThePlacement) {
  struct Case {
    std::string top, left, state;
    std::vector<std::string> expected;
  };
  // Screen 15360 x 11520 twips, window 4365 x 2310.
  const Case cases[] = {
      {"", "", "", {"top=4605", "left=5497", "state=0"}},
      {"-1", "300", "0", {"top=4605", "left=5497", "state=0"}},
      {"300", "", "0", {"top=4605", "left=5497", "state=0"}},
      {"300", "600", "1", {"top=300", "left=600", "state=1"}},
      {"300", "12abc", "2", {"top=300", "left=12", "state=2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.top + "/" + c.left + "/" + c.state);
    store = test::FakeProfileStore();
    store.expectedPath = kIni;
    auto put = [&](const char* key, const std::string& value) {
      if (!value.empty()) store.Set("Display Options", key, value);
    };
    put("Top", c.top);
    put("Left", c.left);
    put("State", c.state);
    view.log.clear();
    EXPECT_FALSE(Load());
    EXPECT_EQ(settingsFile, kIni);
    EXPECT_EQ(view.log, c.expected);
  }
}

TEST_F(ManagerTest, PlacementThatDoesNotFitEndsInTheCriticalReport) {
  const std::pair<std::string, std::string> cases[] = {
      {"State", "70000"}, {"State", "7"}, {"Top", "3000000000"}, {"Left", "-3000000000"}};
  for (const auto& [key, value] : cases) {
    SCOPED_TRACE(key + "=" + value);
    test::FakeReporter reporter;
    ManagerGlobal localSettings{store, beeper, reporter.reporter};
    LinkvaneManager local{{view, screen, session, tray, 0x77, clock, events},
                          operations,
                          theme,
                          localSettings,
                          settingsFile,
                          reporter.reporter};
    store = test::FakeProfileStore();
    store.expectedPath = kIni;
    store.Set("Display Options", key, value);
    if (key != "State") store.Set("Display Options", key == "Top" ? "Left" : "Top", "10");
    EXPECT_THROW(local.Form_Load(), ProgramEnded);
    ASSERT_TRUE(reporter.Reported());
    EXPECT_NE(reporter.Message().find("Module Name: LinkvaneManager\r\nProcedure Name: "
                                      "LoadSettings\r\n"),
              std::string::npos);
    EXPECT_EQ(operations.statusQueries, 0);
  }
}

TEST_F(ManagerTest, UnloadSavesByWindowStateAndRemovesTheTrayIcon) {
  struct Case {
    int32_t state;
    std::vector<std::string> writes;
    size_t trayDeletes;
  };
  const Case cases[] = {
      {state::kNormal, {"Top=120", "Left=240", "State=0"}, 0},
      {state::kMinimized, {"State=1"}, 1},
      {state::kMaximized, {"State=2"}, 0},
  };
  for (const auto& c : cases) {
    store.writes.clear();
    tray.calls.clear();
    settingsFile = kIni;
    view.top = 120, view.left = 240, view.windowState = c.state;
    manager.Form_Unload();
    EXPECT_EQ(store.Written(), c.writes);
    ASSERT_EQ(tray.calls.size(), c.trayDeletes);
    if (c.trayDeletes) {
      const TrayIconRecord& r = tray.calls[0].second;
      EXPECT_EQ(tray.calls[0].first, tray::kDelete);
      EXPECT_EQ(r.window, 0x1234u);
      EXPECT_EQ(r.iconId, 1u);
      EXPECT_EQ(r.flags, 0u);
    }
  }
  EXPECT_EQ(session.unloads, 3);
}

TEST_F(ManagerTest, DispatcherRefreshesStatusAndTipOnlyInTheTray) {
  for (const int32_t windowState : {state::kNormal, state::kMaximized, state::kMinimized}) {
    view.log.clear();
    tray.calls.clear();
    operations.statusQueries = 0;
    view.windowState = windowState;
    manager.Cmd_Click(cmd::kStop);
    const bool inTray = windowState == state::kMinimized;
    EXPECT_EQ(operations.statusQueries, inTray ? 1 : 0);
    ASSERT_EQ(tray.calls.size(), inTray ? 1u : 0u);
    if (inTray) {
      EXPECT_EQ(tray.calls[0].first, tray::kModify);
    }
    EXPECT_EQ(view.log, (std::vector<std::string>{"busy", "default pointer"}));
  }
}

TEST_F(ManagerTest, MenuEntriesRunTheirCommands) {
  using Handler = void (LinkvaneManager::*)();
  const std::pair<Handler, int16_t> entries[] = {
      {&LinkvaneManager::MnuSvcStart_Click, cmd::kStart},
      {&LinkvaneManager::MnuSvcStop_Click, cmd::kStop},
      {&LinkvaneManager::MnuSvcInstall_Click, cmd::kInstall},
      {&LinkvaneManager::MnuSvcInstallAs_Click, cmd::kInstallAs},
      {&LinkvaneManager::MnuSvcUninstall_Click, cmd::kUninstall},
      {&LinkvaneManager::MnuMonitorLogFile_Click, cmd::kMonitorLog},
      {&LinkvaneManager::MnuSvcConfig_Click, cmd::kRemote},
      {&LinkvaneManager::MnuSvcHide_Click, cmd::kHide},
      {&LinkvaneManager::MnuSvcShow_Click, cmd::kShow},
  };
  for (const auto& [handler, command] : entries) {
    operations.commands.clear();
    (manager.*handler)();
    EXPECT_EQ(operations.commands, std::vector<int16_t>{command});
  }
}

TEST_F(ManagerTest, TrayRecordsCarryTheWholeIconAndTheTip) {
  EXPECT_EQ(sizeof(TrayIconRecord), sizeof(void*) == 4 ? 88u : 104u);
  view.windowState = state::kMinimized;
  view.visible = true;
  manager.Form_Resize();
  manager.ModifySystemTray();
  ASSERT_EQ(tray.calls.size(), 2u);
  EXPECT_EQ(tray.calls[0].first, tray::kAdd);
  EXPECT_EQ(tray.calls[1].first, tray::kModify);
  for (const auto& [op, r] : tray.calls) {
    EXPECT_EQ(r.size, sizeof(TrayIconRecord));
    EXPECT_EQ(r.window, 0x1234u);
    EXPECT_EQ(r.iconId, 1u);
    EXPECT_EQ(r.flags, 7u);
    EXPECT_EQ(r.callbackMessage, 0x200u);
    EXPECT_EQ(r.icon, 0x77u);
    EXPECT_STREQ(r.tip, "Zemlo Linkvane Manager - Service not installed");
  }
  EXPECT_EQ(view.log, (std::vector<std::string>{"taskbar off", "hide"}));

  operations.statusText = std::string(80, 'x');
  manager.ModifySystemTray();
  const TrayIconRecord& cut = tray.calls.back().second;
  EXPECT_EQ(std::strlen(cut.tip), 63u);
  EXPECT_EQ(std::string(cut.tip).substr(0, 25), "Zemlo Linkvane Manager - ");
}

TEST_F(ManagerTest, RestoreReturnsToTheLastShownState) {
  for (const int32_t shownState : {state::kNormal, state::kMaximized}) {
    view.windowState = shownState;
    manager.Form_Resize();
    view.windowState = state::kMinimized;
    manager.Form_Resize();
    tray.calls.clear();
    view.log.clear();
    clock.stepPerReading = 30;
    manager.RestoreFromSystemTray();
    EXPECT_EQ(view.windowState, shownState);
    EXPECT_EQ(view.log, (std::vector<std::string>{"state=" + std::to_string(shownState),
                                                  "taskbar on", "show", "refresh", "foreground"}));
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].first, tray::kDelete);
    EXPECT_GE(events.calls, 1) << "pending events run during the restore";
  }
}

TEST_F(ManagerTest, RestoreWaitSurvivesMidnight) {
  clock.SetSeconds(86399.95);
  int readings = 0;
  events.onEvents = [&] {
    // The clock wraps to 0 right after the first pending-event pass.
    clock.ms = readings++ == 0 ? 0 : clock.ms + 20;
  };
  manager.RestoreFromSystemTray();
  EXPECT_GE(events.calls, 5) << "the wait restarted after midnight instead of ending at once";
  EXPECT_EQ(tray.calls.size(), 1u);
}

TEST_F(ManagerTest, AWindowThatWillNotShowStillLosesItsTrayIcon) {
  view.showFails = true;
  clock.stepPerReading = 50;
  manager.RestoreFromSystemTray();
  EXPECT_FALSE(fake.Reported());
  EXPECT_EQ(session.unloads, 1);
  ASSERT_EQ(tray.calls.size(), 1u);
  EXPECT_EQ(tray.calls[0].first, tray::kDelete);
}

TEST_F(ManagerTest, TrayCallbackCodesAreDecodedFromX) {
  struct Case {
    bool pixels;
    float x;
    bool visible;
    std::string expected;  // first logged action, or "" for none
  };
  const Case cases[] = {
      {false, 0x205 * 15.0f, false, "popup"},   {false, 0x205 * 15.0f, true, ""},
      {false, 0x203 * 15.0f, false, "state=0"}, {false, 0x201 * 15.0f, false, ""},
      {false, 0x204 * 15.0f, false, ""},        {false, 0x207 * 15.0f, false, ""},
      {false, 516.5f * 15.0f, false, ""},  // half goes to the even 516
      {false, 517.4f * 15.0f, false, "popup"},  {true, 517.0f, false, "popup"},
      {true, 515.2f, false, "state=0"},
  };
  clock.stepPerReading = 50;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    view.log.clear();
    view.pixels = c.pixels;
    view.visible = c.visible;
    manager.Form_MouseMove(0, 0, c.x, 0);
    EXPECT_EQ(view.log.empty() ? "" : view.log[0], c.expected);
  }
}

TEST_F(ManagerTest, ExplorerRestartReaddsTheIconOnlyInTheTray) {
  manager.TaskbarCreated();
  EXPECT_TRUE(tray.calls.empty());
  view.windowState = state::kMinimized;
  manager.TaskbarCreated();
  ASSERT_EQ(tray.calls.size(), 1u);
  EXPECT_EQ(tray.calls[0].first, tray::kAdd);
}

TEST_F(ManagerTest, CreationAndDestructionRunTheThemeSteps) {
  manager.Form_Initialize();
  manager.Form_Terminate();
  EXPECT_EQ(theme.log, (std::vector<std::string>{"subclass", "theme", "unsubclass"}));
}

}  // namespace
}  // namespace zlv
