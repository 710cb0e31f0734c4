// The InfoLog reader over a log file that grows, bursts past the cap, shrinks, is replaced or
// vanishes between fills: the grid keeps at most 200 rows, and its new rows, newest on top,
// are exactly the complete four-field lines of what the reader must take: what grew, at most
// its newest 10000 bytes, or a shorter file whole.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "../unit/Fakes.h"
#include "FuzzCheck.h"
#include "logmonitor/LogFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const zlv::test::TempFolder folder;  // one for the whole run
  FuzzedDataProvider in(data, size);
  zlv::StreamLogFile file;
  zlv::InfoLogReader reader(file);
  reader.LogFilePath = folder.File("InfoLog.txt");
  zlv::test::FakeLogGrid grid;
  std::string bytes = in.ConsumeRandomLengthString(4096);
  bool exists = true;
  int32_t length = 0;
  for (int tick = 0; tick < 32 && (tick == 0 || in.remaining_bytes() > 0); ++tick) {
    const int change = in.ConsumeIntegralInRange(0, 2);
    if (change == 0) {  // a burst of one piece repeated, possibly past the cap
      const std::string piece = in.ConsumeRandomLengthString(64) + "\r\n";
      for (auto more = in.ConsumeIntegralInRange(0, 25000) + bytes.size(); bytes.size() < more;)
        bytes += piece;
    }
    if (change == 1) {  // cut short, then appended to: a longer, shorter or other file
      bytes.resize(in.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
      bytes += in.ConsumeRandomLengthString(512);
    }
    if (change == 2) exists = !exists;
    exists ? folder.Put("InfoLog.txt", bytes) : void(std::filesystem::remove(reader.LogFilePath));
    const int64_t previous = length > 0 ? length : zlv::infolog::kAssumedLength;
    const int64_t now = exists ? static_cast<int64_t>(bytes.size()) : 0;
    std::string_view taken;
    if (now > previous) taken = std::string_view(bytes).substr(std::max(previous, now - 10000));
    if (now < previous) taken = std::string_view(bytes).substr(0, now);
    std::vector<std::string> entries;  // newest first
    for (std::size_t start = 0, end; (end = taken.find("\r\n", start)) != taken.npos;
         start = end + 2) {
      const std::string line(taken.substr(start, end - start));
      if (std::count(line.begin(), line.end(), '\t') == 3) entries.insert(entries.begin(), line);
    }
    const std::size_t before = grid.rows.size();
    length = reader.LogFill(grid, length);
    FUZZ_CHECK(length == now);
    FUZZ_CHECK(grid.rows.size() == std::min<std::size_t>(before + entries.size(), 200));
    const std::size_t shown = std::min(entries.size(), grid.rows.size() - 1);
    FUZZ_CHECK(std::equal(entries.begin(), entries.begin() + shown, grid.rows.begin() + 1,
                          [](const std::string& line, const std::vector<std::string>& row) {
                            return line == row[0] + '\t' + row[1] + '\t' + row[2] + '\t' + row[3];
                          }));
  }
  return 0;
}
