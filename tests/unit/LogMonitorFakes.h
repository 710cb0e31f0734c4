// Fakes for the log monitor's tests: a grid that keeps its rows in memory and
// can be told to fail, and a temporary folder for real log files.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "logmonitor/InfoLogReader.h"
#include "shell/Failure.h"

namespace zlv::test {

class FakeLogGrid : public LogGrid {
 public:
  FakeLogGrid() { rows.push_back({"Time", "Priority", "Device", "Details"}); }

  void SetRedraw(bool on) override {
    Step("redraw");
    redraw = on;
  }
  void InsertRow(int32_t position, std::span<const std::string_view> cells) override {
    Step("insert");
    if (failOnInsert > 0 && ++inserts == failOnInsert) Raise(err::kInternal, "grid refused");
    rows.insert(rows.begin() + position, std::vector<std::string>(cells.begin(), cells.end()));
  }
  int32_t Rows() override { return static_cast<int32_t>(rows.size()); }
  void SetRows(int32_t count) override {
    Step("rows");
    rows.resize(count);
  }
  int32_t Cols() override { return 4; }
  void SetView(int32_t value) override {
    Step("view");
    view = value;
  }
  void AutoSize(int32_t first, int32_t last, bool equal, int32_t extra) override {
    Step("autosize");
    autoSize = {first, last, equal ? 1 : 0, extra};
  }

  // First cells of the data rows, top to bottom.
  std::vector<std::string> FirstCells() const {
    std::vector<std::string> cells;
    for (std::size_t i = 1; i < rows.size(); ++i) cells.push_back(rows[i].at(0));
    return cells;
  }

  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> calls;  // every operation except the reads
  bool redraw = true;
  int32_t view = -1;
  std::vector<int32_t> autoSize;
  int failOnInsert = 0;  // 1-based insert that raises; 0 never
  int inserts = 0;

 private:
  void Step(const char* name) {
    if (calls.empty() || calls.back() != name) calls.push_back(name);
  }
};

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("zlv-logmonitor-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
inline void AppendFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// A log line of exactly `length` bytes (CR LF included) whose Time field is
// the number `id`, so a test can tell which lines reached the grid.
inline std::string LogLine(int id, std::size_t length = 100) {
  std::string line = std::to_string(id) + "\tINFO\tSWITCH-1\t";
  line.append(length - 2 - line.size(), 'x');
  return line + "\r\n";
}
inline std::string LogText(int firstId, int count, std::size_t length = 100) {
  std::string text;
  for (int id = firstId; id < firstId + count; ++id) text += LogLine(id, length);
  return text;
}

// The expected first cells for ids from `newest` down to `oldest`.
inline std::vector<std::string> Ids(int newest, int oldest) {
  std::vector<std::string> ids;
  for (int id = newest; id >= oldest; --id) ids.push_back(std::to_string(id));
  return ids;
}

}  // namespace zlv::test
