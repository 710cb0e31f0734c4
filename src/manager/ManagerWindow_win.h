// The manager window on Win32: nine buttons, the icon picture, the status bar,
// the tray pop-up menu, the tray icon and the window's timers.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "manager/LinkvaneManager.h"
#include "platform/WindowBase_win.h"

namespace zlv {

class ManagerWindow final : public WindowBase, public ManagerView, public TrayArea {
 public:
  explicit ManagerWindow(const UiGate& gate) : WindowBase(gate) {}

  // Creates the (hidden) window; the logic is attached before its load step runs.
  void Create();
  void Attach(LinkvaneManager& logic) { logic_ = &logic; }
  // Shows the window in the state the load step left, or sends it to the tray.
  void ShowAfterLoad();
  HICON TrayIcon() const { return trayIcon_.get(); }
  int32_t TwipsPerPixel() const;

  // The system's shield on the buttons of commands that ask for rights.
  void SetShields(const std::vector<int16_t>& commands);
  // Panel 1 of the status bar.
  void SetStatusText(const std::string& text);
  void RepaintStatusBar() { UpdateWindow(statusBar_); }
  // Where the WM_TIMER of a timer of this window goes.
  void RouteTimer(UINT_PTR id, std::function<void()> tick) { timers_[id] = std::move(tick); }

  // ManagerView: the frame's placement and state are those of any top-level window.
  int32_t Left() override { return frame_->Left(); }
  int32_t Top() override { return frame_->Top(); }
  int32_t Width() override { return frame_->Width(); }
  int32_t Height() override { return frame_->Height(); }
  void SetLeft(int32_t twips) override { frame_->SetLeft(twips); }
  void SetTop(int32_t twips) override { frame_->SetTop(twips); }
  void SetWidth(int32_t twips) override { frame_->SetWidth(twips); }
  void SetHeight(int32_t twips) override { frame_->SetHeight(twips); }
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override {
    frame_->Move(left, top, width, height);
  }
  int32_t WindowState() override { return frame_->WindowState(); }
  void SetWindowState(int32_t state) override { frame_->SetWindowState(state); }
  uintptr_t Handle() override { return reinterpret_cast<uintptr_t>(Hwnd()); }
  std::string Caption() override;
  bool Visible() override { return IsWindowVisible(Hwnd()) != FALSE; }
  void Show() override;
  void Hide() override { frame_->Hide(); }
  void Refresh() override;
  void SetShowInTaskbar(bool show) override;
  void SetBusyPointer(bool busy) override;
  void PopupMenu() override;
  void SetForeground() override { SetForegroundWindow(Hwnd()); }
  void Unload() override { SendMessageA(Hwnd(), WM_CLOSE, 0, 0); }
  bool ScaleInPixels() override { return false; }

  // TrayArea
  void NotifyIcon(int32_t operation, const TrayIconRecord& record) override;

 private:
  bool Admits(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreatePopupMenus();
  void OnCommand(WORD id);

  HWND statusBar_ = nullptr;
  ScopedMenu popup_;
  ScopedIcon trayIcon_;
  std::unique_ptr<HwndFrame> frame_;
  UINT taskbarCreated_ = 0;
  bool busy_ = false;
  LinkvaneManager* logic_ = nullptr;
  std::map<UINT_PTR, std::function<void()>> timers_;
};

}  // namespace zlv
