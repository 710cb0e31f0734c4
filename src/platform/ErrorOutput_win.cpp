#include "platform/ErrorOutput_win.h"

#include <vector>

namespace zlv {

ProgramVersion ReadOwnVersion() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return {};
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path, 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info) {
    return {};
  }
  return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
          LOWORD(info->dwFileVersionLS)};
}

ProgramVersion Win32ErrorOutput::Version() {
  return ReadOwnVersion();
}

std::string Win32ErrorOutput::GeneralDateTime() {
  char date[128] = {};
  char time[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
  return std::string(date) + " " + time;
}

void Win32ErrorOutput::ShowCritical(const std::string& text, const std::string& title) {
  // The program ends once the box is closed: nothing of it may run meanwhile,
  // neither a timer the box's own loop would deliver nor a click. Task-modal
  // disables every window of the program, shown or in the tray.
  gate_.Halt();
  MessageBoxA(nullptr, text.c_str(), title.c_str(),
              MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
}

void Win32ErrorOutput::Beep() {
  MessageBeep(MB_OK);
}

void Win32ErrorOutput::EndNow() {
  ExitProcess(kExitCriticalError);
}

}  // namespace zlv
