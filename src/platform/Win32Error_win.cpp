#include "platform/Win32Error_win.h"

namespace zlv {

std::string SystemErrorText(DWORD code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : "System error " + std::to_string(code);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

void RaiseWin32(DWORD code, const char* what) {
  // The number is the system's own code, so a message names the exact failure.
  Raise(static_cast<int32_t>(code), std::string(what) + ": " + SystemErrorText(code));
}

}  // namespace zlv
