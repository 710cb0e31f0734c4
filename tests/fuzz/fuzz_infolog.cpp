// The InfoLog reader over a log that grows, shrinks, is replaced, vanishes and
// fails to read, in any order, with a fill of the grid after every step: the
// grid never holds more than 200 rows, every new row is exactly one complete
// four-field line of the bytes read, in file order, and a file that grew is
// never read by more than the cap.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "logmonitor/InfoLogReader.h"
#include "shell/Failure.h"

namespace {

struct ReadCall {
  int64_t offset;
  std::size_t size;
};

class MemoryLog : public zlv::LogFileSource {
 public:
  void Open(const std::string&) override {
    if (!exists) zlv::Raise(zlv::err::kFileNotFound, "absent");
    open = true;
  }
  int64_t Length() override {
    FUZZ_CHECK(open);
    measured = static_cast<int64_t>(bytes.size());
    return measured;
  }
  std::size_t Read(int64_t offset, std::span<char> buffer) override {
    FUZZ_CHECK(open);
    FUZZ_CHECK(offset >= 0);
    reads.push_back({offset, buffer.size()});
    if (failReads) zlv::Raise(zlv::err::kInternal, "read failed");
    if (cutOnRead) bytes.resize(std::min(bytes.size(), *cutOnRead));
    if (static_cast<std::size_t>(offset) >= bytes.size()) return 0;
    const std::size_t n = std::min(buffer.size(), bytes.size() - static_cast<std::size_t>(offset));
    std::copy_n(bytes.data() + offset, n, buffer.data());
    delivered.append(bytes.data() + offset, n);
    return n;
  }
  void Close() noexcept override { open = false; }

  std::string bytes;
  bool exists = true;
  bool failReads = false;
  std::optional<std::size_t> cutOnRead;  // the writer truncates between measure and read
  int64_t measured = -1;
  bool open = false;
  std::vector<ReadCall> reads;  // of the current tick
  std::string delivered;        // bytes handed out in the current tick
};

class MemoryGrid : public zlv::LogGrid {
 public:
  void SetRedraw(bool) override {}
  void InsertRow(int32_t position, std::span<const std::string_view> cells) override {
    FUZZ_CHECK(position == 1);
    FUZZ_CHECK(cells.size() == 4);
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      FUZZ_CHECK(cells[i].find('\t') == std::string_view::npos);
      if (i > 0) row += '\t';
      row.append(cells[i]);
    }
    inserted.push_back(row);
    ++rows;
  }
  int32_t Rows() override { return rows; }
  void SetRows(int32_t count) override {
    FUZZ_CHECK(count >= 1 && count <= rows);
    rows = count;
  }
  int32_t Cols() override { return 4; }
  void SetView(int32_t) override {}
  void AutoSize(int32_t first, int32_t last, bool, int32_t) override {
    FUZZ_CHECK(first == 0 && last == 3);
  }

  int32_t rows = 1;                   // the header
  std::vector<std::string> inserted;  // of the current tick, in insertion order
};

// The log entries a read should yield: every piece of text that a CR LF ends
// and that holds exactly three tabs, in file order.
std::vector<std::string> EntriesOf(std::string_view text) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string_view::npos;
       start = end + 2) {
    const std::string_view line = text.substr(start, end - start);
    if (std::count(line.begin(), line.end(), '\t') == 3) entries.emplace_back(line);
  }
  return entries;
}

std::string Pattern(FuzzedDataProvider& in, std::size_t length) {
  std::string unit = in.ConsumeRandomLengthString(64);
  if (unit.empty()) unit = "t\tp\td\tx\r\n";
  std::string out;
  out.reserve(length);
  while (out.size() < length) out += unit;
  out.resize(length);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  MemoryLog log;
  MemoryGrid grid;
  zlv::InfoLogReader reader(log);
  reader.LogFilePath = "InfoLog.txt";
  log.bytes = in.ConsumeRandomLengthString(4096);
  int32_t lastLogLength = 0;

  for (int tick = 0; tick < 32; ++tick) {
    log.failReads = false;
    log.cutOnRead.reset();
    if (tick > 0) {
      if (in.remaining_bytes() == 0) break;
      switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:  // the application appends
          log.exists = true;
          log.bytes += in.ConsumeRandomLengthString(512);
          break;
        case 1:  // a burst, possibly beyond the cap
          log.exists = true;
          log.bytes += Pattern(in, in.ConsumeIntegralInRange<std::size_t>(0, 25000));
          break;
        case 2:  // cut short
          log.bytes.resize(in.ConsumeIntegralInRange<std::size_t>(0, log.bytes.size()));
          break;
        case 3:  // replaced by another file
          log.exists = true;
          log.bytes = in.ConsumeRandomLengthString(2048);
          break;
        case 4:  // removed
          log.exists = false;
          break;
        case 5:  // present, but the read fails
          log.failReads = true;
          log.bytes += in.ConsumeRandomLengthString(64);
          break;
        case 6:  // cut short between the measure and the read
          log.bytes += in.ConsumeRandomLengthString(512);
          log.cutOnRead = in.ConsumeIntegralInRange<std::size_t>(0, log.bytes.size());
          break;
        default:  // nothing happened
          break;
      }
    }
    log.reads.clear();
    log.delivered.clear();
    log.measured = -1;
    grid.inserted.clear();

    const int32_t previous = lastLogLength > 0 ? lastLogLength : zlv::infolog::kAssumedLength;
    lastLogLength = reader.LogFill(grid, lastLogLength);

    FUZZ_CHECK(!log.open);
    FUZZ_CHECK(grid.rows <= zlv::infolog::kRowLimit);
    if (!log.exists) {
      FUZZ_CHECK(lastLogLength == 0);
      FUZZ_CHECK(log.reads.empty());
    } else {
      // The length measured at this read, whatever became of the file since.
      FUZZ_CHECK(lastLogLength == log.measured);
      if (!log.cutOnRead) FUZZ_CHECK(lastLogLength == static_cast<int32_t>(log.bytes.size()));
    }
    const int64_t length = lastLogLength;
    for (const ReadCall& r : log.reads) {
      // Every read ends at the length just measured.
      FUZZ_CHECK(r.offset + static_cast<int64_t>(r.size) == length);
      if (length > previous) {
        FUZZ_CHECK(r.size <= static_cast<std::size_t>(zlv::infolog::kReadCap));
        FUZZ_CHECK(r.offset >= previous || r.size == zlv::infolog::kReadCap);
      } else {
        FUZZ_CHECK(r.offset == 0);
      }
    }
    if (length == previous) FUZZ_CHECK(log.reads.empty());
    if (log.failReads) FUZZ_CHECK(grid.inserted.empty());
    FUZZ_CHECK(grid.inserted == EntriesOf(log.delivered));
  }
  return 0;
}
