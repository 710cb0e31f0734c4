#include "manager/ManagerWindow_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstddef>
#include <cstring>
#include <iterator>

#include "platform/Win32Error_win.h"
#include "resource.h"

namespace zlv {
namespace {

constexpr int32_t kClientWidth = 4275;
constexpr int32_t kClientHeight = 1800;
constexpr int32_t kStatusBarTop = 1425;  // down to the client area's bottom: 375 high
constexpr int kFirstButtonId = 100;
constexpr int kPictureId = 120;
constexpr int kStatusBarId = 121;
// Vista's button message, which the Windows XP headers do not name; XP's
// buttons ignore it.
constexpr UINT kButtonSetShield = 0x160C;
constexpr UINT kHeldTrayCallback = WM_APP + 1;

constexpr ChildControl Button(int16_t command, const char* text, int32_t left, int32_t top,
                              int32_t width = 972, const char* tooltip = nullptr) {
  return {.className = "BUTTON",
          .text = text,
          .id = kFirstButtonId + command,
          .at = {left, top, width, 375},
          .style = WS_TABSTOP | BS_PUSHBUTTON,
          .tooltip = tooltip};
}

// In tab order.
constexpr ChildControl kControls[] = {
    Button(cmd::kInstall, "Install", 90, 90, 972,
           "Install the service using the LocalSystem login"),
    Button(cmd::kInstallAs, "Install As", 90, 540, 972,
           "Install the service using an alternative login"),
    Button(cmd::kUninstall, "Uninstall", 90, 990),
    Button(cmd::kStart, "Start", 1140, 90),
    Button(cmd::kStop, "Stop", 1140, 540),
    Button(cmd::kShow, "Show", 2220, 90),
    Button(cmd::kHide, "Hide", 3240, 90),
    Button(cmd::kRemote, "Remote access", 2220, 540, 1995,
           "Starts the program in Standard (non service mode)"),
    Button(cmd::kMonitorLog, "Monitor InfoLog file", 2220, 990, 1995),
    {.className = "STATIC",
     .id = kPictureId,
     .at = {1770, 1050, 270, 270},
     .style = SS_ICON | SS_CENTERIMAGE},
    // Placed like the buttons, not at the height the status bar would choose for its font.
    {.className = STATUSCLASSNAMEA,
     .id = kStatusBarId,
     .at = {0, kStatusBarTop, kClientWidth, kClientHeight - kStatusBarTop},
     .style = CCS_NORESIZE | CCS_NOPARENTALIGN},
};

constexpr WORD kFirstMenuId = 200;
struct MenuEntry {
  const char* text;  // null for a separator
  void (LinkvaneManager::*click)();
  bool inService;  // in the "Service" submenu, which stands where its first entry is
};
// The tray's pop-up menu in the order shown; an entry's id is kFirstMenuId
// plus its place here.
constexpr MenuEntry kMenu[] = {
    {"Show Manager", &LinkvaneManager::MnuMgrShow_Click, false},
    {"Close Manager", &LinkvaneManager::MnuMgrClose_Click, false},
    {nullptr, nullptr, false},
    {"Start Service", &LinkvaneManager::MnuSvcStart_Click, true},
    {"Stop Service", &LinkvaneManager::MnuSvcStop_Click, true},
    {"Install Service", &LinkvaneManager::MnuSvcInstall_Click, true},
    {"Install Service As", &LinkvaneManager::MnuSvcInstallAs_Click, true},
    {"Uninstall Service", &LinkvaneManager::MnuSvcUninstall_Click, true},
    {nullptr, nullptr, false},
    {"Monitor InfoLog", &LinkvaneManager::MnuMonitorLogFile_Click, false},
    {"Remote Access", &LinkvaneManager::MnuSvcConfig_Click, false},
    {"Hide Service", &LinkvaneManager::MnuSvcHide_Click, false},
    {"Show Service", &LinkvaneManager::MnuSvcShow_Click, false},
};

static_assert(sizeof(TrayIconRecord) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(TrayIconRecord, tip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(offsetof(TrayIconRecord, icon) == offsetof(NOTIFYICONDATAA, hIcon));

}  // namespace

void ManagerWindow::Create() {
  CreateFromDesign({.className = "ZemloLinkvaneManager",
                    .caption = kManagerCaption,
                    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                    .exStyle = WS_EX_APPWINDOW,
                    .clientWidth = kClientWidth,
                    .clientHeight = kClientHeight,
                    .iconId = IDI_MANAGER});
  frame_ = std::make_unique<HwndFrame>(Hwnd());
  // Explorer broadcasts this when it restarts; a manager in the tray must re-add its icon.
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  trayIcon_ = LoadProgramIcon(IDI_TRAY, 16);
  AddChildren(kControls);
  SendDlgItemMessageA(Hwnd(), kPictureId, STM_SETICON, reinterpret_cast<WPARAM>(trayIcon_.get()),
                      0);
  statusBar_ = GetDlgItem(Hwnd(), kStatusBarId);
  int parts[] = {-1};
  SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
  CreatePopupMenus();
}

void ManagerWindow::CreatePopupMenus() {
  popup_.reset(CreatePopupMenu());
  HMENU service = nullptr;  // destroyed with the menu that holds it
  for (WORD i = 0; i < std::size(kMenu); ++i) {
    const MenuEntry& entry = kMenu[i];
    if (entry.inService && !service) {
      service = CreatePopupMenu();
      AppendMenuA(popup_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(service), "Service");
    }
    AppendMenuA(entry.inService ? service : popup_.get(), entry.text ? MF_STRING : MF_SEPARATOR,
                kFirstMenuId + i, entry.text);
  }
}

int32_t ManagerWindow::TwipsPerPixel() const {
  return Scale().ToTwipsX(1);
}

void ManagerWindow::SetShields(const std::vector<int16_t>& commands) {
  for (int16_t command : commands)
    SendDlgItemMessageA(Hwnd(), kFirstButtonId + command, kButtonSetShield, 0, TRUE);
}

void ManagerWindow::SetStatusText(const std::string& text) {
  SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ManagerWindow::Caption() {
  char text[256] = {};
  GetWindowTextA(Hwnd(), text, sizeof text);
  return text;
}

void ManagerWindow::Show() {
  if (!IsWindow(Hwnd())) Raise(err::kObjectNotSet, "Object variable not set");
  frame_->Show();
  UpdateWindow(Hwnd());
}

void ManagerWindow::Refresh() {
  InvalidateRect(Hwnd(), nullptr, TRUE);
  UpdateWindow(Hwnd());
}

void ManagerWindow::SetShowInTaskbar(bool show) {
  // A tool window has no taskbar button; an app window always has one.
  LONG_PTR ex = GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE);
  ex = show ? (ex | WS_EX_APPWINDOW) & ~WS_EX_TOOLWINDOW
            : (ex | WS_EX_TOOLWINDOW) & ~WS_EX_APPWINDOW;
  SetWindowLongPtrA(Hwnd(), GWL_EXSTYLE, ex);
}

void ManagerWindow::SetBusyPointer(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void ManagerWindow::PopupMenu() {
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would stay open when the user clicks elsewhere.
  SetForegroundWindow(Hwnd());
  TrackPopupMenu(popup_.get(), 0, at.x, at.y, 0, Hwnd(), nullptr);
  PostMessageA(Hwnd(), WM_NULL, 0, 0);
}

void ManagerWindow::NotifyIcon(int32_t operation, const TrayIconRecord& record) {
  NOTIFYICONDATAA data{};
  std::memcpy(&data, &record, sizeof record);
  Shell_NotifyIconA(static_cast<DWORD>(operation), &data);
}

void ManagerWindow::ShowAfterLoad() {
  if (WindowState() != state::kMinimized) Show();
  // The first resize sends a minimised start straight to the tray.
  logic_->Form_Resize();
}

void ManagerWindow::OnCommand(WORD id) {
  if (id >= kFirstButtonId && id < kFirstButtonId + cmd::kCount) {
    logic_->Cmd_Click(static_cast<int16_t>(id - kFirstButtonId));
    return;
  }
  const size_t entry = id - kFirstMenuId;
  if (id >= kFirstMenuId && entry < std::size(kMenu) && kMenu[entry].click) {
    (logic_->*kMenu[entry].click)();
  }
}

bool ManagerWindow::Admits(UINT message, WPARAM wParam, LPARAM lParam) {
  // The tray sends its callbacks, so they arrive inside a service call's wait;
  // they are held as a message of the program's own, which waits in the queue
  // for the end of the call, and handled then.
  if (message == WM_MOUSEMOVE && gate_.Busy()) {
    PostMessageA(Hwnd(), kHeldTrayCallback, wParam, lParam);
    return false;
  }
  return gate_.Admits(message == kHeldTrayCallback ? WM_MOUSEMOVE : message);
}

LRESULT ManagerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!logic_) return Default(message, wParam, lParam);
  if (message == kHeldTrayCallback) message = WM_MOUSEMOVE;
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER: {
      auto it = timers_.find(wParam);
      if (it != timers_.end() && it->second) it->second();
      return 0;
    }
    case WM_MOUSEMOVE: {
      // Tray callbacks arrive here too, their mouse message in place of X.
      const float tpp = static_cast<float>(TwipsPerPixel());
      logic_->Form_MouseMove(static_cast<int32_t>(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)),
                             0, GET_X_LPARAM(lParam) * tpp, GET_Y_LPARAM(lParam) * tpp);
      return 0;
    }
    case WM_SIZE:
      if (Visible() && wParam != SIZE_MAXHIDE && wParam != SIZE_MAXSHOW) logic_->Form_Resize();
      return 0;
    case WM_SETCURSOR:
      if (busy_ || gate_.Busy()) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      logic_->Form_Unload();
      DestroyWindow(Hwnd());
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends without a close: save what a close would save.
      if (wParam) logic_->Form_Unload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        logic_->TaskbarCreated();
        return 0;
      }
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace zlv
