#include "manager/LinkvaneManager.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <utility>

namespace zlv {
namespace {

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool Contains(const std::string& text, std::string_view option) {
  return text.find(option) != std::string::npos;
}

// The options that run one command and end the program, in the order searched.
// "-INSTALLAS" holds "-INSTALL", so it is looked for first.
constexpr std::array<std::pair<std::string_view, int16_t>, 7> kEndingOptions{{
    {"-INSTALLAS", cmd::kInstallAs},
    {"-INSTALL", cmd::kInstall},
    {"-UNINSTALL", cmd::kUninstall},
    {"-START", cmd::kStart},
    {"-STOP", cmd::kStop},
    {"-SHOW", cmd::kShow},
    {"-HIDE", cmd::kHide},
}};

}  // namespace

LinkvaneManager::LinkvaneManager(const ManagerPlatform& platform, ManagerOperations& operations,
                                 ThemeSteps& theme, ManagerGlobal& settings,
                                 std::string& settingsFile, ErrorReporter& reporter)
    : platform_(platform),
      operations_(operations),
      theme_(theme),
      settings_(settings),
      settingsFile_(settingsFile),
      module_(reporter, module::kLinkvaneManager) {}

void LinkvaneManager::Form_Initialize() {
  Procedure p(module_, "Form_Initialize");
  p.Run([&] {
    p.At(10);
    theme_.SubClassAllFrames();
    p.At(20);
    theme_.ApplyXPTheme();
  });
}

void LinkvaneManager::Form_Load() {
  Procedure p(module_, "Form_Load");
  p.Run([&] {
    p.At(10);
    settingsFile_ = platform_.session.SettingsFile();
    p.At(20);
    LoadSettings();
    p.At(30);
    ParseCommandLine();
    p.At(40);
    if (Contains(UpperCase(platform_.session.CommandLine()), "-MINIMIZE")) {
      p.At(50);
      platform_.view.SetWindowState(state::kMinimized);
    }
    p.At(60);
    operations_.ShowStatus();
    p.At(70);
    // A second copy without an ending option only queries, then leaves silently.
    if (platform_.session.PreviousInstance()) {
      p.At(80);
      platform_.session.End(exitcode::kGoalReached);
    }
  });
}

void LinkvaneManager::ParseCommandLine() {
  Procedure p(module_, "ParseCommandLine");
  p.Run([&] {
    p.At(10);
    const std::string line = UpperCase(platform_.session.CommandLine());
    p.At(20);
    for (const auto& [option, command] : kEndingOptions) {
      if (Contains(line, option)) {
        p.At(30);
        Cmd_Click(command);
        p.At(40);
        platform_.session.End(operations_.LastExitCode());
      }
    }
    p.At(50);
    if (Contains(line, "-REMOTE")) {
      p.At(60);
      Cmd_Click(cmd::kRemote);
    }
  });
}

void LinkvaneManager::LoadSettings() {
  module_.Run("LoadSettings", 10, [&] {
    LoadPlacement(settings_, settingsFile_, kManagerPlacement, platform_.view, platform_.screen);
  });
}

void LinkvaneManager::SaveSettings() {
  module_.Run("SaveSettings", 10,
              [&] { SavePlacement(settings_, settingsFile_, kManagerPlacement, platform_.view); });
}

void LinkvaneManager::Form_Unload() {
  Procedure p(module_, "Form_Unload");
  p.Run([&] {
    p.At(10);
    if (platform_.view.WindowState() == state::kMinimized) {
      p.At(20);
      DeleteTrayIcon();
    }
    p.SkipFailures();
    p.Do(30, [&] { platform_.session.UnloadOtherWindows(); });
    p.SkipFailures(false);
    p.At(40);
    SaveSettings();
  });
}

void LinkvaneManager::Form_Terminate() {
  module_.Run("Form_Terminate", 10, [&] { theme_.UnSubClassAllFrames(); });
}

void LinkvaneManager::Cmd_Click(int16_t index) {
  Procedure p(module_, "Cmd_Click");
  p.Run([&] {
    p.At(10);
    platform_.view.SetBusyPointer(true);
    p.At(20);
    operations_.Run(index);
    p.At(30);
    // In the tray the status bar is out of sight: the tip has to tell what the command left.
    if (platform_.view.WindowState() == state::kMinimized) {
      p.At(40);
      operations_.ShowStatus();
      p.At(50);
      ModifySystemTray();
    }
    p.At(60);
    platform_.view.SetBusyPointer(false);
  });
}

void LinkvaneManager::Menu(std::string_view handler, int16_t command) {
  module_.Run(handler, 10, [&] { Cmd_Click(command); });
}

void LinkvaneManager::MnuMgrShow_Click() {
  module_.Run("MnuMgrShow_Click", 10, [&] { RestoreFromSystemTray(); });
}

void LinkvaneManager::MnuMgrClose_Click() {
  module_.Run("MnuMgrClose_Click", 10, [&] { platform_.view.Unload(); });
}

TrayIconRecord LinkvaneManager::FullTrayRecord() {
  TrayIconRecord record;
  record.size = sizeof(TrayIconRecord);
  record.window = platform_.view.Handle();
  record.iconId = tray::kIconId;
  record.flags = tray::kFlags;
  record.callbackMessage = tray::kCallback;
  record.icon = platform_.trayIcon;
  SetTip(record, platform_.view.Caption() + " - " + operations_.StatusText());
  return record;
}

void LinkvaneManager::DeleteTrayIcon() {
  TrayIconRecord record;
  record.size = sizeof(TrayIconRecord);
  record.window = platform_.view.Handle();
  record.iconId = tray::kIconId;
  platform_.tray.NotifyIcon(tray::kDelete, record);
}

void LinkvaneManager::Form_Resize() {
  Procedure p(module_, "Form_Resize");
  p.Run([&] {
    p.At(10);
    const int32_t windowState = platform_.view.WindowState();
    if (windowState == state::kMinimized) {
      p.At(20);
      GoSystemTray();
    } else {
      p.At(30);
      lastWindowState_ = windowState;
    }
  });
}

void LinkvaneManager::GoSystemTray() {
  Procedure p(module_, "GoSystemTray");
  p.Run([&] {
    p.At(10);
    const TrayIconRecord record = FullTrayRecord();
    p.At(20);
    platform_.tray.NotifyIcon(tray::kAdd, record);
    p.At(30);
    platform_.view.SetShowInTaskbar(false);
    p.At(40);
    platform_.view.Hide();
  });
}

void LinkvaneManager::ModifySystemTray() {
  Procedure p(module_, "ModifySystemTray");
  p.Run([&] {
    p.At(10);
    const TrayIconRecord record = FullTrayRecord();
    p.At(20);
    platform_.tray.NotifyIcon(tray::kModify, record);
  });
}

void LinkvaneManager::TaskbarCreated() {
  Procedure p(module_, "TaskbarCreated");
  p.Run([&] {
    p.At(10);
    if (platform_.view.WindowState() == state::kMinimized && !platform_.view.Visible()) {
      p.At(20);
      platform_.tray.NotifyIcon(tray::kAdd, FullTrayRecord());
    }
  });
}

void LinkvaneManager::RestoreFromSystemTray() {
  Procedure p(module_, "RestoreFromSystemTray");
  p.Run([&] {
    p.At(10);
    platform_.view.SetWindowState(ToInt16(lastWindowState_));
    p.At(20);
    platform_.view.SetShowInTaskbar(true);
    // From here on a window that will not show must still lose its tray icon.
    p.SkipFailures();
    p.Do(30, [&] {
      try {
        platform_.view.Show();
      } catch (...) {
        p.Do(31, [&] { platform_.session.UnloadOtherWindows(); });
        p.Do(32, [&] { platform_.view.Hide(); });
        p.Do(33, [&] { platform_.view.Show(); });
        p.Do(34, [&] { platform_.view.Refresh(); });
      }
    });
    p.Do(40, [&] { platform_.view.Refresh(); });
    p.Do(50, [&] {
      float start = platform_.clock.SecondsSinceMidnight();
      for (float now = start; now < start + 0.1f; now = platform_.clock.SecondsSinceMidnight()) {
        if (now < start) start = now;  // midnight passed
        platform_.events.DoEvents();
      }
    });
    p.Do(60, [&] { DeleteTrayIcon(); });
    p.Do(70, [&] { platform_.view.SetForeground(); });
  });
}

void LinkvaneManager::Form_MouseMove(int32_t, int32_t, float x, float) {
  Procedure p(module_, "Form_MouseMove");
  p.Run([&] {
    p.At(10);
    // The tray reports its mouse message as the X coordinate of a mouse move.
    const double pixels =
        platform_.view.ScaleInPixels() ? x : x / double(platform_.screen.TwipsPerPixelX());
    const int32_t code = ToInt32(pixels);
    p.At(20);
    if (code == tray::kLeftDoubleClick) {
      p.At(30);
      RestoreFromSystemTray();
    } else if (code == tray::kRightButtonUp) {
      p.At(40);
      if (!platform_.view.Visible()) {
        p.At(50);
        platform_.view.PopupMenu();
      }
    }
  });
}

}  // namespace zlv
