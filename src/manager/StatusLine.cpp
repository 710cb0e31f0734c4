#include "manager/StatusLine.h"

#include <limits>

namespace zlv {

namespace {
constexpr int32_t kPollInterval = 5000;
constexpr int32_t kCountdownInterval = 1000;
constexpr int32_t kStatusPanel = 1;
}  // namespace

void StatusLine::StartTimers() {
  Procedure p(module_, "StartTimers");
  p.Run([&] {
    p.At(10);
    showState_.SetInterval(kPollInterval);
    p.At(20);
    statusDisplayTimer_.SetInterval(kCountdownInterval);
    p.At(30);
    statusDisplayTimer_.SetEnabled(false);
    p.At(40);
    showState_.SetEnabled(true);
  });
}

void StatusLine::ShowStatus() {
  Procedure p(module_, "ShowStatus");
  p.Run([&] {
    p.At(10);
    statusText_ = "Service Unknown";
    // A poll must never end the program: a component that cannot answer
    // leaves "Service Unknown" and the status line as it was.
    bool answered = false;
    bool installed = false;
    p.SkipFailures();
    p.Do(20, [&] { svc_.Option10(2); });
    p.Do(30, [&] { svc_.ServiceName(kServiceName); });
    p.Do(40, [&] {
      installed = svc_.Installed();
      answered = true;
    });
    if (!answered) return;
    if (installed) {
      p.Do(50, [&] {
        const bool running = svc_.Running();
        StatusDisplay(running ? "Service is Running" : "Service is Stopped", 0);
        statusText_ = running ? "Service Running" : "Service Stopped";
      });
    } else {
      p.Do(60, [&] {
        StatusDisplay("Service is not installed", 0);
        statusText_ = "Service not installed";
      });
    }
  });
}

void StatusLine::StatusDisplay(const std::string& DisplayText, const int32_t& TTL) {
  Procedure p(module_, "StatusDisplay");
  p.Run([&] {
    p.At(10);
    bar_.SetPanelText(kStatusPanel, DisplayText);
    p.At(20);
    bar_.Repaint();
    if (TTL > 0) {
      p.At(30);
      displayCountdown_ = TTL;
      p.At(40);
      statusDisplayTimer_.SetEnabled(true);
      // The poll starts its interval afresh, so an outcome is there to be read
      // for a whole interval; after a long wait the tick missed meanwhile
      // would otherwise replace it the moment it appears.
      p.At(50);
      showState_.SetEnabled(true);
    } else {
      p.At(60);
      statusDisplayTimer_.SetEnabled(false);
    }
  });
}

void StatusLine::ShowState_Timer() {
  module_.Run("ShowState_Timer", 10, [&] { ShowStatus(); });
}

void StatusLine::StatusDisplayTimer_Timer() {
  Procedure p(module_, "StatusDisplayTimer_Timer");
  p.Run([&] {
    p.At(10);
    if (displayCountdown_ == std::numeric_limits<int32_t>::min()) RaiseOverflow();
    displayCountdown_ -= 1;
    if (displayCountdown_ == 0) {
      p.At(20);
      statusDisplayTimer_.SetEnabled(false);
      p.At(30);
      bar_.SetPanelText(kStatusPanel, "");
    }
  });
}

}  // namespace zlv
