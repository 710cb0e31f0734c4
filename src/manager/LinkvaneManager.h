// The manager window's logic: start-up and shutdown, the command line, the
// command dispatcher and menus, and the tray state machine.
#pragma once

#include <cstdint>
#include <string>

#include "core/Modules.h"
#include "manager/Commands.h"
#include "manager/TrayIcon.h"
#include "platform/Clock.h"
#include "platform/WindowFrame.h"
#include "settings/ManagerGlobal.h"

namespace zlv {

// The manager saves where its window stood, never its size.
inline constexpr PlacementScheme kManagerPlacement{"Display Options", false, 0, 0};

// The manager window as its logic sees it; lengths in twips.
class ManagerView : public WindowFrame {
 public:
  virtual uintptr_t Handle() = 0;
  virtual std::string Caption() = 0;
  virtual bool Visible() = 0;
  // Non-modal; raises a Failure when the window cannot be shown.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void Refresh() = 0;
  virtual void SetShowInTaskbar(bool show) = 0;
  virtual void SetBusyPointer(bool busy) = 0;
  virtual void PopupMenu() = 0;
  virtual void SetForeground() = 0;
  // Closes the window; its unload step runs.
  virtual void Unload() = 0;
  // The unit of mouse coordinates: pixels or twips.
  virtual bool ScaleInPixels() = 0;
};

// What the manager needs of the running program.
class AppSession {
 public:
  virtual ~AppSession() = default;
  virtual std::string CommandLine() = 0;
  // The full path of the settings file this process keeps.
  virtual std::string SettingsFile() = 0;
  virtual bool PreviousInstance() = 0;
  // Ends the program at once: nothing is unloaded or saved.
  [[noreturn]] virtual void End(int exitCode) = 0;
  // Unloads every open window but the manager's own.
  virtual void UnloadOtherWindows() = 0;
};

// The operations the dispatcher runs, and the state display they share.
class ManagerOperations {
 public:
  virtual ~ManagerOperations() = default;
  // Runs the command's operation; numbers outside 0..8 run nothing.
  virtual void Run(int16_t command) = 0;
  // The exit code of a one-shot run of the last command.
  virtual int LastExitCode() = 0;
  virtual void ShowStatus() = 0;
  virtual std::string StatusText() = 0;
};

// The visual-theme steps of the window object's creation and destruction.
class ThemeSteps {
 public:
  virtual ~ThemeSteps() = default;
  virtual void SubClassAllFrames() = 0;
  virtual void UnSubClassAllFrames() = 0;
  virtual void ApplyXPTheme() = 0;
};

struct ManagerPlatform {
  ManagerView& view;
  Screen& screen;
  AppSession& session;
  TrayArea& tray;
  uintptr_t trayIcon;  // the 16x16 icon Picture1 holds
  Clock& clock;
  EventPump& events;
};

class LinkvaneManager {
 public:
  // settingsFile is the program-wide SettingsFile, set by Form_Load.
  LinkvaneManager(const ManagerPlatform& platform, ManagerOperations& operations, ThemeSteps& theme,
                  ManagerGlobal& settings, std::string& settingsFile, ErrorReporter& reporter);

  void Form_Initialize();
  void Form_Load();
  void Form_Unload();
  void Form_Terminate();
  void Form_Resize();
  void Form_MouseMove(int32_t button, int32_t shift, float x, float y);

  void Cmd_Click(int16_t index);
  void MnuMgrShow_Click();
  void MnuMgrClose_Click();
  void MnuSvcStart_Click() { Menu("MnuSvcStart_Click", cmd::kStart); }
  void MnuSvcStop_Click() { Menu("MnuSvcStop_Click", cmd::kStop); }
  void MnuSvcInstall_Click() { Menu("MnuSvcInstall_Click", cmd::kInstall); }
  void MnuSvcInstallAs_Click() { Menu("MnuSvcInstallAs_Click", cmd::kInstallAs); }
  void MnuSvcUninstall_Click() { Menu("MnuSvcUninstall_Click", cmd::kUninstall); }
  void MnuMonitorLogFile_Click() { Menu("MnuMonitorLogFile_Click", cmd::kMonitorLog); }
  void MnuSvcConfig_Click() { Menu("MnuSvcConfig_Click", cmd::kRemote); }
  void MnuSvcHide_Click() { Menu("MnuSvcHide_Click", cmd::kHide); }
  void MnuSvcShow_Click() { Menu("MnuSvcShow_Click", cmd::kShow); }

  void GoSystemTray();
  void ModifySystemTray();
  void RestoreFromSystemTray();
  // Explorer restarted: a manager in the tray puts its icon back.
  void TaskbarCreated();

  int32_t LastWindowState() const { return lastWindowState_; }

 private:
  void ParseCommandLine();
  void LoadSettings();
  void SaveSettings();
  void Menu(std::string_view handler, int16_t command);
  TrayIconRecord FullTrayRecord();
  void DeleteTrayIcon();

  ManagerPlatform platform_;
  ManagerOperations& operations_;
  ThemeSteps& theme_;
  ManagerGlobal& settings_;
  std::string& settingsFile_;
  Module module_;
  int32_t lastWindowState_ = state::kNormal;
};

}  // namespace zlv
