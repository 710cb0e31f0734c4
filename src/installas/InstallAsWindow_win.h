// The login dialog's window: a fixed dialog frame over the InstallAs handlers.
#pragma once

#include <windows.h>

#include <exception>

#include "installas/InstallAs.h"
#include "platform/UiGate_win.h"
#include "platform/WindowFrame_win.h"

namespace zlv {

// Control ids; OK and Cancel use the system's ids so the dialog keys find them.
namespace installas_id {
constexpr int kUsername = 1001;
constexpr int kPassword = 1002;
constexpr int kOK = IDOK;
constexpr int kCancel = IDCANCEL;
constexpr int kFrame = 1003;
constexpr int kLabelUsername = 1010;
constexpr int kLabelPassword = 1011;
constexpr int kLabelNote = 1012;
}  // namespace installas_id

class Win32InstallAsWindow final : public InstallAsWindow {
 public:
  // owner: the window disabled while the dialog is shown modally (may be null).
  Win32InstallAsWindow(HWND owner, const UiGate& gate) : owner_(owner), gate_(gate) {}
  ~Win32InstallAsWindow() override;
  Win32InstallAsWindow(const Win32InstallAsWindow&) = delete;
  Win32InstallAsWindow& operator=(const Win32InstallAsWindow&) = delete;

  void Build(InstallAsEvents& events) override;
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void RunModal() override;
  void Hide() override;
  // Destroys the window, as its close box does; nothing when it is not built.
  void Unload();
  std::string Text(InstallAsBox box) override;
  void SetText(InstallAsBox box, const std::string& text) override;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND AddControl(const char* className, const char* name, const char* text, DWORD style,
                  DWORD exStyle, int id, int left, int top, int width, int height, HFONT font);
  bool PreTranslate(MSG& msg);
  void EndModal();
  void ReleaseResources();
  HWND Box(InstallAsBox box) const {
    return box == InstallAsBox::kUsername ? username_ : password_;
  }

  HWND owner_;
  const UiGate& gate_;
  HWND hwnd_ = nullptr;
  HWND username_ = nullptr;
  HWND password_ = nullptr;
  HWND frame_ = nullptr;
  HWND lastFocus_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HICON smallIcon_ = nullptr;
  HICON bigIcon_ = nullptr;
  Dpi dpi_;
  InstallAsEvents* events_ = nullptr;
  bool ownerDisabled_ = false;
  // A failure inside a message handler, carried out of the modal loop.
  std::exception_ptr pending_;
};

}  // namespace zlv
