// The InfoLog reader: on every tick it reads the bytes the application has
// appended to InfoLog.txt since the last tick (capped) and puts every complete
// four-field line at the top of the grid, so the newest event is always row 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zlv {

// The grid as the reader uses it. Row 0 is the header; data rows start at 1.
// Every operation raises a Failure when the control refuses it.
class LogGrid {
 public:
  virtual ~LogGrid() = default;
  virtual void SetRedraw(bool on) = 0;
  // A new row at `position`; its cells are `cells` in column order.
  virtual void InsertRow(int32_t position, std::span<const std::string_view> cells) = 0;
  virtual int32_t Rows() = 0;  // header included
  // A smaller count removes rows from the bottom.
  virtual void SetRows(int32_t rows) = 0;
  virtual int32_t Cols() = 0;
  virtual void SetView(int32_t value) = 0;
  // Each column from `first` to `last` as wide as its widest cell plus `extraTwips`.
  virtual void AutoSize(int32_t first, int32_t last, bool equalWidths, int32_t extraTwips) = 0;
};

// The grid as the monitor sets it up: the number of columns, their titles
// ("|"-separated), a column's text left-aligned, and the look of a log grid
// (rows selected whole, grid lines, tips for cut texts).
class LogGridSetup : public LogGrid {
 public:
  virtual void SetCols(int32_t cols) = 0;
  virtual void SetTitles(std::string_view titles) = 0;
  virtual void SetLeftAligned(int32_t col) = 0;
  virtual void SetLogLook() = 0;
};

// Raw byte access to the log, opened so that the writing application can go
// on appending, truncating or replacing it. Failures are raised as Failure.
class LogFileSource {
 public:
  virtual ~LogFileSource() = default;
  virtual void Open(const std::string& path) = 0;
  virtual int64_t Length() = 0;
  // Reads up to buffer.size() bytes from `offset`; returns the count read.
  virtual std::size_t Read(int64_t offset, std::span<char> buffer) = 0;
  // Safe to call when nothing is open; never raises.
  virtual void Close() noexcept = 0;
};

// The text of one read split at CR LF. The lines point into `text`, so the
// object stays where it is; it is reused from tick to tick.
class LogLines {
 public:
  LogLines() = default;
  LogLines(const LogLines&) = delete;
  LogLines& operator=(const LogLines&) = delete;

  void Clear() {
    text.clear();
    lines.clear();
  }
  // A text ending in CR LF gives an empty last element; an empty text none.
  void Split();

  std::string text;
  std::vector<std::string_view> lines;
};

namespace infolog {
inline constexpr std::string_view kFileName = "InfoLog.txt";
inline constexpr int32_t kAssumedLength = 10000;
inline constexpr int32_t kReadCap = 10000;
inline constexpr int32_t kInsertPosition = 1;
inline constexpr int32_t kRowLimit = 200;
inline constexpr int32_t kExtraColumnTwips = 10;
inline constexpr std::size_t kFields = 4;
}  // namespace infolog

class InfoLogReader {
 public:
  explicit InfoLogReader(LogFileSource& file) : file_(file) {}

  std::string LogFilePath;

  // Reads what is new since `currentLen` into `messages` and sets bNewData
  // when a read took place; returns the measured length, 0 when the file
  // could not be opened. Never reports: every failure ends it quietly.
  int32_t LogGetLatest(const int32_t& currentLen, LogLines& messages, bool& bNewData);

  // Puts the complete four-field lines of the new part at the top of the grid.
  // A failing grid ends it quietly; the result is LogGetLatest's length.
  int32_t LogFill(LogGrid& vsFlex, const int32_t& currentLog);

 private:
  LogFileSource& file_;
  LogLines lines_;
};

}  // namespace zlv
