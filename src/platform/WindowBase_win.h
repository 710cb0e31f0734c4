// What the program's windows share: one window procedure, each class
// registered once, creation at a client size in twips, children created from a
// table, and the icons and fonts that live as long as the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <type_traits>

#include "platform/UiGate_win.h"
#include "platform/WindowFrame_win.h"

namespace zlv {

// A handle released with its owner.
template <class Handle, auto Release>
struct HandleRelease {
  void operator()(Handle handle) const { Release(handle); }
};
template <class Handle, auto Release>
using Scoped = std::unique_ptr<std::remove_pointer_t<Handle>, HandleRelease<Handle, Release>>;

inline BOOL ReleaseFont(HFONT font) {
  return DeleteObject(font);
}
using ScopedIcon = Scoped<HICON, &DestroyIcon>;
using ScopedFont = Scoped<HFONT, &ReleaseFont>;
using ScopedMenu = Scoped<HMENU, &DestroyMenu>;

// An icon of the program's resources, `size` pixels square; empty when the
// program's file does not hold it.
ScopedIcon LoadProgramIcon(int resourceId, int size);

// Win32 controls have no names of their own: a window names the controls that
// a walk over its children must recognise (the name is a window property).
void SetControlName(HWND control, const char* name);
std::string ControlName(HWND control);

struct TwipsRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// One row of a window's table of children; tab order is the table's order.
struct ChildControl {
  const char* className = "";
  const char* text = "";
  int id = 0;
  TwipsRect at;
  DWORD style = 0;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle = 0;
  const char* name = nullptr;     // see SetControlName
  const char* tooltip = nullptr;  // shown while the pointer rests on it
  bool bold = false;              // the window's font, or its bold face
};

struct WindowDesign {
  const char* className = "";
  const char* caption = "";
  DWORD style = 0;
  DWORD exStyle = 0;
  int32_t clientWidth = 0;  // twips
  int32_t clientHeight = 0;
  int iconId = 0;  // the caption's icons, from the program's resources; 0 for none
  HWND owner = nullptr;
};

// A failure raised inside a window's handler must not unwind through the
// system's frames: it is carried to the message loop that dispatched the
// message, which rethrows it there so that it is reported like any other.
bool FailureCarried();
void RethrowCarriedFailure();

class WindowBase {
 public:
  explicit WindowBase(const UiGate& gate) : gate_(gate) {}
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Hwnd() const { return hwnd_; }
  const Dpi& Scale() const { return dpi_; }

 protected:
  // Registers the class on its first use and creates the window, hidden, with
  // its client area at the design's size; the system chooses where.
  void CreateFromDesign(const WindowDesign& design);
  void AddChildren(std::span<const ChildControl> children);
  HWND AddChild(const ChildControl& child);
  // Destroys the window while the derived object still answers its messages.
  void Destroy();

  // Whether the message may reach OnMessage now: by default the gate decides.
  virtual bool Admits(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The window has gone; what lived only as long as it ends here.
  virtual void OnGone() {}
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
  }

  const UiGate& gate_;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void AddTooltip(HWND control, const char* text);

  HWND hwnd_ = nullptr;
  HWND tooltips_ = nullptr;
  Dpi dpi_;
  ScopedFont font_;
  ScopedFont boldFont_;  // made for the first bold child
  ScopedIcon bigIcon_;
  ScopedIcon smallIcon_;
};

}  // namespace zlv
