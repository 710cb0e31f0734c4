#include "manager/LinkvaneManager.h"

#include <gtest/gtest.h>

#include "Fakes.h"

namespace zlv::test {
namespace {

// The manager window and the program around it: session, tray, operations, theme.
struct FakeDesk : FakeFrame<ManagerView>, AppSession, TrayArea, ManagerOperations, ThemeSteps {
  uintptr_t Handle() override { return 0x1234; }
  std::string Caption() override { return std::string(kManagerCaption); }
  bool Visible() override { return visible; }
  void Show() override { Log("show"); }
  void Hide() override { Log("hide"); }
  void Refresh() override { Log("refresh"); }
  void SetShowInTaskbar(bool s) override { Log(s ? "taskbar on" : "taskbar off"); }
  void SetBusyPointer(bool b) override { Log(b ? "busy" : "default pointer"); }
  void PopupMenu() override { Log("popup"); }
  void SetForeground() override { Log("foreground"); }
  void Unload() override {}
  bool ScaleInPixels() override { return false; }
  std::string CommandLine() override { return commandLine; }
  std::string SettingsFile() override { return "C:\\Zemlo\\ZemloLinkvaneManager-Settings.ini"; }
  bool PreviousInstance() override { return previousCopy; }
  [[noreturn]] void End(int code) override {
    exitCode = code;
    throw ProgramEnded{};
  }
  void UnloadOtherWindows() override {}
  void NotifyIcon(int32_t op, const TrayIconRecord& r) override { tray.emplace_back(op, r.tip); }
  void Run(int16_t command) override { commands.push_back(command); }
  int LastExitCode() override { return lastExit; }
  void ShowStatus() override { ++statusQueries; }
  std::string StatusText() override { return "Service Stopped"; }
  void SubClassAllFrames() override {}
  void UnSubClassAllFrames() override {}
  void ApplyXPTheme() override {}
  std::string commandLine;
  bool visible = false, previousCopy = false;
  int lastExit = 0;
  std::optional<int> exitCode;
  int statusQueries = 0;
  std::vector<std::pair<int32_t, std::string>> tray;
  std::vector<int16_t> commands;
};

struct ManagerTest : ::testing::Test, FakeSettings {
  FakeDesk desk;
  std::string settingsFile;
  ManagerPlatform platform{desk, desktop, desk, desk, 0x77, desktop, desktop};
  LinkvaneManager manager{platform, desk, desk, settings, settingsFile, desktop.reporter};
  ManagerTest() { desktop.stepPerReading = 30; }
};

// A second copy queries the state, then leaves silently; an exit code of
// nullopt means the program goes on. A one-shot run ends with its command's
// exit code, an elevated copy's included.
TEST_F(ManagerTest, CommandLineRunsAtMostOneCommandAndEndsWithItsOutcome) {
  using Commands = std::vector<int16_t>;
  const std::tuple<std::string, bool, int, Commands, std::optional<int>, int32_t, int> cases[] = {
      {"", false, 0, {}, std::nullopt, 0, 1},
      {"-start", false, 0, {cmd::kStart}, 0, 0, 0},
      {"/x -STARTUP", false, 0, {cmd::kStart}, 0, 0, 0},
      {"-INSTALL -START", false, 0, {cmd::kInstall}, 0, 0, 0},
      {"-installAs -ELEVATED", false, 1, {cmd::kInstallAs}, 1, 0, 0},
      {"-stop -show -hide", false, 3, {cmd::kStop}, 3, 0, 0},
      {"-MINIMIZE -Hide", false, 1, {cmd::kHide}, 1, 0, 0},
      {"-remote -minimize", false, 0, {cmd::kRemote}, std::nullopt, 1, 1},
      {"", true, 0, {}, 0, 0, 1}};
  for (const auto& [line, previousCopy, lastExit, commands, exitCode, state, queries] : cases) {
    desk = FakeDesk();
    desk.commandLine = line, desk.previousCopy = previousCopy, desk.lastExit = lastExit;
    try {
      manager.Form_Load();
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(std::tuple(desk.commands, desk.exitCode, desk.state, desk.statusQueries),
              std::tuple(commands, exitCode, state, queries))
        << line;
  }
}

// The tray's callback codes arrive as the X of a mouse move, in twips. The
// restore's wait starts afresh when the clock passes midnight.
TEST_F(ManagerTest, TheTrayIconTellsTheStateAndAnswersItsClicks) {
  desktop.ms = 86399950;
  for (const int32_t shownState : {state::kNormal, state::kMaximized}) {
    desk.state = shownState;
    manager.Form_Resize();
    desk.state = state::kMinimized;
    manager.Form_Resize();
    manager.Cmd_Click(cmd::kStop);
    desk.log.clear();
    manager.Form_MouseMove(0, 0, 0x203 * 15, 0);
    EXPECT_EQ(desk.log, (Strings{"State=" + std::to_string(shownState), "taskbar on", "show",
                                 "refresh", "foreground"}));
    EXPECT_GE(desktop.pumped, 1) << "pending events run during the restore";
  }
  const std::pair<int32_t, std::string> added{0, "Zemlo Linkvane Manager - Service Stopped"},
      tipped{1, added.second}, deleted{2, ""};
  EXPECT_EQ(desk.tray, (std::vector{added, tipped, deleted, added, tipped, deleted}));
  const std::tuple<float, bool, std::string> clicks[] = {
      {0x205, false, "popup"}, {0x205, true, ""},  {0x204, false, ""},
      {0x201, false, ""},      {516.5, false, ""}, {517.4, false, "popup"}};
  for (const auto& [code, visible, action] : clicks) {
    desk.log.clear();
    desk.visible = visible;
    manager.Form_MouseMove(0, 0, code * 15, 0);
    EXPECT_EQ(desk.log, action.empty() ? Strings{} : Strings{action}) << code;
  }
}

}  // namespace
}  // namespace zlv::test
