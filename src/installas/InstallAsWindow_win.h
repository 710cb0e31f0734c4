// The login dialog's window: a fixed dialog frame over the InstallAs handlers.
#pragma once

#include <windows.h>

#include "installas/InstallAs.h"
#include "platform/WindowBase_win.h"

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

class Win32InstallAsWindow final : public WindowBase, public InstallAsWindow {
 public:
  // owner: the window disabled while the dialog is shown modally (may be null).
  Win32InstallAsWindow(HWND owner, const UiGate& gate) : WindowBase(gate), owner_(owner) {}
  ~Win32InstallAsWindow() override;

  void Build(InstallAsEvents& events) override;
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(Hwnd()); }
  void RunModal() override;
  void Hide() override;
  // Destroys the window, as its close box does; nothing when it is not built.
  void Unload();
  std::string Text(InstallAsBox box) override;
  void SetText(InstallAsBox box, const std::string& text) override;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnGone() override;
  bool PreTranslate(MSG& msg);
  void CentreOverOwner();
  void EndModal();
  HWND Box(InstallAsBox box) const {
    return box == InstallAsBox::kUsername ? username_ : password_;
  }

  HWND owner_;
  HWND username_ = nullptr;
  HWND password_ = nullptr;
  HWND frame_ = nullptr;
  HWND lastFocus_ = nullptr;
  InstallAsEvents* events_ = nullptr;
  bool ownerDisabled_ = false;
};

}  // namespace zlv
