// The log file through the standard library, for builds without Win32.
#pragma once

#include <fstream>

#include "logmonitor/InfoLogReader.h"

namespace zlv {

class StreamLogFile final : public LogFileSource {
 public:
  void Open(const std::string& path) override;
  int64_t Length() override;
  std::size_t Read(int64_t offset, std::span<char> buffer) override;
  void Close() noexcept override;

 private:
  std::ifstream stream_;
};

}  // namespace zlv
