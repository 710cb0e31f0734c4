// The program: builds the manager window and everything it owns, runs its
// start-up, its message loop and its shutdown.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "installas/InstallAs.h"
#include "installas/InstallAsWindow_win.h"
#include "logmonitor/MonitorLogWindow_win.h"
#include "manager/LinkvaneManager.h"
#include "manager/ManagerWindow_win.h"
#include "manager/ServiceOperations.h"
#include "manager/StatusLine.h"
#include "platform/Desktop_win.h"
#include "platform/ElevatedLauncher_win.h"
#include "platform/ErrorOutput_win.h"
#include "platform/Screen_win.h"
#include "platform/Timer_win.h"
#include "platform/UiGate_win.h"
#include "service/ScmSvcIt_win.h"
#include "settings/FileProfileStore.h"
#include "settings/FileProfileStore_win.h"
#include "settings/SettingsLocation.h"
#include "settings/UserAccount_win.h"
#include "theme/Registry_win.h"
#include "theme/WinVersion.h"
#include "theme/XPTheme_win.h"

namespace zlv {
namespace {
constexpr UINT_PTR kShowStateTimer = 1;
constexpr UINT_PTR kStatusDisplayTimer = 2;
}  // namespace

// The manager window's run: what it owns, and the services its logic asks for.
class ManagerProgram final : public ManagerOperations,
                             public AppSession,
                             public ThemeSteps,
                             public LogMonitor,
                             public StatusBar {
 public:
  ManagerProgram(ErrorReporter& reporter, UiGate& gate) : reporter_(reporter), gate_(gate) {
    // Another copy is told apart by a named mutex held for this process's life.
    instanceMutex_ = CreateMutexA(nullptr, FALSE, "Local\\Zemlo.LinkvaneManager.Running");
    previousInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;

    window_.Create();
    const HWND hwnd = window_.Hwnd();
    showState_ = std::make_unique<HwndTimer>(hwnd, kShowStateTimer);
    statusDisplayTimer_ = std::make_unique<HwndTimer>(hwnd, kStatusDisplayTimer);
    status_ =
        std::make_unique<StatusLine>(svc_, *this, *showState_, *statusDisplayTimer_, reporter_);
    window_.RouteTimer(kShowStateTimer, [this] { status_->ShowState_Timer(); });
    window_.RouteTimer(kStatusDisplayTimer, [this] { status_->StatusDisplayTimer_Timer(); });

    installAsWindow_ = std::make_unique<Win32InstallAsWindow>(hwnd, gate_);
    installAs_ =
        std::make_unique<InstallAs>(*installAsWindow_, settings_, settingsFile_, theme_.Theme());
    operations_ = std::make_unique<ServiceOperations>(
        OperationsContext{svc_, *status_, settings_, settingsFile_, appFolder_, *installAs_, *this,
                          boxes_, shell_, clock_, events_, reporter_, [this] { window_.Refresh(); },
                          elevation_, CommandLineArguments()});
    window_.SetShields(operations_->CommandsAskingForRights());
    manager_ = std::make_unique<LinkvaneManager>(
        ManagerPlatform{window_, screen_, *this, window_,
                        reinterpret_cast<uintptr_t>(window_.TrayIcon()), clock_, events_},
        *this, *this, settings_, settingsFile_, reporter_);
    window_.Attach(*manager_);
  }

  int Run() {
    manager_->Form_Initialize();
    status_->StartTimers();
    manager_->Form_Load();
    window_.ShowAfterLoad();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageA(window_.Hwnd(), &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      RethrowCarriedFailure();
    }
    manager_->Form_Terminate();
    installAs_->Form_Terminate();
    return static_cast<int>(message.wParam);
  }

  // ManagerOperations
  void Run(int16_t command) override { operations_->RunCommand(command); }
  int LastExitCode() override { return operations_->LastExitCode(); }
  void ShowStatus() override { status_->ShowStatus(); }
  std::string StatusText() override { return status_->StatusText(); }

  // AppSession
  std::string CommandLine() override { return CommandLineArguments(); }
  std::string SettingsFile() override {
    return ChooseSettingsFile(appFolder_ + "\\" + std::string(kSettingsFileName),
                              elevation_.TokenLimited(), user_, ReplaceFileWin32);
  }
  bool PreviousInstance() override { return previousInstance_; }
  [[noreturn]] void End(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
  void UnloadOtherWindows() override {
    installAsWindow_->Unload();
    if (monitor_) monitor_->Unload();
  }

  // ThemeSteps
  void SubClassAllFrames() override {
    theme_.Theme().SubClassAllFrames(FromHwnd(window_.Hwnd()), "");
  }
  void UnSubClassAllFrames() override {
    theme_.Theme().UnSubClassAllFrames(FromHwnd(window_.Hwnd()), "");
  }
  void ApplyXPTheme() override { theme_.Theme().ApplyXPTheme(); }

  // LogMonitor
  bool Built() override { return monitor_ != nullptr; }
  void Build() override {
    monitor_ = std::make_unique<MonitorLogWindow>(settings_, settingsFile_, appFolder_, gate_);
    auto& theme = theme_.Theme();
    monitor_->SetFrameHooks(
        [&theme](HWND w, const std::string& n) { theme.SubClassAllFrames(FromHwnd(w), n); },
        [&theme](HWND w, const std::string& n) { theme.UnSubClassAllFrames(FromHwnd(w), n); });
  }
  void ShowNonModal() override { monitor_->ShowNonModal(); }

  // StatusBar
  void SetPanelText(int32_t, const std::string& text) override { window_.SetStatusText(text); }
  void Repaint() override { window_.RepaintStatusBar(); }

 private:
  ErrorReporter& reporter_;
  UiGate& gate_;
  SystemClock clock_;
  MessagePump events_;
  SystemBeeper beeper_;
  FileProfileStore profiles_{ReplaceFileWin32};
  ManagerGlobal settings_{profiles_, beeper_, reporter_};
  Win32Registry registry_;
  Win32XPTheme theme_{reporter_, [this] { return GetWinVersion(registry_, reporter_); }};
  std::string settingsFile_;
  std::string appFolder_ = ProgramFolder();
  Win32UserAccount user_;
  Win32ElevatedLauncher elevation_{gate_, ProgramFile(), [this] { return window_.Hwnd(); }};
  ManagerWindow window_{gate_};
  Win32Screen screen_;
  ScmSvcIt svc_{gate_};
  OwnedMessageBoxes boxes_{[this] { return window_.Hwnd(); }};
  ShellOpen shell_{[this] { return window_.Hwnd(); }};
  HANDLE instanceMutex_ = nullptr;
  bool previousInstance_ = false;
  std::unique_ptr<HwndTimer> showState_;
  std::unique_ptr<HwndTimer> statusDisplayTimer_;
  std::unique_ptr<StatusLine> status_;
  std::unique_ptr<Win32InstallAsWindow> installAsWindow_;
  std::unique_ptr<InstallAs> installAs_;
  std::unique_ptr<ServiceOperations> operations_;
  std::unique_ptr<MonitorLogWindow> monitor_;
  std::unique_ptr<LinkvaneManager> manager_;
};

}  // namespace zlv

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The status bar, the tooltips and the log monitor's list-view need their
  // classes whatever the theme decides later; this is the program's one call.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  zlv::UiGate gate;
  zlv::Win32ErrorOutput errorOutput(gate);
  zlv::ErrorReporter reporter(errorOutput);
  // Building the window and what it owns is the window object's creation.
  const zlv::Module manager(reporter, zlv::module::kLinkvaneManager);
  auto program = manager.Run("Form_Initialize", 0,
                             [&] { return std::make_unique<zlv::ManagerProgram>(reporter, gate); });
  // What a window's handler raised without reporting it comes out here.
  return manager.Run("MessageLoop", 0, [&] { return program->Run(); });
}
