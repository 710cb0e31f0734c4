#include "logmonitor/InfoLogReader.h"

#include <array>
#include <cstring>
#include <exception>
#include <limits>

#include "core/Failure.h"

namespace zlv {

void LogLines::Split() {
  lines.clear();
  if (text.empty()) return;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* start = begin;
  // LF is searched rather than CR: it is the byte that ends a CR LF pair, and
  // a bare CR or LF must not split, so each hit is checked for its CR.
  const char* scan = begin;
  while (scan < end) {
    const auto* lf = static_cast<const char*>(std::memchr(scan, '\n', end - scan));
    if (!lf) break;
    if (lf > start && lf[-1] == '\r') {
      lines.emplace_back(start, lf - 1 - start);
      start = lf + 1;
    }
    scan = lf + 1;
  }
  lines.emplace_back(start, end - start);
}

namespace {

// The line's four fields, or false when it has not exactly three tabs.
bool SplitFields(std::string_view line, std::array<std::string_view, infolog::kFields>& fields) {
  const char* p = line.data();
  const char* const end = p + line.size();
  for (std::size_t i = 0; i + 1 < infolog::kFields; ++i) {
    const auto* tab = static_cast<const char*>(std::memchr(p, '\t', end - p));
    if (!tab) return false;
    fields[i] = std::string_view(p, tab - p);
    p = tab + 1;
  }
  if (std::memchr(p, '\t', end - p)) return false;
  fields[infolog::kFields - 1] = std::string_view(p, end - p);
  return true;
}

}  // namespace

int32_t InfoLogReader::LogGetLatest(const int32_t& currentLen, LogLines& messages, bool& bNewData) {
  // The length is only known once the file is open, so a failed open returns 0
  // and the next tick starts over with the assumed length.
  int32_t length = 0;
  messages.Clear();
  try {
    const int64_t previous = currentLen > 0 ? currentLen : infolog::kAssumedLength;
    file_.Open(LogFilePath);
    const int64_t measured = file_.Length();
    if (measured < 0 || measured > std::numeric_limits<int32_t>::max()) RaiseOverflow();
    length = static_cast<int32_t>(measured);
    if (length != previous) {
      int64_t offset = 0;
      int64_t count = length;
      if (length > previous) {
        // Only the newest bytes matter once a burst exceeds the cap.
        const int64_t grown = length - previous;
        offset = grown <= infolog::kReadCap ? previous : length - infolog::kReadCap;
        count = length - offset;
      }
      messages.text.resize(static_cast<std::size_t>(count));
      const std::size_t got = count > 0 ? file_.Read(offset, messages.text) : 0;
      // A writer may have truncated the file since it was measured.
      messages.text.resize(got);
      messages.Split();
      bNewData = true;
    }
  } catch (const std::exception&) {
    // Ends quietly: bytes measured so far count as consumed, nothing is shown.
  }
  file_.Close();
  return length;
}

int32_t InfoLogReader::LogFill(LogGrid& vsFlex, const int32_t& currentLog) {
  bool newData = false;
  const int32_t length = LogGetLatest(currentLog, lines_, newData);
  if (!newData) return length;
  try {
    vsFlex.SetRedraw(false);
    std::array<std::string_view, infolog::kFields> fields;
    // The last element is the text after the final CR LF: empty, or a line
    // the application is still writing.
    const std::size_t complete = lines_.lines.empty() ? 0 : lines_.lines.size() - 1;
    for (std::size_t i = 0; i < complete; ++i) {
      if (SplitFields(lines_.lines[i], fields)) vsFlex.InsertRow(infolog::kInsertPosition, fields);
    }
    if (vsFlex.Rows() > infolog::kRowLimit) vsFlex.SetRows(infolog::kRowLimit);
    vsFlex.SetView(0);
    vsFlex.AutoSize(0, vsFlex.Cols() - 1, false, infolog::kExtraColumnTwips);
    vsFlex.SetRedraw(true);
  } catch (const std::exception&) {
    // A grid that fails mid-fill keeps the rows it has; the length still counts.
  }
  return length;
}

}  // namespace zlv
