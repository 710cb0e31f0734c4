// The log monitor window with its real list-view, over a real InfoLog.txt in a
// temporary application folder. Ticks are sent as the timer would send them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "logmonitor/LogFile_win.h"
#include "logmonitor/MonitorLogWindow_win.h"
#include "shell/FileProfileStore.h"
#include "shell/FileProfileStore_win.h"

namespace zlv {
namespace {

// An unexpected failure must end the test run loudly, not wait on a message box.
class ConsoleErrorOutput final : public ErrorOutput {
 public:
  ProgramVersion Version() override { return {3, 2, 1}; }
  std::string GeneralDateTime() override { return "now"; }
  void ShowCritical(const std::string& text, const std::string&) override {
    std::fprintf(stderr, "critical error:\n%s\n", text.c_str());
  }
  void Beep() override {}
  [[noreturn]] void EndNow() override { ExitProcess(3); }
};

class NoBeep final : public Beeper {
 public:
  void Beep() override {}
};

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string LogLine(int id, const char* details = "message") {
  return std::to_string(id) + "\tINFO\tSWITCH-1\t" + details + "\r\n";
}

std::string Padded(int id, std::size_t length) {
  std::string line = std::to_string(id) + "\tINFO\tSWITCH-1\t";
  line.append(length - 2 - line.size(), 'x');
  return line + "\r\n";
}

std::vector<std::string> Ids(int newest, int oldest) {
  std::vector<std::string> ids;
  for (int id = newest; id >= oldest; --id) ids.push_back(std::to_string(id));
  return ids;
}

// A writer as the application is one: its own handle, sharing read and write.
class Writer {
 public:
  Writer(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE) {
    handle_ = CreateFileA(path.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~Writer() {
    if (Ok()) CloseHandle(handle_);
  }
  bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Append(const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

 private:
  HANDLE handle_;
};

class MonitorLogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "zlv-monitorlog-tests";
    CreateDirectoryA(folder_.c_str(), nullptr);
    logPath_ = folder_ + "\\InfoLog.txt";
    settingsPath_ = folder_ + "\\ZemloLinkvaneManager-Settings.ini";
    DeleteFileA(logPath_.c_str());
    DeleteFileA(settingsPath_.c_str());
    // Ticks come from the test; the timer's own interval stays out of the way.
    settings_.WriteINI(settingsPath_, "Log Monitor Options", "Refresh Time", "65000");
    window = std::make_unique<MonitorLogWindow>(settings_, settingsPath_, folder_, gate_);
  }
  void TearDown() override {
    window->Unload();
    Pump();
    DeleteFileA(logPath_.c_str());
    DeleteFileA(settingsPath_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  void WriteLog(const std::string& bytes) {
    HANDLE h = CreateFileA(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
  }
  void AppendLog(const std::string& bytes) {
    Writer writer(logPath_);
    ASSERT_TRUE(writer.Ok());
    ASSERT_TRUE(writer.Append(bytes));
  }

  void Open() {
    window->ShowNonModal();
    Pump();
    ASSERT_NE(window->Window(), nullptr);
  }
  void Tick() { SendMessageA(window->Window(), WM_TIMER, MonitorLogWindow::kTimer1, 0); }

  std::string Cell(int item, int col) {
    char text[512] = {};
    LVITEMA lvi{};
    lvi.iSubItem = col;
    lvi.pszText = text;
    lvi.cchTextMax = sizeof text;
    SendMessageA(window->GridLog(), LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi));
    return text;
  }
  int Items() { return static_cast<int>(SendMessageA(window->GridLog(), LVM_GETITEMCOUNT, 0, 0)); }
  std::vector<std::string> FirstCells() {
    std::vector<std::string> cells;
    for (int i = 0, n = Items(); i < n; ++i) cells.push_back(Cell(i, 0));
    return cells;
  }

  ConsoleErrorOutput output_;
  ErrorReporter reporter_{output_};
  FileProfileStore store_{ReplaceFileWin32};
  NoBeep beeper_;
  ManagerGlobal settings_{store_, beeper_, reporter_};
  UiGate gate_;
  std::string folder_, logPath_, settingsPath_;
  std::unique_ptr<MonitorLogWindow> window;
};

TEST_F(MonitorLogWindowTest, OpensWithTheLogNewestFirst) {
  // 300 lines, some with a tab too many or too few; all under 10000 bytes.
  std::string log;
  std::vector<int> valid;
  for (int id = 0; id < 300; ++id) {
    if (id % 7 == 3) {
      log += std::to_string(id) + "\tINFO\tSWITCH-1\tport\t2 down\r\n";
    } else if (id % 11 == 5) {
      log += std::to_string(id) + "\tINFO\tno details\r\n";
    } else {
      log += LogLine(id);
      valid.push_back(id);
    }
  }
  log += "300\tINFO\tSWITCH-1\tstill being wri";
  ASSERT_LT(log.size(), 10000u);
  WriteLog(log);
  Open();

  char caption[128] = {};
  GetWindowTextA(window->Window(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Monitoring Linkvane InfoLog.txt");
  const LONG style = GetWindowLongA(window->Window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME);

  const HWND header = reinterpret_cast<HWND>(SendMessageA(window->GridLog(), LVM_GETHEADER, 0, 0));
  std::vector<std::string> titles;
  for (int col = 0; col < 4; ++col) {
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, col, reinterpret_cast<LPARAM>(&item));
    titles.push_back(text);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Time", "Priority", "Device", "Details"}));

  // 199 rows: the newest complete four-field lines, newest on top.
  std::vector<std::string> expected;
  for (auto it = valid.rbegin(); it != valid.rend() && expected.size() < 199; ++it) {
    expected.push_back(std::to_string(*it));
  }
  ASSERT_GT(valid.size(), 199u);
  EXPECT_EQ(FirstCells(), expected);
  EXPECT_EQ(Cell(0, 1), "INFO");
  EXPECT_EQ(Cell(0, 2), "SWITCH-1");
  EXPECT_EQ(Cell(0, 3), "message");
}

TEST_F(MonitorLogWindowTest, FollowsAWriterThatKeepsTheFileOpen) {
  WriteLog(LogLine(1) + LogLine(2));
  Open();
  ASSERT_EQ(FirstCells(), Ids(2, 1));

  Writer writer(logPath_);
  ASSERT_TRUE(writer.Ok());
  ASSERT_TRUE(writer.Append(LogLine(3) + LogLine(4) + "5\tINFO\tSW"));
  Tick();
  EXPECT_EQ(FirstCells(), Ids(4, 1));
  // The writer's handle is undisturbed by the read.
  ASSERT_TRUE(writer.Append("ITCH-1\tdone\r\n" + LogLine(7)));
  Tick();
  // Only the remainder of line 5 is read, and it has two fields.
  EXPECT_EQ(FirstCells(), (std::vector<std::string>{"7", "4", "3", "2", "1"}));
}

TEST_F(MonitorLogWindowTest, ReplacedShorterFileIsReadWhole) {
  std::string log;
  for (int id = 0; id < 50; ++id) log += Padded(id, 100);
  WriteLog(log);
  Open();
  ASSERT_EQ(FirstCells(), Ids(49, 0));

  const std::string fresh = folder_ + "\\InfoLog.new";
  {
    Writer writer(fresh);
    ASSERT_TRUE(writer.Append(LogLine(500) + LogLine(501)));
  }
  ASSERT_TRUE(MoveFileExA(fresh.c_str(), logPath_.c_str(), MOVEFILE_REPLACE_EXISTING));
  Tick();
  std::vector<std::string> expected = Ids(501, 500);
  const auto older = Ids(49, 0);
  expected.insert(expected.end(), older.begin(), older.end());
  EXPECT_EQ(FirstCells(), expected);
}

TEST_F(MonitorLogWindowTest, DeletedLogIsReadByTheFirstReadRuleWhenBack) {
  WriteLog(LogLine(1));
  Open();
  ASSERT_TRUE(DeleteFileA(logPath_.c_str()));
  Tick();
  Tick();
  EXPECT_EQ(FirstCells(), Ids(1, 1));

  std::string log;
  for (int id = 100; id < 220; ++id) log += Padded(id, 100);  // 12000 bytes
  WriteLog(log);
  Tick();
  std::vector<std::string> expected = Ids(219, 200);
  expected.push_back("1");
  EXPECT_EQ(FirstCells(), expected);
}

TEST_F(MonitorLogWindowTest, ReopenedWindowStartsEmptyAndOneWindowAtATime) {
  WriteLog(LogLine(1) + LogLine(2));
  Open();
  const HWND first = window->Window();
  AppendLog(LogLine(3));
  Tick();
  window->ShowNonModal();  // already open: same window, rows kept
  EXPECT_EQ(window->Window(), first);
  EXPECT_EQ(FirstCells(), Ids(3, 1));

  window->Unload();
  Pump();
  EXPECT_EQ(window->Window(), nullptr);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(settings_.ReadINI(settingsPath_, "Log Monitor Options", "State", "?"), "0");
  EXPECT_NE(settings_.ReadINI(settingsPath_, "Log Monitor Options", "Width", "-1"), "-1");

  Open();
  EXPECT_EQ(FirstCells(), Ids(3, 1)) << "read anew from the start, nothing kept";
}

TEST_F(MonitorLogWindowTest, OpensAtTheMinimumSizeAndKeepsIt) {
  WriteLog("");
  Open();
  const int dpiX = [] {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return dpi;
  }();
  RECT r;
  GetWindowRect(window->Window(), &r);
  EXPECT_EQ(r.right - r.left, MulDiv(8000, dpiX, 1440));
  SetWindowPos(window->Window(), nullptr, 0, 0, 200, 50, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(window->Window(), &r);
  EXPECT_EQ(r.right - r.left, MulDiv(8000, dpiX, 1440));
  RECT client, grid;
  GetClientRect(window->Window(), &client);
  GetWindowRect(window->GridLog(), &grid);
  const int margin = MulDiv(60, dpiX, 1440);
  EXPECT_NEAR(grid.right - grid.left, client.right - 2 * margin, 1);
}

TEST(Win32LogFileTest, WritersAreNotDisturbedWhileTheLogIsOpen) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "zlv-logfile-share.txt";
  const std::string moved = path + ".old";
  DeleteFileA(path.c_str());
  DeleteFileA(moved.c_str());
  {
    Writer first(path);
    ASSERT_TRUE(first.Append("abc"));
  }
  Win32LogFile file;
  file.Open(path);
  {
    // A writer that denies other writers still gets in beside the reader.
    Writer writer(path, FILE_SHARE_READ);
    ASSERT_TRUE(writer.Ok()) << GetLastError();
    EXPECT_TRUE(writer.Append("def"));
  }
  EXPECT_EQ(file.Length(), 6);
  std::string buffer(10, '\0');
  EXPECT_EQ(file.Read(2, buffer), 4u);
  EXPECT_EQ(buffer.substr(0, 4), "cdef");
  // Rolling the log over while it is open is allowed too.
  EXPECT_TRUE(MoveFileExA(path.c_str(), moved.c_str(), 0)) << GetLastError();
  file.Close();
  EXPECT_THROW(file.Open(path), Failure);
  DeleteFileA(moved.c_str());
}

TEST_F(MonitorLogWindowTest, ColumnsFollowTheWidestCellStillShown) {
  WriteLog(LogLine(1, "a fairly long details text that sets the width") + LogLine(2, "short"));
  Open();
  const HWND lv = window->GridLog();
  const auto width = [&] { return static_cast<int>(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 3, 0)); };
  const int wide = width();
  AppendLog(LogLine(3, "a details text longer still, so the column grows with it"));
  Tick();
  const int wider = width();
  EXPECT_GT(wider, wide);

  // Once the widest rows fall off the bottom the column shrinks to what is left.
  std::string burst;
  for (int id = 10; id < 210; ++id) burst += LogLine(id, "mid");
  AppendLog(burst);
  Tick();
  ASSERT_EQ(Items(), 199);
  const int narrow = width();
  EXPECT_LT(narrow, wide);
  EXPECT_GE(narrow, static_cast<int>(SendMessageA(lv, LVM_GETSTRINGWIDTHA, 0,
                                                  reinterpret_cast<LPARAM>("Details"))));
}

TEST_F(MonitorLogWindowTest, IdleTickPaintsNothing) {
  WriteLog(LogLine(1) + LogLine(2));
  Open();
  UpdateWindow(window->Window());
  Pump();
  RECT dirty;
  ASSERT_FALSE(GetUpdateRect(window->GridLog(), &dirty, FALSE));
  Tick();
  EXPECT_FALSE(GetUpdateRect(window->GridLog(), &dirty, FALSE))
      << "unchanged log, nothing to paint";
  EXPECT_FALSE(GetUpdateRect(window->Window(), &dirty, FALSE));

  AppendLog(LogLine(3));
  Tick();
  EXPECT_TRUE(GetUpdateRect(window->GridLog(), &dirty, FALSE)) << "a fill is painted once, later";
}

// Figures for the README; the run does not judge them.
TEST_F(MonitorLogWindowTest, TimesAFullTick) {
  std::string log;
  for (int id = 0; id < 99; ++id) log += Padded(id, 100);
  WriteLog(log);  // 9900 bytes: read whole, 99 rows
  Open();
  AppendLog([] {
    std::string more;
    for (int id = 99; id < 199; ++id) more += Padded(id, 100);
    return more;
  }());
  Tick();
  ASSERT_EQ(Items(), 199);

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const auto timed = [&](auto&& action) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    action();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  };
  std::vector<double> full, paint, idle;
  int next = 1000;
  for (int round = 0; round < 60; ++round) {
    std::string burst;
    for (int i = 0; i < 100; ++i) burst += Padded(next++, 100);  // 10000 bytes
    AppendLog(burst);
    full.push_back(timed([&] { Tick(); }));
    paint.push_back(timed([&] { UpdateWindow(window->Window()); }));
    Pump();
    idle.push_back(timed([&] { Tick(); }));
  }
  ASSERT_EQ(Items(), 199);
  EXPECT_EQ(Cell(0, 0), std::to_string(next - 1));
  const auto report = [](const char* what, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.2f ms, max %.2f ms over %zu\n", what, ms[ms.size() / 2], ms.back(),
                ms.size());
  };
  report("tick reading 10000 new bytes into a full list-view", full);
  report("the paint that follows it", paint);
  report("idle tick (log unchanged)", idle);
  RecordProperty("tick_median_us", static_cast<int>(full[full.size() / 2] * 1000));
}

}  // namespace
}  // namespace zlv
