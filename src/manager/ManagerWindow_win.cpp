#include "manager/ManagerWindow_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <array>
#include <cstddef>
#include <cstring>

#include "platform/Win32Error_win.h"
#include "resource.h"

namespace zlv {
namespace {

constexpr char kClassName[] = "ZemloLinkvaneManager";
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

struct ButtonLayout {
  int16_t index;
  const char* caption;
  int32_t left, top, width, height;
  const char* tooltip;
};

// In tab order.
constexpr std::array<ButtonLayout, 9> kButtons{{
    {cmd::kInstall, "Install", 90, 90, 972, 375, "Install the service using the LocalSystem login"},
    {cmd::kInstallAs, "Install As", 90, 540, 972, 375,
     "Install the service using an alternative login"},
    {cmd::kUninstall, "Uninstall", 90, 990, 972, 375, nullptr},
    {cmd::kStart, "Start", 1140, 90, 972, 375, nullptr},
    {cmd::kStop, "Stop", 1140, 540, 972, 375, nullptr},
    {cmd::kShow, "Show", 2220, 90, 972, 375, nullptr},
    {cmd::kHide, "Hide", 3240, 90, 972, 375, nullptr},
    {cmd::kRemote, "Remote access", 2220, 540, 1995, 375,
     "Starts the program in Standard (non service mode)"},
    {cmd::kMonitorLog, "Monitor InfoLog file", 2220, 990, 1995, 375, nullptr},
}};

// Pop-up menu entries, routed to the logic's menu handlers.
enum MenuId : WORD {
  kMnuMgrShow = 200,
  kMnuMgrClose,
  kMnuSvcStart,
  kMnuSvcStop,
  kMnuSvcInstall,
  kMnuSvcInstallAs,
  kMnuSvcUninstall,
  kMnuMonitorLogFile,
  kMnuSvcConfig,
  kMnuSvcHide,
  kMnuSvcShow,
};

static_assert(sizeof(TrayIconRecord) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(TrayIconRecord, tip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(offsetof(TrayIconRecord, icon) == offsetof(NOTIFYICONDATAA, hIcon));

}  // namespace

ManagerWindow::ManagerWindow(const UiGate& gate) : gate_(gate) {}

ManagerWindow::~ManagerWindow() {
  if (popup_) DestroyMenu(popup_);
  if (font_) DeleteObject(font_);
}

void ManagerWindow::Create(HINSTANCE instance) {
  bigIcon_ =
      static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MANAGER), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MANAGER), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  trayIcon_ =
      static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 16, 16, 0));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = bigIcon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    RaiseLastError("RegisterClassEx");
  }

  dpi_ = Dpi::OfScreen();

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT rect{0, 0, dpi_.ToPixelsX(kClientWidth), dpi_.ToPixelsY(kClientHeight)};
  AdjustWindowRectEx(&rect, style, FALSE, WS_EX_APPWINDOW);
  hwnd_ = CreateWindowExA(WS_EX_APPWINDOW, kClassName, kManagerCaption, style, CW_USEDEFAULT,
                          CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                          nullptr, instance, this);
  if (!hwnd_) RaiseLastError("CreateWindowEx");
  frame_ = std::make_unique<HwndFrame>(hwnd_);
  // Explorer broadcasts this when it restarts; a manager in the tray must re-add its icon.
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  CreateControls();
}

void ManagerWindow::CreateControls() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = CreateFontIndirectA(&metrics.lfMessageFont);
  const auto px = [&](int32_t twips) { return dpi_.ToPixelsX(twips); };
  HINSTANCE instance = GetModuleHandleA(nullptr);

  tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                              nullptr, instance, nullptr);
  for (const ButtonLayout& b : kButtons) {
    HWND button = CreateWindowExA(
        0, "BUTTON", b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, px(b.left),
        px(b.top), px(b.width), px(b.height), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + b.index)), instance, nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (b.tooltip && tooltips_) {
      TOOLINFOA tool{};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = hwnd_;
      tool.uId = reinterpret_cast<UINT_PTR>(button);
      tool.lpszText = const_cast<char*>(b.tooltip);
      SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  HWND picture = CreateWindowExA(
      0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, px(1770), px(1050),
      px(270), px(270), hwnd_, reinterpret_cast<HMENU>(kPictureId), instance, nullptr);
  SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(trayIcon_), 0);

  // Placed like the buttons, not at the height the status bar would choose for its font.
  statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN, 0,
                               dpi_.ToPixelsY(kStatusBarTop), px(kClientWidth),
                               dpi_.ToPixelsY(kClientHeight - kStatusBarTop), hwnd_,
                               reinterpret_cast<HMENU>(kStatusBarId), instance, nullptr);
  if (!statusBar_) RaiseLastError("CreateWindowEx(status bar)");
  SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  int parts[] = {-1};
  SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

  popup_ = CreatePopupMenu();
  HMENU service = CreatePopupMenu();
  AppendMenuA(popup_, MF_STRING, kMnuMgrShow, "Show Manager");
  AppendMenuA(popup_, MF_STRING, kMnuMgrClose, "Close Manager");
  AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup_, MF_POPUP, reinterpret_cast<UINT_PTR>(service), "Service");
  AppendMenuA(service, MF_STRING, kMnuSvcStart, "Start Service");
  AppendMenuA(service, MF_STRING, kMnuSvcStop, "Stop Service");
  AppendMenuA(service, MF_STRING, kMnuSvcInstall, "Install Service");
  AppendMenuA(service, MF_STRING, kMnuSvcInstallAs, "Install Service As");
  AppendMenuA(service, MF_STRING, kMnuSvcUninstall, "Uninstall Service");
  AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup_, MF_STRING, kMnuMonitorLogFile, "Monitor InfoLog");
  AppendMenuA(popup_, MF_STRING, kMnuSvcConfig, "Remote Access");
  AppendMenuA(popup_, MF_STRING, kMnuSvcHide, "Hide Service");
  AppendMenuA(popup_, MF_STRING, kMnuSvcShow, "Show Service");
}

