#include "logmonitor/LogFile_win.h"

#include <algorithm>

#include "platform/Win32Error_win.h"

namespace zlv {

void Win32LogFile::Open(const std::string& path) {
  Close();
  handle_ = CreateFileA(path.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) RaiseLastError("CreateFileA");
}

int64_t Win32LogFile::Length() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_, &size)) RaiseLastError("GetFileSizeEx");
  return size.QuadPart;
}

std::size_t Win32LogFile::Read(int64_t offset, std::span<char> buffer) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    // The offset travels with each read, so nothing depends on the file pointer.
    OVERLAPPED at{};
    const int64_t position = offset + static_cast<int64_t>(total);
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - total, 1 << 20));
    if (!ReadFile(handle_, buffer.data() + total, want, &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      RaiseLastError("ReadFile");
    }
    if (got == 0) break;  // the writer truncated the file meanwhile
    total += got;
  }
  return total;
}

void Win32LogFile::Close() noexcept {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace zlv
