#include "logmonitor/MonitorLogWindow_win.h"

#include <commctrl.h>

#include "logmonitor/ListViewGrid_win.h"
#include "logmonitor/LogFile_win.h"
#include "logmonitor/MonitorLog.h"
#include "platform/Screen_win.h"
#include "platform/Timer_win.h"
#include "platform/Win32Error_win.h"
#include "platform/WindowFrame_win.h"
#include "resource.h"

namespace zlv {

namespace {

constexpr const char* kClassName = "ZemloLinkvaneMonitorLog";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
// GridLog's designed rectangle, twips; the resize rule replaces it at once.
constexpr int32_t kGridLeft = 30, kGridTop = 60, kGridWidth = 4635, kGridHeight = 3105;

void RegisterClassOnce(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kClassName, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  // The icon lives in the manager's own resources; a host without it gets the default.
  wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MONITOR));
  if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc)) RaiseLastError("RegisterClassExA");
}

}  // namespace

// Everything that lives exactly as long as one window.
struct MonitorLogWindow::Session final : MonitorLogForm {
  Session(HWND hwnd, HWND grid, MonitorLogWindow& owner)
      : window(hwnd),
        listView(grid),
        frame(hwnd),
        gridLog(grid, frame.Scale()),
        timer1(hwnd, kTimer1),
        monitor(MonitorLogParts{frame, *this, gridLog, timer1, screen, logFile}, owner.settings_,
                owner.settingsFile_, owner.appFolder_) {}

  int32_t ScaleWidth() override { return frame.InnerWidth(); }
  int32_t ScaleHeight() override { return frame.InnerHeight(); }

  // WM_SETREDRAW switches WS_VISIBLE itself: TRUE on a window still hidden
  // during its load would show it before its first fill, never activated.
  void SetRedraw(bool on) override {
    if (on == !redrawSuspended || (!on && !IsWindowVisible(window))) return;
    redrawSuspended = !on;
    SendMessageA(window, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) {
      RedrawWindow(window, nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
  }

  void MoveGrid(int32_t left, int32_t top, int32_t width, int32_t height) override {
    const Dpi& dpi = frame.Scale();
    if (!MoveWindow(listView, dpi.ToPixelsX(left), dpi.ToPixelsY(top), dpi.ToPixelsX(width),
                    dpi.ToPixelsY(height), TRUE)) {
      RaiseLastError("MoveWindow");
    }
  }

  HWND window;
  HWND listView;
  HwndFrame frame;
  ListViewGrid gridLog;
  HwndTimer timer1;
  Win32Screen screen;
  Win32LogFile logFile;
  MonitorLog monitor;
  bool redrawSuspended = false;
};

MonitorLogWindow::MonitorLogWindow(ManagerGlobal& settings, std::string settingsFile,
                                   std::string appFolder, const UiGate& gate)
    : settings_(settings),
      gate_(gate),
      settingsFile_(std::move(settingsFile)),
      appFolder_(std::move(appFolder)) {}

MonitorLogWindow::~MonitorLogWindow() {
  // At program end the window goes without its unload step; the placement was
  // saved when the manager unloaded it.
  if (hwnd_) DestroyWindow(hwnd_);
}

void MonitorLogWindow::SetFrameHooks(FrameHook subClassAllFrames, FrameHook unSubClassAllFrames) {
  subClassAllFrames_ = std::move(subClassAllFrames);
  unSubClassAllFrames_ = std::move(unSubClassAllFrames);
}

void MonitorLogWindow::Create() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterClassOnce(instance, &MonitorLogWindow::WindowProc);
  const Dpi dpi = Dpi::OfScreen();
  // No owner: the monitor stays on screen while the manager sits in the tray.
  HWND hwnd =
      CreateWindowExA(0, kClassName, monitorlog::kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                      dpi.ToPixelsX(monitorlog::kMinWidth), dpi.ToPixelsY(monitorlog::kMinHeight),
                      nullptr, nullptr, instance, this);
  if (!hwnd) RaiseLastError("CreateWindowExA");
  constexpr DWORD gridStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                              LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
  gridLog_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", gridStyle, dpi.ToPixelsX(kGridLeft),
      dpi.ToPixelsY(kGridTop), dpi.ToPixelsX(kGridWidth), dpi.ToPixelsY(kGridHeight), hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridLogId)), instance, nullptr);
  if (!gridLog_) {
    const DWORD code = GetLastError();
    DestroyWindow(hwnd);
    RaiseWin32(code, "CreateWindowExA");
  }
  SendMessageA(gridLog_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  session_ = std::make_unique<Session>(hwnd, gridLog_, *this);
}

void MonitorLogWindow::ShowNonModal() {
  if (hwnd_) {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    return;
  }
  Create();
  MonitorLog& monitor = session_->monitor;
  const HWND hwnd = hwnd_;
  monitor.Form_Initialize([this, hwnd](const std::string& exclusion) {
    if (subClassAllFrames_) subClassAllFrames_(hwnd, exclusion);
  });
  monitor.Form_Load();
  session_->frame.Show();
}

void MonitorLogWindow::Unload() {
  if (hwnd_) SendMessageA(hwnd_, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MonitorLogWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self =
        static_cast<MonitorLogWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<MonitorLogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // Nothing may unwind into the system: every handler reports its own failures.
  try {
    return self->Dispatch(hwnd, msg, wParam, lParam);
  } catch (...) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT MonitorLogWindow::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!gate_.Admits(msg)) return 0;
  Session* session = session_.get();
  switch (msg) {
    case WM_SIZE:
      if (session) session->monitor.Form_Resize();
      return 0;
    case WM_GETMINMAXINFO:
      // Dragging stops at the minimum instead of snapping back afterwards.
      if (session) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const Dpi& dpi = session->frame.Scale();
        info->ptMinTrackSize.x = dpi.ToPixelsX(monitorlog::kMinWidth);
        info->ptMinTrackSize.y = dpi.ToPixelsY(monitorlog::kMinHeight);
      }
      return 0;
    case WM_TIMER:
      if (session && wParam == kTimer1) {
        session->monitor.Timer1_Timer();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (session) {
        bool cancel = false;
        session->monitor.Form_Unload(cancel);
        if (cancel) return 0;
      }
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (session) {
        session->timer1.SetEnabled(false);
        session->monitor.Form_Terminate([this, hwnd](const std::string& exclusion) {
          if (unSubClassAllFrames_) unSubClassAllFrames_(hwnd, exclusion);
        });
      }
      return 0;
    case WM_NCDESTROY:
      // The rows, the timer and the read position end with the window.
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      gridLog_ = nullptr;
      session_.reset();
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace zlv
