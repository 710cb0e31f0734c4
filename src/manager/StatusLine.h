// The service's state in the manager window's status bar and the tray tip's
// short state text, polled every five seconds, and the temporary outcome
// texts of the service operations, cleared by a one-second countdown.
#pragma once

#include <cstdint>
#include <string>

#include "core/ErrorReporter.h"
#include "core/Modules.h"
#include "platform/Clock.h"
#include "service/ServiceConfig.h"
#include "service/SvcIt.h"

namespace zlv {

// The manager window's status bar; panels are numbered from 1.
class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void SetPanelText(int32_t panel, const std::string& text) = 0;
  // Paints the bar at once, even in the middle of a long operation.
  virtual void Repaint() = 0;
};

class StatusLine {
 public:
  StatusLine(SvcIt& svc, StatusBar& bar, Timer& showState, Timer& statusDisplayTimer,
             ErrorReporter& reporter)
      : svc_(svc),
        bar_(bar),
        showState_(showState),
        statusDisplayTimer_(statusDisplayTimer),
        module_(reporter, module::kLinkvaneManager) {}

  // Sets both timers' intervals; the poll runs from now on, the countdown
  // only while a temporary text is shown. Called once the window exists.
  void StartTimers();

  void ShowStatus();
  // TTL is a lifetime in one-second ticks; below 1 the text stays.
  void StatusDisplay(const std::string& DisplayText, const int32_t& TTL);
  void ShowState_Timer();
  void StatusDisplayTimer_Timer();

  const std::string& StatusText() const { return statusText_; }
  int32_t DisplayCountdown() const { return displayCountdown_; }

 private:
  SvcIt& svc_;
  StatusBar& bar_;
  Timer& showState_;
  Timer& statusDisplayTimer_;
  Module module_;
  std::string statusText_;
  int32_t displayCountdown_ = 0;
};

}  // namespace zlv
