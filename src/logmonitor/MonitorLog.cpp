#include "logmonitor/MonitorLog.h"

#include <algorithm>

namespace zlv {

using namespace monitorlog;

MonitorLog::MonitorLog(const MonitorLogParts& parts, ManagerGlobal& settings,
                       std::string settingsFile, std::string appFolder)
    : frame_(parts.frame),
      form_(parts.form),
      gridLog_(parts.gridLog),
      timer1_(parts.timer1),
      screen_(parts.screen),
      settings_(settings),
      module_(settings.Reporter(), module::kManagerMonitorLog),
      settingsFile_(std::move(settingsFile)),
      appFolder_(std::move(appFolder)),
      reader_(parts.logFile) {}

void MonitorLog::Form_Initialize(const FrameHook& subClassAllFrames) {
  module_.Run("Form_Initialize", 10, [&] {
    if (subClassAllFrames) subClassAllFrames("");
  });
}

void MonitorLog::Form_Load() {
  Procedure p(module_, "Form_Load");
  p.Run([&] {
    p.At(10);
    lastLogLength_ = 0;
    p.At(20);
    reader_.LogFilePath = appFolder_ + "\\" + std::string(infolog::kFileName);
    p.At(30);
    InitGrid();
    p.At(40);
    LoadSettings();
    p.At(50);
    const double refresh = settings_.CheckMaxMin(
        NumericValue(settings_.ReadINI(settingsFile_, kSection, kRefreshKey, "500")), kMinRefresh,
        kMaxRefresh, kDefaultRefresh);
    p.At(60);
    timer1_.SetInterval(ToInt32(refresh));
    p.At(70);
    timer1_.SetEnabled(true);
    // The grid fills at once instead of after the first interval.
    p.At(80);
    Timer1_Timer();
  });
}

void MonitorLog::Form_Resize() {
  Procedure p(module_, "Form_Resize");
  p.Run([&] {
    // The size changes made below come back here while the flag is set.
    p.At(10);
    if (resizing_) return;
    p.At(20);
    resizing_ = true;
    // The frame reads back in whole pixels: a size short of the minimum by less
    // than one pixel is the minimum as the screen shows it, and must not be
    // enforced again on every resize.
    p.At(30);
    if (frame_.WindowState() == state::kNormal) {
      p.At(40);
      if (frame_.Width() + screen_.TwipsPerPixelX() <= kMinWidth) {
        p.At(50);
        form_.SetRedraw(false);
        p.At(60);
        frame_.SetWidth(kMinWidth);
        p.At(70);
        form_.SetRedraw(true);
      }
      p.At(80);
      if (frame_.Height() + screen_.TwipsPerPixelY() <= kMinHeight) {
        p.At(90);
        form_.SetRedraw(false);
        p.At(100);
        frame_.SetHeight(kMinHeight);
        p.At(110);
        form_.SetRedraw(true);
      }
    }
    // A minimised window's inner area can be smaller than the margins.
    p.At(120);
    form_.MoveGrid(kGridMargin, kGridMargin, std::max(0, form_.ScaleWidth() - 2 * kGridMargin),
                   std::max(0, form_.ScaleHeight() - 2 * kGridMargin));
    p.At(130);
    resizing_ = false;
  });
}

void MonitorLog::Form_Unload(bool& /*cancel*/) {
  module_.Run("Form_Unload", 10, [&] { SaveSettings(); });
}

void MonitorLog::Form_Terminate(const FrameHook& unSubClassAllFrames) {
  module_.Run("Form_Terminate", 10, [&] {
    if (unSubClassAllFrames) unSubClassAllFrames("");
  });
}

void MonitorLog::Timer1_Timer() {
  module_.Run("Timer1_Timer", 10,
              [&] { lastLogLength_ = reader_.LogFill(gridLog_, lastLogLength_); });
}

void MonitorLog::InitGrid() {
  Procedure p(module_, "InitGrid");
  p.Run([&] {
    // Where a step set what the earlier grid control drew by itself, the grid
    // does its nearest equivalent: steps 4 to 16 are its look as a log grid,
    // step 18 the header's look and step 24 have nothing to do.
    p.At(10);
    gridLog_.SetRedraw(false);
    p.At(20);
    gridLog_.SetRows(1);
    p.At(30);
    gridLog_.SetCols(4);
    p.At(40);
    gridLog_.SetLogLook();
    p.At(170);
    int32_t cols = gridLog_.Cols();
    p.At(190);
    gridLog_.SetTitles("Time|Priority|Device|Details");
    for (int32_t col = 0; col < 4 && col < cols; ++col) {
      p.At(200 + 10 * col);
      gridLog_.SetLeftAligned(col);
    }
    p.At(250);
    gridLog_.SetView(0);
    p.At(260);
    cols = gridLog_.Cols();
    p.At(270);
    gridLog_.AutoSize(0, cols - 1, false, 10);
    p.At(280);
    gridLog_.SetRedraw(true);
  });
}

void MonitorLog::LoadSettings() {
  module_.Run("LoadSettings", 10,
              [&] { LoadPlacement(settings_, settingsFile_, kPlacement, frame_, screen_); });
}

void MonitorLog::SaveSettings() {
  module_.Run("SaveSettings", 10,
              [&] { SavePlacement(settings_, settingsFile_, kPlacement, frame_); });
}

}  // namespace zlv
