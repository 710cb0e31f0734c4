#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "FakeErrors.h"
#include "Fakes.h"
#include "LogMonitorFakes.h"
#include "logmonitor/MonitorLog.h"

namespace zlv {
namespace {

constexpr int32_t kBorderX = 240;  // outer minus inner size of the fake window
constexpr int32_t kBorderY = 600;

class FakeForm : public MonitorLogForm {
 public:
  explicit FakeForm(test::FakeWindowFrame& frame, test::FakeLogGrid& grid)
      : frame_(frame), grid_(grid) {}
  int32_t ScaleWidth() override { return frame_.width - kBorderX; }
  int32_t ScaleHeight() override { return frame_.height - kBorderY; }
  void SetRedraw(bool on) override { events.push_back(on ? "redraw on" : "redraw off"); }
  void MoveGrid(int32_t l, int32_t t, int32_t w, int32_t h) override {
    gridRect = {l, t, w, h};
    ++gridMoves;
  }
  void InitGrid(Procedure& p) override {
    p.At(10);
    grid_ = test::FakeLogGrid();
    ++inits;
  }

  std::vector<std::string> events;
  std::vector<int32_t> gridRect;
  int gridMoves = 0;
  int inits = 0;

 private:
  test::FakeWindowFrame& frame_;
  test::FakeLogGrid& grid_;
};

// The log held in memory.
class FakeLogFile : public LogFileSource {
 public:
  void Open(const std::string&) override {
    if (!bytes) Raise(err::kFileNotFound, "File not found");
  }
  int64_t Length() override { return static_cast<int64_t>(bytes->size()); }
  std::size_t Read(int64_t offset, std::span<char> buffer) override {
    return bytes->copy(buffer.data(), buffer.size(), static_cast<std::size_t>(offset));
  }
  void Close() noexcept override {}
  std::optional<std::string> bytes;
};

const std::string kSection = "Log Monitor Options";

class MonitorLogTest : public ::testing::Test {
 protected:
  MonitorLogTest() { ResetFrame(); }

  void ResetFrame() {
    frame = test::FakeWindowFrame();
    frame.width = 9000;
    frame.height = 3000;
    frame.onResize = [this] { monitor.Form_Resize(); };
  }

  void Set(const std::string& key, const std::string& value) { profile.Set(kSection, key, value); }
  void SavePlacement(int32_t left, int32_t top, int32_t width, int32_t height, int32_t state) {
    Set("Left", std::to_string(left));
    Set("Top", std::to_string(top));
    Set("Width", std::to_string(width));
    Set("Height", std::to_string(height));
    Set("State", std::to_string(state));
  }

