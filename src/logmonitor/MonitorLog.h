// ManagerMonitorLog: the log monitor window's logic. It follows InfoLog.txt on
// a timer, keeps the window at its minimum size with the grid filling it, and
// remembers its placement in "Log Monitor Options".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/Failure.h"
#include "core/Modules.h"
#include "logmonitor/InfoLogReader.h"
#include "platform/Clock.h"
#include "platform/WindowFrame.h"
#include "settings/ManagerGlobal.h"

namespace zlv {

namespace monitorlog {
inline constexpr const char* kCaption = "Monitoring Linkvane InfoLog.txt";
inline constexpr const char* kSection = "Log Monitor Options";
inline constexpr const char* kRefreshKey = "Refresh Time";
inline constexpr int32_t kMinWidth = 8000;
inline constexpr int32_t kMinHeight = 2000;
inline constexpr int32_t kGridMargin = 60;
inline constexpr double kDefaultRefresh = 500;
inline constexpr double kMinRefresh = 50;
inline constexpr double kMaxRefresh = 65000;
// Opened at its minimum size until a placement is saved.
inline constexpr PlacementScheme kPlacement{kSection, true, kMinWidth, kMinHeight};
}  // namespace monitorlog

// What the window offers its logic besides the frame, the grid and the timer.
class MonitorLogForm {
 public:
  virtual ~MonitorLogForm() = default;
  // The inner area, twips.
  virtual int32_t ScaleWidth() = 0;
  virtual int32_t ScaleHeight() = 0;
  // Painting of the window, switched off around each size change the resize
  // rule enforces so the window is painted once, at its final size.
  virtual void SetRedraw(bool on) = 0;
  virtual void MoveGrid(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
};

struct MonitorLogParts {
  WindowFrame& frame;
  MonitorLogForm& form;
  LogGridSetup& gridLog;
  Timer& timer1;
  Screen& screen;
  LogFileSource& logFile;
};

class MonitorLog {
 public:
  // The theme support's SubClassAllFrames/UnSubClassAllFrames for this window,
  // given the exclusion name.
  using FrameHook = std::function<void(const std::string& exclusion)>;

  MonitorLog(const MonitorLogParts& parts, ManagerGlobal& settings, std::string settingsFile,
             std::string appFolder);

  void Form_Initialize(const FrameHook& subClassAllFrames);
  void Form_Load();
  void Form_Resize();
  void Form_Unload(bool& cancel);
  void Form_Terminate(const FrameHook& unSubClassAllFrames);
  void Timer1_Timer();

  void InitGrid();
  void LoadSettings();
  void SaveSettings();

  int32_t LogGetLatest(const int32_t& currentLen, LogLines& messages, bool& bNewData) {
    return reader_.LogGetLatest(currentLen, messages, bNewData);
  }
  int32_t LogFill(LogGrid& vsFlex, const int32_t& currentLog) {
    return reader_.LogFill(vsFlex, currentLog);
  }

  const std::string& LogFilePath() const { return reader_.LogFilePath; }
  int32_t LastLogLength() const { return lastLogLength_; }

 private:
  WindowFrame& frame_;
  MonitorLogForm& form_;
  LogGridSetup& gridLog_;
  Timer& timer1_;
  Screen& screen_;
  ManagerGlobal& settings_;
  Module module_;
  std::string settingsFile_;
  std::string appFolder_;
  InfoLogReader reader_;
  int32_t lastLogLength_ = 0;
  bool resizing_ = false;
};

}  // namespace zlv
