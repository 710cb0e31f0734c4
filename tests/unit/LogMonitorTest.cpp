#include <gtest/gtest.h>

#include "Fakes.h"
#include "logmonitor/LogFile.h"
#include "logmonitor/MonitorLog.h"

namespace zlv::test {
namespace {

// Lines of `length` bytes (CR LF included) whose Time fields count up from `firstId`.
std::string LogText(int firstId, int count, std::size_t length = 100) {
  std::string text;
  for (int id = firstId; id < firstId + count; ++id) {
    const std::string fields = std::to_string(id) + "\tINFO\tSWITCH-1\t";
    text += fields + std::string(length - 2 - fields.size(), 'x') + "\r\n";
  }
  return text;
}

// The first cells expected for ids from `newest` down to `oldest`, above `older`.
Strings Ids(int newest, int oldest, Strings older = {}) {
  for (int id = oldest; id <= newest; ++id) older.insert(older.begin(), std::to_string(id));
  return older;
}

// The window around the grid: a border of 240 twips across and 600 down.
struct MonitorLogTest : ::testing::Test, MonitorLogForm, FakeSettings {
  MonitorLogTest() {
    frame.onResize = [this] { monitor.Form_Resize(); };
  }
  int32_t ScaleWidth() override { return frame.width - 240; }
  int32_t ScaleHeight() override { return frame.height - 600; }
  void SetRedraw(bool on) override { frame.log.push_back(on ? "redraw on" : "redraw off"); }
  void MoveGrid(int32_t l, int32_t t, int32_t w, int32_t h) override {
    frame.log.push_back("grid " + std::to_string(l) + "," + std::to_string(t) + "," +
                        std::to_string(w) + "," + std::to_string(h));
  }

  // Opens the monitor on a log of `bytes`: its first read.
  void Open(const std::string& bytes) {
    folder.Put("app\\InfoLog.txt", bytes);
    grid = FakeLogGrid();
    monitor.Form_Load();
  }
  // One tick of the monitor's timer after the log grew by `bytes`, or became them.
  void Tick(const std::string& bytes, std::ios::openmode mode = std::ios::app) {
    folder.Put("app\\InfoLog.txt", bytes, mode);
    monitor.Timer1_Timer();
  }

  Strings FirstCells() const {
    Strings cells;
    for (const auto& row : grid.rows) cells.push_back(row[0]);
    return {cells.begin() + 1, cells.end()};
  }

