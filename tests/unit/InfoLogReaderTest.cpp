#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogMonitorFakes.h"
#include "logmonitor/LogFile.h"

namespace zlv {
namespace {

using test::Ids;
using test::LogLine;
using test::LogText;

class InfoLogReaderTest : public ::testing::Test {
 protected:
  InfoLogReaderTest() { reader.LogFilePath = folder.File("InfoLog.txt"); }

  // One timer tick as the window runs it.
  void Tick() { last = reader.LogFill(grid, last); }
  void Write(const std::string& bytes) { test::WriteFile(reader.LogFilePath, bytes); }
  void Append(const std::string& bytes) { test::AppendFile(reader.LogFilePath, bytes); }

  test::TempFolder folder;
  StreamLogFile file;
  InfoLogReader reader{file};
  test::FakeLogGrid grid;
  int32_t last = 0;
};

TEST(LogLinesTest, SplitsAtCrLfOnly) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a", ""}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a\nb\rc"}},
      {"a\r\r\nb", {"a\r", "b"}},
      {"\r\n\r\n", {"", "", ""}},
      {"\n\r\n", {"\n", ""}},
      {"a\r", {"a\r"}},
  };
  for (const Case& c : cases) {
    LogLines split;
    split.text = c.text;
    split.Split();
    EXPECT_EQ(std::vector<std::string>(split.lines.begin(), split.lines.end()), c.lines)
        << "text of " << c.text.size() << " bytes";
  }
}

// The first read takes 10000 bytes as already consumed.
TEST_F(InfoLogReaderTest, FirstReadRule) {
  struct Case {
    int lines;
    std::size_t lineLength;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {30, 100, Ids(29, 0)},      // 3000 bytes: shorter, so read whole
      {100, 100, {}},             // exactly 10000: nothing new
      {150, 100, Ids(149, 100)},  // 15000: the 5000 bytes past 10000
      {250, 100, Ids(249, 150)},  // 25000: the last 10000
      {100, 150, Ids(99, 67)},    // 15000 cutting line 66 after its tabs: fragment skipped
  };
  for (const Case& c : cases) {
    Write(LogText(0, c.lines, c.lineLength));
    grid = test::FakeLogGrid();
    last = 0;
    Tick();
    const auto size = static_cast<int32_t>(c.lines * c.lineLength);
    EXPECT_EQ(last, size);
    EXPECT_EQ(grid.FirstCells(), c.shown) << size << " bytes";
  }
}

TEST_F(InfoLogReaderTest, ExactlyTenThousandThenGrowthIsShown) {
  Write(LogText(0, 100));
  Tick();
  EXPECT_EQ(grid.Rows(), 1);
  EXPECT_EQ(grid.calls, std::vector<std::string>{}) << "an unchanged length touches nothing";
  Append(LogLine(100));
  Tick();
  EXPECT_EQ(grid.FirstCells(), Ids(100, 100));
  EXPECT_EQ(last, 10100);
}

TEST_F(InfoLogReaderTest, GrowthReadsOnlyNewBytesUpToTheCap) {
  Write(LogText(0, 30));  // 3000
  Tick();
  ASSERT_EQ(grid.FirstCells(), Ids(29, 0));

  Append(LogText(30, 3));  // 300 bytes
  Tick();
  EXPECT_EQ(last, 3300);
  EXPECT_EQ(grid.FirstCells(), Ids(32, 0));

  // 12000 bytes at once: lines 33..52 lie wholly in the first 2000 and never appear.
  Append(LogText(33, 120));
  Tick();
  EXPECT_EQ(last, 15300);
  std::vector<std::string> expected = Ids(152, 53);
  const auto older = Ids(32, 0);
  expected.insert(expected.end(), older.begin(), older.end());
  EXPECT_EQ(grid.FirstCells(), expected);
}

// A line not yet ended is consumed anyway: only its remainder comes next.
TEST_F(InfoLogReaderTest, LineStillBeingWritten) {
  struct Case {
    std::string first;
    std::string rest;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {"12:00:01\tINFO\tDEV\tDet", "ails\r\n", {}},
      {"12:00:01\tINF", "O\tDEV\tdetails\r\n", {}},
      {"12:0", "0:01\tINFO\tDEV\tdetails\r\n", {"0:01"}},
      {"12:00:01\tINFO\tDEV\tdone\r\n12:0", "0:02\tINFO\tDEV\tx\r\n", {"0:02", "12:00:01"}},
  };
  for (const Case& c : cases) {
    grid = test::FakeLogGrid();
    last = 0;
    Write(c.first);
    Tick();
    EXPECT_EQ(last, static_cast<int32_t>(c.first.size()));
    Append(c.rest);
    Tick();
    EXPECT_EQ(grid.FirstCells(), c.shown) << c.first;
  }
}

TEST_F(InfoLogReaderTest, OnlyFourFieldLinesBecomeRows) {
  struct Case {
    std::string text;
    std::vector<std::vector<std::string>> rows;
  };
  const Case cases[] = {
      {"a\tb\tc\td\r\n", {{"a", "b", "c", "d"}}},
      {"a\tb\tc\td\ne\tf\tg\th\n", {}},  // LF alone ends no line
      {"a\tb\tc\td\te\r\n", {}},
      {"a\tb\tc\r\n", {}},
      {"\r\n\r\n", {}},
      {"\t\t\t\r\n", {{"", "", "", ""}}},
      {"a\tb\tc\td\rx\r\n", {{"a", "b", "c", "d\rx"}}},
      {"a\tb\tc\td\r\nno tabs\r\n1\t2\t3\t4\r\n", {{"1", "2", "3", "4"}, {"a", "b", "c", "d"}}},
  };
  for (const Case& c : cases) {
    grid = test::FakeLogGrid();
    last = 0;
    Write(c.text);
    Tick();
    std::vector<std::vector<std::string>> rows(grid.rows.begin() + 1, grid.rows.end());
    EXPECT_EQ(rows, c.rows) << "case of " << c.text.size() << " bytes";
  }
}