int32_t ManagerWindow::TwipsPerPixel() const {
  return dpi_.ToTwipsX(1);
}

void ManagerWindow::SetShields(const std::vector<int16_t>& commands) {
  for (int16_t command : commands)
    SendDlgItemMessageA(hwnd_, kFirstButtonId + command, kButtonSetShield, 0, TRUE);
}

void ManagerWindow::SetStatusText(const std::string& text) {
  SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ManagerWindow::Caption() {
  char text[256] = {};
  GetWindowTextA(hwnd_, text, sizeof text);
  return text;
}

void ManagerWindow::Show() {
  if (!IsWindow(hwnd_)) Raise(err::kObjectNotSet, "Object variable not set");
  frame_->Show();
  UpdateWindow(hwnd_);
}

void ManagerWindow::Refresh() {
  InvalidateRect(hwnd_, nullptr, TRUE);
  UpdateWindow(hwnd_);
}

void ManagerWindow::SetShowInTaskbar(bool show) {
  // A tool window has no taskbar button; an app window always has one.
  LONG_PTR ex = GetWindowLongPtrA(hwnd_, GWL_EXSTYLE);
  ex = show ? (ex | WS_EX_APPWINDOW) & ~WS_EX_TOOLWINDOW
            : (ex | WS_EX_TOOLWINDOW) & ~WS_EX_APPWINDOW;
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, ex);
}

void ManagerWindow::SetBusyPointer(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void ManagerWindow::PopupMenu() {
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would stay open when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(popup_, 0, at.x, at.y, 0, hwnd_, nullptr);
  PostMessageA(hwnd_, WM_NULL, 0, 0);
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
  switch (id) {
    case kMnuMgrShow:
      logic_->MnuMgrShow_Click();
      break;
    case kMnuMgrClose:
      logic_->MnuMgrClose_Click();
      break;
    case kMnuSvcStart:
      logic_->MnuSvcStart_Click();
      break;
    case kMnuSvcStop:
      logic_->MnuSvcStop_Click();
      break;
    case kMnuSvcInstall:
      logic_->MnuSvcInstall_Click();
      break;
    case kMnuSvcInstallAs:
      logic_->MnuSvcInstallAs_Click();
      break;
    case kMnuSvcUninstall:
      logic_->MnuSvcUninstall_Click();
      break;
    case kMnuMonitorLogFile:
      logic_->MnuMonitorLogFile_Click();
      break;
    case kMnuSvcConfig:
      logic_->MnuSvcConfig_Click();
      break;
    case kMnuSvcHide:
      logic_->MnuSvcHide_Click();
      break;
    case kMnuSvcShow:
      logic_->MnuSvcShow_Click();
      break;
    default:
      break;
  }
}

LRESULT CALLBACK ManagerWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ManagerWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || !self->logic_) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT ManagerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // The tray sends its callbacks, so they arrive inside a service call's wait;
  // they are held as a message of the program's own, which waits in the queue
  // for the end of the call, and handled then.
  if (message == WM_MOUSEMOVE && gate_.Busy()) {
    PostMessageA(hwnd_, kHeldTrayCallback, wParam, lParam);
    return 0;
  }
  if (message == kHeldTrayCallback) message = WM_MOUSEMOVE;
  if (!gate_.Admits(message)) return 0;
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
      DestroyWindow(hwnd_);
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
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace zlv