  FakeFrame<WindowFrame> frame;
  FakeLogGrid grid;
  FakeTimer timer;
  TempFolder folder;
  StreamLogFile log;
  // On Linux the folder's backslash becomes part of the log's file name.
  MonitorLog monitor{
      {frame, *this, grid, timer, desktop, log}, settings, "s.ini", folder.File("app")};
};

// The first read takes 10000 bytes as consumed; later ones read what grew, at
// most the newest 10000 bytes, or a shorter file whole.
TEST_F(MonitorLogTest, ReadsOnlyTheNewBytesWithinTheCapIntoTwoHundredRows) {
  // Lines of 150 bytes: only the end of line 66 lies past 10000, its fragment is skipped.
  const std::tuple<int, std::size_t, Strings> firstReads[] = {{30, 100, Ids(29, 0)},
                                                              {100, 100, {}},
                                                              {150, 100, Ids(149, 100)},
                                                              {250, 100, Ids(249, 150)},
                                                              {100, 150, Ids(99, 67)}};
  for (const auto& [lines, length, shown] : firstReads) {
    Open(LogText(0, lines, length));
    EXPECT_EQ(monitor.LastLogLength(), static_cast<int32_t>(lines * length));
    EXPECT_EQ(FirstCells(), shown) << lines << "x" << length;
    EXPECT_EQ(grid.redrawsOff, shown.empty() ? 1 : 2) << "the set-up's, then only a fill's";
  }
  Open(LogText(0, 30));
  Tick(LogText(30, 120));                   // 12000 bytes: ids 30..49 lie in the first 2000
  Tick(LogText(500, 20), std::ios::trunc);  // replaced by a shorter file
  Tick(LogText(700, 20), std::ios::trunc);  // the same length again: not noticed
  EXPECT_EQ(monitor.LastLogLength(), 2000);
  EXPECT_EQ(FirstCells(), Ids(519, 500, Ids(149, 50, Ids(29, 0))));
  Open(LogText(0, 250, 30));  // 7500 bytes: read whole
  Tick(LogText(250, 1, 30));
  EXPECT_EQ(FirstCells(), Ids(250, 52)) << "at most 200 rows, the header included";
}

// A line not yet ended is consumed anyway; only its remainder comes next.
TEST_F(MonitorLogTest, OnlyCompleteFourFieldLinesBecomeRowsNewestOnTop) {
  const std::tuple<std::string, std::string, std::vector<Strings>> cases[] = {
      {"a\tb\tc\td\r\nno tabs\r\n1\t2\t3\t4\r\n", "", {{"1", "2", "3", "4"}, {"a", "b", "c", "d"}}},
      {"a\tb\tc\td\ne\tf\tg\th\n", "", {}},
      {"a\tb\tc\td\te\r\na\tb\tc\r\n", "", {}},
      {"12:00:01\tINFO\tDEV\tDet", "ails\r\n", {}},
      {"12:0", "0:01\tINFO\tDEV\tdetails\r\n", {{"0:01", "INFO", "DEV", "details"}}},
  };
  for (const auto& [first, rest, rows] : cases) {
    Open(first);
    Tick(rest);
    EXPECT_EQ(std::vector<Strings>(grid.rows.begin() + 1, grid.rows.end()), rows) << first;
  }
}

TEST_F(MonitorLogTest, OpeningFillsAtOnceAndTicksAtTheScreenedRefreshTime) {
  const std::pair<std::optional<std::string>, int32_t> cases[] = {
      {"49", 500},  {"50", 50},          {"65000", 65000}, {"65000.4", 500}, {"100.5", 100},
      {"abc", 500}, {std::nullopt, 500}, {"", 500},        {"  2 50", 250}};
  for (const auto& [text, interval] : cases) {
    store = FakeProfileStore(), timer = FakeTimer();
    if (text) store.content = "[Log Monitor Options]\r\nRefresh Time=" + *text;
    Open(LogText(0, 3));
    EXPECT_EQ(std::pair(timer.interval, timer.enabled), std::pair(interval, true))
        << text.value_or("absent");
    EXPECT_EQ(FirstCells(), Ids(2, 0)) << "filled before the first tick";
  }
}

TEST_F(MonitorLogTest, TheMinimumSizeHoldsOnlyInTheNormalStateAndTheGridFillsTheRest) {
  const std::tuple<int32_t, int32_t, int32_t, Strings> cases[] = {
      {0, 7980, 2000, {"redraw off", "Width=8000", "redraw on", "grid 60,60,7640,1280"}},
      {0, 8000, 1985, {"redraw off", "Height=2000", "redraw on", "grid 60,60,7640,1280"}},
      {0, 7995, 1995, {"grid 60,60,7635,1275"}},  // the minimum in whole pixels of 15 twips
      {2, 5000, 1500, {"grid 60,60,4640,780"}},
  };
  for (const auto& [windowState, width, height, expected] : cases) {
    frame.state = windowState, frame.width = width, frame.height = height;
    frame.log.clear();
    monitor.Form_Resize();
    EXPECT_EQ(frame.log, expected) << "one layout: the nested resize events are absorbed";
  }
  bool cancel = false;
  monitor.Form_Unload(cancel);
  EXPECT_EQ(store.content, "[Log Monitor Options]\r\nState=2\r\n") << "maximised: the state alone";
  frame.state = state::kNormal;
  monitor.Form_Unload(cancel);
  EXPECT_EQ(store.content,
            "[Log Monitor Options]\r\nState=0\r\nTop=0\r\nLeft=0\r\nHeight=1500\r\nWidth=5000\r\n");
}

}  // namespace
}  // namespace zlv::test