  test::FakeReporter errors;
  test::FakeProfileStore profile;
  test::FakeBeeper beeper;
  ManagerGlobal settings{profile, beeper, errors.reporter};
  test::FakeWindowFrame frame;
  test::FakeLogGrid grid;
  FakeForm form{frame, grid};
  test::FakeTimer timer;
  test::FakeScreen screen;
  FakeLogFile log;
  MonitorLog monitor{
      {frame, form, grid, timer, screen, log}, settings, "C:\\Zemlo\\s.ini", "C:\\Zemlo"};
};

TEST_F(MonitorLogTest, RefreshTimeIsScreenedAndRounded) {
  struct Case {
    std::optional<std::string> value;
    int32_t interval;
  };
  const Case cases[] = {
      {"49", 500},    {"50", 50},     {"65000", 65000}, {"65001", 500},
      {"100.5", 100}, {"101.5", 102}, {"abc", 500},     {std::nullopt, 500},
      {"", 500},      {"49.9", 500},  {"65000.4", 500}, {"  2 50", 250},
  };
  for (const Case& c : cases) {
    profile.Erase(kSection, "Refresh Time");
    if (c.value) Set("Refresh Time", *c.value);
    timer = test::FakeTimer();
    monitor.Form_Load();
    EXPECT_EQ(timer.interval, c.interval) << (c.value ? *c.value : "(absent)");
    EXPECT_TRUE(timer.enabled);
  }
}

TEST_F(MonitorLogTest, PlacementRestoredWithinMinimumSize) {
  struct Case {
    std::optional<std::vector<int32_t>> saved;  // left, top, width, height
    std::vector<int32_t> expected;              // left, top, width, height
  };
  const Case cases[] = {
      {std::nullopt, {3680, 4760, 8000, 2000}},  // centred on the 15360 x 11520 screen
      {std::vector<int32_t>{100, 200, 9000, 4000}, {100, 200, 9000, 4000}},
      {std::vector<int32_t>{100, 200, 5000, 4000}, {100, 200, 8000, 4000}},
      {std::vector<int32_t>{100, 200, 9000, 1500}, {100, 200, 9000, 2000}},
      {std::vector<int32_t>{100, -1, 9000, 3000}, {3680, 4760, 8000, 2000}},  // -1: not saved
  };
  for (const Case& c : cases) {
    profile.values.clear();
    if (c.saved) {
      const auto& s = *c.saved;
      SavePlacement(s[0], s[1], s[2], s[3], 0);
    }
    ResetFrame();
    frame.width = 4000;  // the designed size, below the minimum
    frame.height = 3000;
    monitor.Form_Load();
    EXPECT_EQ((std::vector<int32_t>{frame.left, frame.top, frame.width, frame.height}), c.expected);
    EXPECT_EQ(form.gridRect, (std::vector<int32_t>{60, 60, c.expected[2] - kBorderX - 120,
                                                   c.expected[3] - kBorderY - 120}));
  }
}

TEST_F(MonitorLogTest, ResizeKeepsTheMinimumOnlyInTheNormalState) {
  struct Case {
    int32_t state, width, height;
    int32_t expectWidth, expectHeight;
    std::vector<std::string> events;
  };
  const std::vector<std::string> none;
  const std::vector<std::string> once = {"redraw off", "redraw on"};
  const std::vector<std::string> twice = {"redraw off", "redraw on", "redraw off", "redraw on"};
  const Case cases[] = {
      {0, 7999, 3000, 8000, 3000, once}, {0, 8000, 2000, 8000, 2000, none},
      {0, 9000, 1999, 9000, 2000, once}, {0, 100, 100, 8000, 2000, twice},
      {2, 5000, 1500, 5000, 1500, none}, {1, 5000, 1500, 5000, 1500, none},
  };
  for (const Case& c : cases) {
    frame.state = c.state;
    frame.width = c.width;
    frame.height = c.height;
    form.events.clear();
    form.gridMoves = 0;
    monitor.Form_Resize();
    EXPECT_EQ(frame.width, c.expectWidth) << c.state << " " << c.width << "x" << c.height;
    EXPECT_EQ(frame.height, c.expectHeight);
    EXPECT_EQ(form.events, c.events);
    // The nested resize events of the enforced changes are absorbed: one layout.
    EXPECT_EQ(form.gridMoves, 1);
    EXPECT_EQ(form.gridRect, (std::vector<int32_t>{60, 60, std::max(0, c.expectWidth - 360),
                                                   std::max(0, c.expectHeight - 720)}));
  }
  EXPECT_FALSE(errors.Reported());
}

TEST_F(MonitorLogTest, UnloadSavesPlacementOnlyWhenNormal) {
  frame.left = 300;
  frame.top = 400;
  frame.width = 9000;
  frame.height = 5000;
  bool cancel = false;
  monitor.Form_Unload(cancel);
  EXPECT_FALSE(cancel);
  EXPECT_EQ(profile.Written(), (std::vector<std::string>{"Top=400", "Left=300", "Height=5000",
                                                         "Width=9000", "State=0"}));

  // Closed maximised: only the state; the next open restores the normal
  // placement and then maximises.
  profile.writes.clear();
  frame.state = state::kMaximized;
  frame.width = 15000;
  monitor.Form_Unload(cancel);
  EXPECT_EQ(profile.Written(), (std::vector<std::string>{"State=2"}));

  ResetFrame();
  monitor.Form_Load();
  EXPECT_EQ((std::vector<int32_t>{frame.left, frame.top, frame.width, frame.height}),
            (std::vector<int32_t>{300, 400, 9000, 5000}));
  EXPECT_EQ(frame.state, state::kMaximized);
}

TEST_F(MonitorLogTest, RefusedStateIsReportedByLoadSettings) {
  SavePlacement(100, 200, 9000, 4000, 7);
  EXPECT_THROW(monitor.Form_Load(), test::ProgramEnded);
  EXPECT_NE(errors.Message().find("Module Name: ManagerMonitorLog"), std::string::npos);
  EXPECT_NE(errors.Message().find("Procedure Name: LoadSettings"), std::string::npos);
  EXPECT_NE(errors.Message().find("Error Number: 380"), std::string::npos);
}

TEST_F(MonitorLogTest, FramesHookedWithAnEmptyExclusion) {
  std::vector<std::string> calls;
  monitor.Form_Initialize([&](const std::string& n) { calls.push_back("sub:" + n); });
  monitor.Form_Terminate([&](const std::string& n) { calls.push_back("unsub:" + n); });
  EXPECT_EQ(calls, (std::vector<std::string>{"sub:", "unsub:"}));
}

}  // namespace
}  // namespace zlv
