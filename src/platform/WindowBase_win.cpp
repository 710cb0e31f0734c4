#include "platform/WindowBase_win.h"

#include <commctrl.h>

#include <exception>

#include "platform/Win32Error_win.h"

namespace zlv {
namespace {

constexpr const char* kNameProp = "ZlvControlName";

// One user-interface thread: the first failure is the one reported.
std::exception_ptr carried;

void RegisterOnce(HINSTANCE instance, const char* className, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, className, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  if (!RegisterClassExA(&wc)) RaiseLastError("RegisterClassEx");
}

// The designed font of every window, MS Sans Serif 8.25 pt at the screen's DPI;
// the system maps it to its nearest face where it is absent.
ScopedFont CreateFormFont(const Dpi& dpi, bool bold) {
  return ScopedFont(CreateFontA(-MulDiv(825, dpi.y, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                                FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                "MS Sans Serif"));
}

}  // namespace

ScopedIcon LoadProgramIcon(int resourceId, int size) {
  return ScopedIcon(static_cast<HICON>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, size, size, 0)));
}

void SetControlName(HWND control, const char* name) {
  // A local atom holds the text for as long as the process runs; names are
  // few and fixed, so the table does not grow.
  const ATOM atom = AddAtomA(name);
  SetPropA(control, kNameProp, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(atom)));
}

std::string ControlName(HWND control) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(control, kNameProp)));
  if (atom == 0) return {};
  char name[256] = {};
  const UINT length = GetAtomNameA(atom, name, sizeof name);
  return std::string(name, length);
}

bool FailureCarried() {
  return carried != nullptr;
}

void RethrowCarriedFailure() {
  if (carried) std::rethrow_exception(std::exchange(carried, nullptr));
}

WindowBase::~WindowBase() {
  // The derived window has gone already: the system's default handling ends it.
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void WindowBase::CreateFromDesign(const WindowDesign& design) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterOnce(instance, design.className, &WindowBase::Procedure);
  dpi_ = Dpi::OfScreen();
  font_ = CreateFormFont(dpi_, false);
  RECT outer{0, 0, dpi_.ToPixelsX(design.clientWidth), dpi_.ToPixelsY(design.clientHeight)};
  AdjustWindowRectEx(&outer, design.style, FALSE, design.exStyle);
  if (!CreateWindowExA(design.exStyle, design.className, design.caption, design.style,
                       CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                       outer.bottom - outer.top, design.owner, nullptr, instance, this)) {
    RethrowCarriedFailure();
    RaiseLastError("CreateWindowEx");
  }
  if (design.iconId == 0) return;
  bigIcon_ = LoadProgramIcon(design.iconId, GetSystemMetrics(SM_CXICON));
  smallIcon_ = LoadProgramIcon(design.iconId, GetSystemMetrics(SM_CXSMICON));
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void WindowBase::AddChildren(std::span<const ChildControl> children) {
  for (const ChildControl& child : children) AddChild(child);
}

HWND WindowBase::AddChild(const ChildControl& child) {
  const HWND control = CreateWindowExA(
      child.exStyle, child.className, child.text, WS_CHILD | WS_VISIBLE | child.style,
      dpi_.ToPixelsX(child.at.left), dpi_.ToPixelsY(child.at.top), dpi_.ToPixelsX(child.at.width),
      dpi_.ToPixelsY(child.at.height), hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), GetModuleHandleA(nullptr), nullptr);
  if (!control) RaiseLastError("CreateWindowEx");
  if (child.name) SetControlName(control, child.name);
  if (child.bold && !boldFont_.get()) boldFont_ = CreateFormFont(dpi_, true);
  SendMessageA(control, WM_SETFONT,
               reinterpret_cast<WPARAM>(child.bold ? boldFont_.get() : font_.get()), FALSE);
  if (child.tooltip) AddTooltip(control, child.tooltip);
  return control;
}

void WindowBase::AddTooltip(HWND control, const char* text) {
  // A tooltip is a help, not a function: without the tooltip class the window
  // works the same, so a failure here is not reported.
  if (!tooltips_) {
    tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tooltips_) return;
  }
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every comctl32 version
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void WindowBase::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool WindowBase::Admits(UINT message, WPARAM, LPARAM) {
  return gate_.Admits(message);
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = self->tooltips_ = nullptr;
    self->bigIcon_.reset();
    self->smallIcon_.reset();
    self->font_.reset();
    self->boldFont_.reset();
    self->OnGone();
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  try {
    if (!self->Admits(message, wParam, lParam)) return 0;
    return self->OnMessage(message, wParam, lParam);
  } catch (...) {
    if (!carried) carried = std::current_exception();
    return 0;
  }
}

}  // namespace zlv
