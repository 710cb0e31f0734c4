#include "installas/InstallAsWindow_win.h"

#include <commctrl.h>

// The library that holds this file is built without the resource folder on
// its include path; the ids are shared with the program's resource script.
#include "platform/Win32Error_win.h"
#include "resource.h"
#include "theme/XPTheme_win.h"

namespace zlv {

namespace {

constexpr const char* kClassName = "ZlvInstallAsDialog";
constexpr const char* kTooltip = "Use Domain\\Username or .\\Username for local users.";
constexpr const char* kNote =
    "Normally the service uses the Local System account. This allows it to interact with the "
    "Desktop. To access remote UNC folders, you will need to specify an alternative account "
    "below. Use the format: Domain\\Username or .\\Username for local users.";
constexpr int kClientWidth = 4440;
constexpr int kClientHeight = 3330;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

void RegisterDialogClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kClassName, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc)) RaiseLastError("RegisterClassEx");
}

// MS Sans Serif 8.25 pt; the system maps it to its nearest face when absent.
HFONT DialogFont(int dpiY, bool bold) {
  return CreateFontA(-MulDiv(825, dpiY, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

}  // namespace

Win32InstallAsWindow::~Win32InstallAsWindow() {
  Unload();
}

void Win32InstallAsWindow::Build(InstallAsEvents& events) {
  if (hwnd_) return;
  events_ = &events;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterDialogClass(instance, &WndProc);

  dpi_ = Dpi::OfScreen();
  RECT frame{0, 0, dpi_.ToPixelsX(kClientWidth), dpi_.ToPixelsY(kClientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  // Centred over a visible owner, otherwise over the work area.
  RECT around{};
  if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) {
    GetWindowRect(owner_, &around);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int left = around.left + ((around.right - around.left) - width) / 2;
  const int top = around.top + ((around.bottom - around.top) - height) / 2;

  const HWND created =
      CreateWindowExA(kExStyle, kClassName, std::string(kInstallAsTitle).c_str(), kStyle, left, top,
                      width, height, owner_, nullptr, instance, this);
  if (!created) RaiseLastError("CreateWindowEx");

  font_ = DialogFont(dpi_.y, false);
  boldFont_ = DialogFont(dpi_.y, true);

  // Created in tab order: child windows keep their creation order.
  using namespace installas_id;
  username_ = AddControl("EDIT", "txtUsername", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                         kUsername, 2100, 1950, 2325, 345, font_);
  password_ = AddControl("EDIT", "txtPassword", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD,
                         WS_EX_CLIENTEDGE, kPassword, 2100, 2430, 2325, 345, font_);
  // Version 6 edit boxes default to a bullet; the dialog shows asterisks.
  SendMessageA(password_, EM_SETPASSWORDCHAR, '*', 0);
  AddControl("BUTTON", "cmdOK", "OK", WS_TABSTOP | BS_PUSHBUTTON, 0, kOK, 2100, 2910, 1140, 390,
             font_);
  AddControl("BUTTON", "cmdCancel", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kCancel, 3270, 2910,
             1140, 390, font_);
  frame_ = AddControl("BUTTON", "Frame1", "Please note:", BS_GROUPBOX, 0, kFrame, 60, 60, 4395,
                      1725, boldFont_);
  AddControl("STATIC", "Label1", "Username", SS_LEFT, 0, kLabelUsername, 90, 2010, 1755, 375,
             font_);
  AddControl("STATIC", "Label1", "Password", SS_LEFT, 0, kLabelPassword, 90, 2490, 1755, 375,
             font_);
  // Inside the frame: a sibling placed over it, as group boxes do not host children.
  AddControl("STATIC", "Label1", kNote, SS_LEFT, 0, kLabelNote, 60 + 120, 60 + 270, 4185, 1365,
             font_);

  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_INSTALLAS), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  bigIcon_ =
      static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_INSTALLAS), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  if (smallIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  if (bigIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));

  // The tooltip is a help, not a function: without the tooltip class the
  // dialog works the same, so a failure here is not reported.
  if (HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                 nullptr, instance, nullptr)) {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every comctl32 version
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(username_);
    tool.lpszText = const_cast<char*>(kTooltip);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

HWND Win32InstallAsWindow::AddControl(const char* className, const char* name, const char* text,
                                      DWORD style, DWORD exStyle, int id, int left, int top,
                                      int width, int height, HFONT font) {
  const HWND control = CreateWindowExA(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | style, dpi_.ToPixelsX(left),
      dpi_.ToPixelsY(top), dpi_.ToPixelsX(width), dpi_.ToPixelsY(height), hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!control) {
    const DWORD code = GetLastError();
    DestroyWindow(hwnd_);
    RaiseWin32(code, "CreateWindowEx");
  }
  SetControlName(control, name);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void Win32InstallAsWindow::RunModal() {
  if (!hwnd_) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  if (IsWindowVisible(hwnd_)) Raise(400, "Form already displayed; can't show modally");

  if (owner_ && IsWindowEnabled(owner_)) {
    EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(lastFocus_ && IsChild(hwnd_, lastFocus_) ? lastFocus_ : username_);

  MSG msg;
  while (hwnd_ && IsWindowVisible(hwnd_) && !pending_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the dialog and let the main loop see the quit.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (PreTranslate(msg)) continue;
    if (hwnd_ && IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (hwnd_ && IsWindowVisible(hwnd_)) Hide();
  EndModal();
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

bool Win32InstallAsWindow::PreTranslate(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != username_ && msg.hwnd != password_) || !events_) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    // IsDialogMessage would turn Enter into a button press; the boxes take it
    // as a typed character, which their key-press handlers decide on.
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
  }
  if (msg.message != WM_CHAR || msg.wParam > 0xFF) return false;
  auto keyAscii = static_cast<int16_t>(msg.wParam);
  if (msg.hwnd == username_) {
    events_->txtUsername_KeyPress(keyAscii);
  } else {
    events_->txtPassword_KeyPress(keyAscii);
  }
  if (keyAscii == 0) return true;
  msg.wParam = static_cast<WPARAM>(static_cast<uint8_t>(keyAscii));
  return false;
}

void Win32InstallAsWindow::Hide() {
  if (!hwnd_) return;
  const HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
  // The owner is enabled first so that it, not some other program, is
  // activated when the dialog disappears.
  EndModal();
  ShowWindow(hwnd_, SW_HIDE);
}

void Win32InstallAsWindow::Unload() {
  if (!hwnd_) return;
  EndModal();
  DestroyWindow(hwnd_);
}

void Win32InstallAsWindow::EndModal() {
  if (ownerDisabled_) {
    ownerDisabled_ = false;
    EnableWindow(owner_, TRUE);
  }
}

std::string Win32InstallAsWindow::Text(InstallAsBox box) {
  const HWND control = Box(box);
  if (!control) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

void Win32InstallAsWindow::SetText(InstallAsBox box, const std::string& text) {
  const HWND control = Box(box);
  if (!control) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  if (!SetWindowTextA(control, text.c_str())) RaiseLastError("SetWindowText");
}

void Win32InstallAsWindow::ReleaseResources() {
  if (font_) DeleteObject(font_);
  if (boldFont_) DeleteObject(boldFont_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  font_ = boldFont_ = nullptr;
  smallIcon_ = bigIcon_ = nullptr;
  hwnd_ = username_ = password_ = frame_ = lastFocus_ = nullptr;
}

LRESULT CALLBACK Win32InstallAsWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32InstallAsWindow*>(
        reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32InstallAsWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->ReleaseResources();
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing unwinds through the system: the modal loop rethrows it.
    self->pending_ = std::current_exception();
    return 0;
  }
}

LRESULT Win32InstallAsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!gate_.Admits(message)) return 0;
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && events_) {
        if (LOWORD(wParam) == installas_id::kOK) {
          events_->cmdOK_Click();
          return 0;
        }
        if (LOWORD(wParam) == installas_id::kCancel) {
          events_->cmdCancel_Click();
          return 0;
        }
      }
      break;
    case WM_CTLCOLORSTATIC: {
      const auto hdc = reinterpret_cast<HDC>(wParam);
      if (reinterpret_cast<HWND>(lParam) == frame_) SetTextColor(hdc, RGB(255, 0, 0));
      SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
      // The close box discards the dialog: the next showing builds it afresh.
      Unload();
      return 0;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace zlv
