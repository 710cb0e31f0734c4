#include "platform/Desktop_win.h"

#include <shellapi.h>

#include "platform/WindowBase_win.h"

namespace zlv {

float SystemClock::SecondsSinceMidnight() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
         static_cast<float>(now.wMilliseconds) / 1000.0f;
}

void MessagePump::DoEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit for the main loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    RethrowCarriedFailure();
  }
}

int32_t OwnedMessageBoxes::Show(const std::string& text, int32_t flags, const std::string& title) {
  return MessageBoxA(owner_(), text.c_str(), title.c_str(), static_cast<UINT>(flags));
}

void ShellOpen::Open(const std::string& operation, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int32_t showMode) {
  // The caller says nothing about a program that cannot be opened, so the shell must not either.
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = owner_();
  info.lpVerb = operation.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = showMode;
  ShellExecuteExA(&info);
}

std::string CommandLineArguments() {
  const char* line = GetCommandLineA();
  // Skip the program's name, quoted or not, and the blanks after it.
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

std::string ProgramFile() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::string ProgramFolder() {
  const std::string file = ProgramFile();
  const auto slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace zlv
