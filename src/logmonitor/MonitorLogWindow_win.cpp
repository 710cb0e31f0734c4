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

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
// GridLog's designed rectangle; the resize rule replaces it at once.
constexpr ChildControl kGridLog{
    .className = WC_LISTVIEWA,
    .id = MonitorLogWindow::kGridLogId,
    .at = {30, 60, 4635, 3105},
    .style = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
    .exStyle = WS_EX_CLIENTEDGE};

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
    : WindowBase(gate),
      settings_(settings),
      settingsFile_(std::move(settingsFile)),
      appFolder_(std::move(appFolder)) {}

MonitorLogWindow::~MonitorLogWindow() {
  // At program end the window goes without its unload step; the placement was
  // saved when the manager unloaded it.
  Destroy();
}

void MonitorLogWindow::SetFrameHooks(FrameHook subClassAllFrames, FrameHook unSubClassAllFrames) {
  subClassAllFrames_ = std::move(subClassAllFrames);
  unSubClassAllFrames_ = std::move(unSubClassAllFrames);
}

void MonitorLogWindow::Create() {
  // No owner: the monitor stays on screen while the manager sits in the tray.
  // Its placement, loaded next, gives its size.
  CreateFromDesign({.className = "ZemloLinkvaneMonitorLog",
                    .caption = monitorlog::kCaption,
                    .style = kStyle,
                    .clientWidth = monitorlog::kMinWidth,
                    .clientHeight = monitorlog::kMinHeight,
                    .iconId = IDI_MONITOR});
  try {
    session_ = std::make_unique<Session>(Hwnd(), AddChild(kGridLog), *this);
  } catch (...) {
    Destroy();
    throw;
  }
}

void MonitorLogWindow::OnGone() {
  // The rows, the timer and the read position end with the window.
  session_.reset();
}

void MonitorLogWindow::ShowNonModal() {
  if (const HWND open = Hwnd()) {
    if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
    SetForegroundWindow(open);
    return;
  }
  Create();
  MonitorLog& monitor = session_->monitor;
  const HWND hwnd = Hwnd();
  monitor.Form_Initialize([this, hwnd](const std::string& exclusion) {
    if (subClassAllFrames_) subClassAllFrames_(hwnd, exclusion);
  });
  monitor.Form_Load();
  session_->frame.Show();
}

void MonitorLogWindow::Unload() {
  if (Hwnd()) SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
}

LRESULT MonitorLogWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = Hwnd();
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
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace zlv
