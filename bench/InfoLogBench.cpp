// Times one tick of the InfoLog reader (10000 new bytes of 100-byte lines,
// grid operations left out) against the plainest read and memchr split of
// the same bytes. Prints microseconds per tick and the ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "logmonitor/InfoLogReader.h"
#include "logmonitor/LogFile.h"

namespace {

using Clock = std::chrono::steady_clock;

class NullGrid final : public zlv::LogGrid {
 public:
  void SetRedraw(bool) override {}
  void InsertRow(int32_t, std::span<const std::string_view> cells) override {
    sink += cells[0].size();
  }
  int32_t Rows() override { return 1; }
  void SetRows(int32_t) override {}
  int32_t Cols() override { return 4; }
  void SetView(int32_t) override {}
  void AutoSize(int32_t, int32_t, bool, int32_t) override {}
  std::size_t sink = 0;
};

// fopen, fread and memchr over lines and fields: the floor for this work.
std::size_t PlainReadSplit(const char* path, long offset, std::vector<char>& buffer,
                           std::vector<std::string_view>& lines, bool fields) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  const long length = std::ftell(f);
  std::fseek(f, offset, SEEK_SET);
  buffer.resize(static_cast<std::size_t>(length - offset));
  const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
  std::fclose(f);
  lines.clear();
  const char* p = buffer.data();
  const char* end = p + got;
  std::size_t tabs = 0;
  while (const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
    lines.emplace_back(p, lf - p);
    if (fields) {
      for (const char* t = p; (t = static_cast<const char*>(std::memchr(t, '\t', lf - t))); ++t) {
        ++tabs;
      }
    }
    p = lf + 1;
  }
  return lines.size() + tabs;
}

template <class Body>
double MedianMicros(int rounds, int perRound, Body&& body) {
  std::vector<double> samples;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    for (int i = 0; i < perRound; ++i) body();
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    samples.push_back(spent.count() / perRound);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

}  // namespace

int main() {
  const auto path = std::filesystem::temp_directory_path() / "zlv-infolog-bench.txt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int id = 0; id < 200; ++id) {
      std::string line = std::to_string(100000 + id) + "\tINFO\tSWITCH-1\t";
      line.append(98 - line.size(), 'x');
      out << line << "\r\n";
    }
  }
  const std::string pathText = path.string();
  const int32_t consumed = 10000;  // the file holds 20000: each tick reads 10000

  zlv::StreamLogFile file;
  zlv::InfoLogReader reader(file);
  reader.LogFilePath = pathText;
  NullGrid grid;
  std::vector<char> buffer;
  std::vector<std::string_view> lines;
  std::size_t sink = 0;

  const int rounds = 31;
  const int perRound = 2000;
  const double plainLines = MedianMicros(rounds, perRound, [&] {
    sink += PlainReadSplit(pathText.c_str(), consumed, buffer, lines, false);
  });
  const double plainFields = MedianMicros(rounds, perRound, [&] {
    sink += PlainReadSplit(pathText.c_str(), consumed, buffer, lines, true);
  });
  const double ours =
      MedianMicros(rounds, perRound, [&] { sink += reader.LogFill(grid, consumed); });

  std::printf("read+split of 10000 bytes (100 lines), median of %d x %d ticks:\n", rounds,
              perRound);
  std::printf("  plain fread + memchr lines         %8.2f us\n", plainLines);
  std::printf("  plain fread + memchr lines, fields %8.2f us\n", plainFields);
  std::printf("  LogFill (no grid work)             %8.2f us  (%.2fx / %.2fx)\n", ours,
              ours / plainLines, ours / plainFields);
  std::printf("(checksum %zu)\n", sink + grid.sink);
  std::filesystem::remove(path);
  return 0;
}
