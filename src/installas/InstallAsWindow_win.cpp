#include "installas/InstallAsWindow_win.h"

#include <commctrl.h>

#include "platform/Win32Error_win.h"
#include "resource.h"

namespace zlv {

namespace {

constexpr const char* kNote =
    "Normally the service uses the Local System account. This allows it to interact with the "
    "Desktop. To access remote UNC folders, you will need to specify an alternative account "
    "below. Use the format: Domain\\Username or .\\Username for local users.";
using namespace installas_id;

constexpr ChildControl Box(int id, const char* name, int32_t top, DWORD style, const char* tip) {
  return {.className = "EDIT",
          .id = id,
          .at = {2100, top, 2325, 345},
          .style = WS_TABSTOP | ES_AUTOHSCROLL | style,
          .exStyle = WS_EX_CLIENTEDGE,
          .name = name,
          .tooltip = tip};
}
constexpr ChildControl Push(const char* text, int id, const char* name, int32_t left) {
  return {.className = "BUTTON",
          .text = text,
          .id = id,
          .at = {left, 2910, 1140, 390},
          .style = WS_TABSTOP | BS_PUSHBUTTON,
          .name = name};
}
constexpr ChildControl Label(const char* text, int id, TwipsRect at) {
  return {.className = "STATIC", .text = text, .id = id, .at = at, .name = "Label1"};
}

// In tab order. The note sits inside the frame as a sibling placed over it,
// as group boxes do not host children.
constexpr ChildControl kControls[] = {
    Box(kUsername, "txtUsername", 1950, 0, "Use Domain\\Username or .\\Username for local users."),
    Box(kPassword, "txtPassword", 2430, ES_PASSWORD, nullptr),
    Push("OK", kOK, "cmdOK", 2100),
    Push("Cancel", kCancel, "cmdCancel", 3270),
    {.className = "BUTTON",
     .text = "Please note:",
     .id = kFrame,
     .at = {60, 60, 4395, 1725},
     .style = BS_GROUPBOX,
     .name = "Frame1",
     .bold = true},
    Label("Username", kLabelUsername, {90, 2010, 1755, 375}),
    Label("Password", kLabelPassword, {90, 2490, 1755, 375}),
    Label(kNote, kLabelNote, {60 + 120, 60 + 270, 4185, 1365}),
};

}  // namespace

Win32InstallAsWindow::~Win32InstallAsWindow() {
  Unload();
}

void Win32InstallAsWindow::Build(InstallAsEvents& events) {
  if (Hwnd()) return;
  events_ = &events;
  CreateFromDesign({.className = "ZlvInstallAsDialog",
                    .caption = kInstallAsTitle.data(),
                    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                    .exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                    .clientWidth = 4440,
                    .clientHeight = 3330,
                    .iconId = IDI_INSTALLAS,
                    .owner = owner_});
  try {
    AddChildren(kControls);
  } catch (...) {
    Unload();
    throw;
  }
  username_ = GetDlgItem(Hwnd(), kUsername);
  password_ = GetDlgItem(Hwnd(), kPassword);
  frame_ = GetDlgItem(Hwnd(), kFrame);
  // Version 6 edit boxes default to a bullet; the dialog shows asterisks.
  SendMessageA(password_, EM_SETPASSWORDCHAR, '*', 0);
  CentreOverOwner();
}

void Win32InstallAsWindow::CentreOverOwner() {
  // Over a visible owner, otherwise over the work area.
  RECT around{};
  if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) {
    GetWindowRect(owner_, &around);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
  }
  RECT own{};
  GetWindowRect(Hwnd(), &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(Hwnd(), nullptr, around.left + ((around.right - around.left) - width) / 2,
               around.top + ((around.bottom - around.top) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32InstallAsWindow::RunModal() {
  if (!Hwnd()) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
  if (IsWindowVisible(Hwnd())) Raise(400, "Form already displayed; can't show modally");

  if (owner_ && IsWindowEnabled(owner_)) {
    EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
  SetFocus(lastFocus_ && IsChild(Hwnd(), lastFocus_) ? lastFocus_ : username_);

  MSG msg;
  while (Hwnd() && IsWindowVisible(Hwnd()) && !FailureCarried()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the dialog and let the main loop see the quit.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (PreTranslate(msg)) continue;
    if (Hwnd() && IsDialogMessageA(Hwnd(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (Hwnd() && IsWindowVisible(Hwnd())) Hide();
  EndModal();
  RethrowCarriedFailure();
}

bool Win32InstallAsWindow::PreTranslate(MSG& msg) {
  if (!Hwnd() || (msg.hwnd != username_ && msg.hwnd != password_) || !events_) return false;
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
  if (!Hwnd()) return;
  const HWND focus = GetFocus();
  if (focus && IsChild(Hwnd(), focus)) lastFocus_ = focus;
  // The owner is enabled first so that it, not some other program, is
  // activated when the dialog disappears.
  EndModal();
  ShowWindow(Hwnd(), SW_HIDE);
}

void Win32InstallAsWindow::Unload() {
  EndModal();
  Destroy();
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

void Win32InstallAsWindow::OnGone() {
  username_ = password_ = frame_ = lastFocus_ = nullptr;
}

LRESULT Win32InstallAsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && events_) {
        if (LOWORD(wParam) == kOK) {
          events_->cmdOK_Click();
          return 0;
        }
        if (LOWORD(wParam) == kCancel) {
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
  return Default(message, wParam, lParam);
}

}  // namespace zlv