TEST_F(InfoLogReaderTest, GridKeepsTwoHundredRowsNewestOnTop) {
  std::string text;
  for (int id = 0; id < 250; ++id) text += std::to_string(id) + "\tP\tD\tX\r\n";
  Write(text);
  Tick();
  EXPECT_EQ(grid.Rows(), 200);
  EXPECT_EQ(grid.FirstCells(), Ids(249, 51));
  Append("250\tP\tD\tX\r\n");
  Tick();
  EXPECT_EQ(grid.Rows(), 200);
  EXPECT_EQ(grid.FirstCells(), Ids(250, 52));
}

TEST_F(InfoLogReaderTest, FillSuspendsPaintingAndSizesColumnsOnce) {
  Write(LogText(0, 5));
  Tick();
  const std::vector<std::string> order = {"redraw", "insert", "view", "autosize", "redraw"};
  EXPECT_EQ(grid.calls, order);
  EXPECT_TRUE(grid.redraw);
  EXPECT_EQ(grid.view, 0);
  EXPECT_EQ(grid.autoSize, (std::vector<int32_t>{0, 3, 0, 10}));
}

TEST_F(InfoLogReaderTest, ShorterFileIsReadWholeAboveEarlierRows) {
  Write(LogText(0, 50));  // 5000
  Tick();
  Write(LogText(500, 20));  // replaced by 2000 bytes
  Tick();
  EXPECT_EQ(last, 2000);
  std::vector<std::string> expected = Ids(519, 500);
  const auto older = Ids(49, 0);
  expected.insert(expected.end(), older.begin(), older.end());
  EXPECT_EQ(grid.FirstCells(), expected);

  Write(LogText(700, 20));  // same length: not noticed
  Tick();
  EXPECT_EQ(grid.FirstCells(), expected);
}

TEST_F(InfoLogReaderTest, NewDataFlagOnlySetByARead) {
  LogLines lines;
  bool flag = true;
  Write(LogText(0, 100));
  EXPECT_EQ(reader.LogGetLatest(0, lines, flag), 10000);
  EXPECT_TRUE(flag) << "left untouched when nothing was read";
  flag = false;
  EXPECT_EQ(reader.LogGetLatest(10000, lines, flag), 10000);
  EXPECT_FALSE(flag);

  Write("");
  EXPECT_EQ(reader.LogGetLatest(10000, lines, flag), 0);
  EXPECT_TRUE(flag) << "an empty read is still a read";
  EXPECT_TRUE(lines.lines.empty());
}

// The real file underneath, with every call written down.
class CountingLogFile final : public LogFileSource {
 public:
  void Open(const std::string& path) override {
    calls.push_back("open");
    inner.Open(path);
  }
  int64_t Length() override {
    calls.push_back("length");
    return inner.Length();
  }
  std::size_t Read(int64_t offset, std::span<char> buffer) override {
    calls.push_back("read");
    return inner.Read(offset, buffer);
  }
  void Close() noexcept override {
    calls.push_back("close");
    inner.Close();
  }
  StreamLogFile inner;
  std::vector<std::string> calls;
};

TEST(InfoLogReaderIdleTest, UnchangedFileIsOnlyMeasured) {
  test::TempFolder folder;
  CountingLogFile file;
  InfoLogReader reader{file};
  reader.LogFilePath = folder.File("InfoLog.txt");
  test::FakeLogGrid grid;
  test::WriteFile(reader.LogFilePath, LogText(0, 30));
  int32_t last = reader.LogFill(grid, 0);
  ASSERT_EQ(grid.FirstCells(), Ids(29, 0));

  const std::vector<std::string> measured = {"open", "length", "close"};
  const std::vector<std::string> read = {"open", "length", "read", "close"};
  struct Step {
    const char* what;
    std::string append;
    std::vector<std::string> fileCalls;
    bool gridTouched;
  };
  const Step steps[] = {
      {"idle", "", measured, false},
      {"idle again", "", measured, false},
      {"a line being written", "30\tINFO\tSW", read, true},
      {"idle after it", "", measured, false},
      {"a complete line", "ITCH-1\tx\r\n", read, true},
  };
  for (const Step& step : steps) {
    if (!step.append.empty()) test::AppendFile(reader.LogFilePath, step.append);
    file.calls.clear();
    grid.calls.clear();
    last = reader.LogFill(grid, last);
    EXPECT_EQ(file.calls, step.fileCalls) << step.what;
    EXPECT_EQ(!grid.calls.empty(), step.gridTouched) << step.what;
  }
  EXPECT_EQ(grid.rows.size(), 31u) << "the remainder alone has two fields";
}

TEST_F(InfoLogReaderTest, GridFailureMidFillKeepsRowsAndLength) {
  Write(LogText(0, 5));
  grid.failOnInsert = 3;
  Tick();
  EXPECT_EQ(last, 500);
  EXPECT_EQ(grid.FirstCells(), Ids(1, 0));
  EXPECT_FALSE(grid.redraw) << "the steps after the failure are skipped";
  EXPECT_EQ(grid.view, -1);

  grid.failOnInsert = 0;
  Append(LogLine(5));
  Tick();
  EXPECT_EQ(grid.FirstCells(), (std::vector<std::string>{"5", "1", "0"}));
  EXPECT_TRUE(grid.redraw);
}

}  // namespace
}  // namespace zlv
