// The log monitor window: one object for the whole program. The first
// ShowNonModal creates and loads the window; closing it destroys the window,
// and a later ShowNonModal builds it afresh (empty grid, log read anew).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/WindowBase_win.h"
#include "settings/ManagerGlobal.h"

namespace zlv {

class MonitorLogWindow final : public WindowBase {
 public:
  // The theme support's SubClassAllFrames/UnSubClassAllFrames, given the
  // window and the exclusion name.
  using FrameHook = std::function<void(HWND window, const std::string& exclusion)>;

  static constexpr UINT_PTR kTimer1 = 1;
  static constexpr int kGridLogId = 100;

  MonitorLogWindow(ManagerGlobal& settings, std::string settingsFile, std::string appFolder,
                   const UiGate& gate);
  MonitorLogWindow(const MonitorLogWindow&) = delete;
  MonitorLogWindow& operator=(const MonitorLogWindow&) = delete;
  ~MonitorLogWindow() override;

  void SetFrameHooks(FrameHook subClassAllFrames, FrameHook unSubClassAllFrames);

  // Shows the window without an owner; an open window is only brought forward.
  void ShowNonModal();
  // Closes the window as the user would (its placement is saved); nothing when closed.
  void Unload();

 private:
  struct Session;

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnGone() override;
  void Create();

  ManagerGlobal& settings_;
  std::string settingsFile_;
  std::string appFolder_;
  FrameHook subClassAllFrames_;
  FrameHook unSubClassAllFrames_;
  std::unique_ptr<Session> session_;
};

}  // namespace zlv
