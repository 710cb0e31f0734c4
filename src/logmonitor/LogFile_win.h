// The log file through a Win32 handle shared for reading, writing and
// deletion, so the application can append to, truncate, rename or replace
// InfoLog.txt while a tick reads it.
#pragma once

#include <windows.h>

#include "logmonitor/InfoLogReader.h"

namespace zlv {

class Win32LogFile final : public LogFileSource {
 public:
  Win32LogFile() = default;
  Win32LogFile(const Win32LogFile&) = delete;
  Win32LogFile& operator=(const Win32LogFile&) = delete;
  ~Win32LogFile() override { Close(); }

  void Open(const std::string& path) override;
  int64_t Length() override;
  std::size_t Read(int64_t offset, std::span<char> buffer) override;
  void Close() noexcept override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace zlv
