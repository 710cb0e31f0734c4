// Fault helper for the hostile end-to-end tests: things a well-behaved
// program would not do to the manager's files and processes.
// Usage:
//   zlvfault lock FILE MS LINES   opens FILE with no sharing at all, appends
//                                 LINES log lines over MS milliseconds, closes
//   zlvfault kill PID             ends a process the hard way (no stop control)
//   zlvfault trayicons            icon windows of Wine's system tray, or -1
//                                 when there is no tray window to count in
//   zlvfault untray TITLE         removes icon 1 of that window from the tray,
//                                 as a restarted taskbar would have lost it
// Exit code 0 on success, 1 on failure, 2 on bad usage.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Lock(const char* file, DWORD ms, int lines) {
  HANDLE handle = CreateFileA(file, FILE_APPEND_DATA | GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "zlvfault: cannot open %s (%lu)\n", file, GetLastError());
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  const DWORD step = lines > 0 ? ms / static_cast<DWORD>(lines) : ms;
  for (int i = 1; i <= lines; ++i) {
    Sleep(step);
    const std::string line = "13:00:00\tInfo\tLocker\tWhile locked " + std::to_string(i) + "\r\n";
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  if (lines <= 0) Sleep(ms);
  CloseHandle(handle);
  return 0;
}

int Kill(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  if (!process) return 1;
  const BOOL ok = TerminateProcess(process, 9);
  CloseHandle(process);
  return ok ? 0 : 1;
}

// Wine's tray draws each icon as a window of its own: a child of the
// explorer's tray or of the X11 driver's stand-alone tray, or a top-level one.
struct TrayCount {
  bool trayFound = false;
  int icons = 0;
};

bool IsTrayIcon(HWND hwnd) {
  char name[128] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::string(name).find("tray_icon") != std::string::npos && IsWindowVisible(hwnd);
}

BOOL CALLBACK CountIcon(HWND child, LPARAM data) {
  if (IsTrayIcon(child)) ++reinterpret_cast<TrayCount*>(data)->icons;
  return TRUE;
}

BOOL CALLBACK FindTray(HWND top, LPARAM data) {
  auto* count = reinterpret_cast<TrayCount*>(data);
  char name[128] = {};
  GetClassNameA(top, name, sizeof name);
  const std::string className = name;
  if (className == "Shell_TrayWnd" || className == "__winex11_standalone_tray") {
    count->trayFound = true;
    EnumChildWindows(top, CountIcon, data);
  } else if (IsTrayIcon(top)) {
    ++count->icons;
  }
  return TRUE;
}

int TrayIcons() {
  TrayCount count;
  EnumWindows(FindTray, reinterpret_cast<LPARAM>(&count));
  std::printf("%d\n", count.trayFound || count.icons ? count.icons : -1);
  return 0;
}

int Untray(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) return 1;
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "lock" && argc == 5)
    return Lock(argv[2], std::strtoul(argv[3], nullptr, 10), std::atoi(argv[4]));
  if (command == "kill" && argc == 3) return Kill(std::strtoul(argv[2], nullptr, 10));
  if (command == "trayicons") return TrayIcons();
  if (command == "untray" && argc == 3) return Untray(argv[2]);
  std::fprintf(stderr,
               "zlvfault: usage: lock FILE MS LINES | kill PID | trayicons | untray TITLE\n");
  return 2;
}
