// Automation driver for the end-to-end tests: finds another process's windows,
// clicks, types, and reads status bars, list-views and message boxes.
// Usage: zlvdriver COMMAND TITLE [ARGS...]; exit code 0 on success, 1 on failure
// (a wait that timed out, a window or control not found), 2 on bad usage.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

DWORD Now() {
  return GetTickCount();
}

std::string TextOf(HWND hwnd) {
  char text[1024] = {};
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[128] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

// A top-level window by title; "#32770:Title" asks for a dialog or message box of that title.
HWND FindByTitle(const std::string& title) {
  if (title.rfind("#32770:", 0) == 0) return FindWindowA("#32770", title.c_str() + 7);
  return FindWindowA(nullptr, title.c_str());
}

HWND FindTop(const std::string& title, DWORD waitMs = 0) {
  const DWORD end = Now() + waitMs;
  for (;;) {
    if (HWND hwnd = FindByTitle(title)) return hwnd;
    if (Now() >= end) return nullptr;
    Sleep(50);
  }
}

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

struct TitleCount {
  std::string title;
  int count = 0;
};

BOOL CALLBACK CountTitle(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<TitleCount*>(data);
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (search->title == text) ++search->count;
  return TRUE;
}

// A child by its text, or by "Class#n" (the n-th child of that class, from 0).
HWND FindChild(HWND parent, const std::string& pattern) {
  const auto hash = pattern.rfind('#');
  int wanted = -1;
  std::string className;
  if (hash != std::string::npos && hash + 1 < pattern.size() &&
      pattern.find_first_not_of("0123456789", hash + 1) == std::string::npos) {
    className = pattern.substr(0, hash);
    wanted = std::atoi(pattern.c_str() + hash + 1);
  }
  int seen = 0;
  for (HWND child : Children(parent)) {
    if (wanted >= 0) {
      if (_stricmp(ClassOf(child).c_str(), className.c_str()) == 0 && seen++ == wanted)
        return child;
    } else if (TextOf(child) == pattern) {
      return child;
    }
  }
  return nullptr;
}

// Sends a message whose buffer must live in the target process.
template <class T>
bool RemoteCall(HWND hwnd, UINT message, WPARAM wParam, T& local, size_t extra, char* extraOut,
                void (*fix)(T&, char* remoteExtra) = nullptr) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  const size_t size = sizeof(T) + extra;
  char* remote =
      static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  bool ok = remote != nullptr;
  if (ok) {
    T copy = local;
    if (fix) fix(copy, remote + sizeof(T));
    std::vector<char> zero(size, 0);
    WriteProcessMemory(process, remote, zero.data(), size, nullptr);
    WriteProcessMemory(process, remote, &copy, sizeof copy, nullptr);
    DWORD_PTR result = 0;
    ok = SendMessageTimeoutA(hwnd, message, wParam, reinterpret_cast<LPARAM>(remote),
                             SMTO_ABORTIFHUNG, 5000, &result) != 0;
    if (ok && extraOut) ReadProcessMemory(process, remote + sizeof(T), extraOut, extra, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return ok;
}

std::string StatusText(HWND statusBar) {
  DWORD pid = 0;
  GetWindowThreadProcessId(statusBar, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  char* remote =
      static_cast<char*>(VirtualAllocEx(process, nullptr, 1024, MEM_COMMIT, PAGE_READWRITE));
  char text[1024] = {};
  if (remote) {
    WriteProcessMemory(process, remote, text, sizeof text, nullptr);
    SendMessageTimeoutA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    ReadProcessMemory(process, remote, text, sizeof text - 1, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

std::string ListViewCell(HWND listView, int item, int column) {
  LVITEMA lv{};
  lv.iSubItem = column;
  lv.cchTextMax = 1024;
  char text[1024] = {};
  RemoteCall<LVITEMA>(listView, LVM_GETITEMTEXTA, item, lv, sizeof text, text,
                      [](LVITEMA& copy, char* remoteText) { copy.pszText = remoteText; });
  return text;
}

std::string HeaderText(HWND header, int column) {
  HDITEMA hd{};
  hd.mask = HDI_TEXT;
  hd.cchTextMax = 256;
  char text[256] = {};
  RemoteCall<HDITEMA>(header, HDM_GETITEMA, column, hd, sizeof text, text,
                      [](HDITEMA& copy, char* remoteText) { copy.pszText = remoteText; });
  return text;
}

int Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "zlvdriver: %s: %s\n", what, detail.c_str());
  return 1;
}

// Read through psapi.dll, which exports the function from XP on (Windows 7
// forwards it to kernel32), so the driver links no psapi import library.
bool ProcessMemory(HANDLE process, PROCESS_MEMORY_COUNTERS& memory) {
  using GetMemoryInfo = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
  const HMODULE psapi = LoadLibraryA("psapi.dll");
  if (!psapi) return false;
  const auto get = reinterpret_cast<GetMemoryInfo>(
      reinterpret_cast<void*>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
  const bool read = get && get(process, &memory, sizeof memory);
  FreeLibrary(psapi);
  return read;
}

std::string WindowStateOf(HWND hwnd) {
  const LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  std::string s = !IsWindowVisible(hwnd) ? "hidden"
                  : IsIconic(hwnd)       ? "minimized"
                  : IsZoomed(hwnd)       ? "maximized"
                                         : "normal";
  s += (ex & WS_EX_TOOLWINDOW) ? " notaskbar" : " taskbar";
  return s;
}

int Run(const std::vector<std::string>& a) {
  if (a.size() < 2) return 2;
  const std::string& command = a[0];
  const std::string& title = a[1];
  const DWORD waitMs = 10000;

  if (command == "wait") {  // wait TITLE [ms]: the window exists
    return FindTop(title, a.size() > 2 ? std::atoi(a[2].c_str()) : waitMs)
               ? 0
               : Fail("no window", title);
  }
  if (command == "wait-visible") {
    const DWORD end = Now() + (a.size() > 2 ? std::atoi(a[2].c_str()) : waitMs);
    do {
      HWND hwnd = FindByTitle(title);
      if (hwnd && IsWindowVisible(hwnd)) return 0;
      Sleep(50);
    } while (Now() < end);
    return Fail("not visible", title);
  }
  if (command == "count") {  // count TITLE: how many top-level windows carry the title
    TitleCount search{title};
    EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&search));
    std::printf("%d\n", search.count);
    return 0;
  }
  if (command == "gone") {  // gone TITLE [ms]: no such window any more
    const DWORD end = Now() + (a.size() > 2 ? std::atoi(a[2].c_str()) : waitMs);
    while (FindByTitle(title)) {
      if (Now() >= end) return Fail("still there", title);
      Sleep(50);
    }
    return 0;
  }

  HWND hwnd = FindTop(title, waitMs);
  if (!hwnd) return Fail("no window", title);

  if (command == "state") {
    std::printf("%s\n", WindowStateOf(hwnd).c_str());
  } else if (command == "rect") {
    RECT r{}, c{};
    GetWindowRect(hwnd, &r);
    GetClientRect(hwnd, &c);
    std::printf("%ld %ld %ld %ld client %ld %ld\n", r.left, r.top, r.right - r.left,
                r.bottom - r.top, c.right, c.bottom);
  } else if (command == "procinfo") {  // working set KiB, handles, GDI, USER objects, CPU ms
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return Fail("cannot open process", title);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!ProcessMemory(process, memory)) {
      CloseHandle(process);
      return Fail("cannot read process memory", title);
    }
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
      return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
    };
    std::printf("%llu %lu %lu %lu %llu\n",
                static_cast<unsigned long long>(memory.WorkingSetSize / 1024), handles,
                GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS),
                ms(kernel) + ms(user));
    CloseHandle(process);
  } else if (command == "dpi") {
    HDC dc = GetDC(nullptr);
    std::printf("%d\n", GetDeviceCaps(dc, LOGPIXELSX));
    ReleaseDC(nullptr, dc);
  } else if (command == "controls") {  // class id visible left top width height text
    for (HWND child : Children(hwnd)) {
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
      std::printf("%s\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t%s\n", ClassOf(child).c_str(),
                  GetDlgCtrlID(child), IsWindowVisible(child) ? 1 : 0, r.left, r.top,
                  r.right - r.left, r.bottom - r.top, TextOf(child).c_str());
    }
  } else if (command ==
             "click") {  // click TITLE CONTROL: posted, so a modal dialog cannot block us
    HWND button = a.size() > 2 ? FindChild(hwnd, a[2]) : nullptr;
    if (!button) return Fail("no control", a.size() > 2 ? a[2] : "");
    PostMessageA(button, BM_CLICK, 0, 0);
  } else if (command == "settext") {  // settext TITLE CONTROL TEXT
    HWND control = a.size() > 3 ? FindChild(hwnd, a[2]) : nullptr;
    if (!control) return Fail("no control", a.size() > 2 ? a[2] : "");
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()));
  } else if (command == "gettext") {  // gettext TITLE CONTROL
    HWND control = a.size() > 2 ? FindChild(hwnd, a[2]) : nullptr;
    if (!control) return Fail("no control", a.size() > 2 ? a[2] : "");
    std::printf("%s\n", TextOf(control).c_str());
  } else if (command == "char") {  // char TITLE CONTROL CODE: one typed character
    HWND control = a.size() > 3 ? FindChild(hwnd, a[2]) : nullptr;
    if (!control) return Fail("no control", a.size() > 2 ? a[2] : "");
    const int code = std::atoi(a[3].c_str());
    if (code == VK_RETURN || code == VK_ESCAPE) {
      PostMessageA(control, WM_KEYDOWN, code, 1);
    }
    PostMessageA(control, WM_CHAR, code, 1);
    if (code == VK_RETURN || code == VK_ESCAPE) {
      PostMessageA(control, WM_KEYUP, code, 0xC0000001);
    }
  } else if (command == "status") {  // status TITLE: panel 1 of the status bar
    HWND bar = FindChild(hwnd, std::string(STATUSCLASSNAMEA) + "#0");
    if (!bar) return Fail("no status bar", title);
    std::printf("%s\n", StatusText(bar).c_str());
  } else if (command == "wait-status") {  // wait-status TITLE TEXT [ms]
    HWND bar = FindChild(hwnd, std::string(STATUSCLASSNAMEA) + "#0");
    if (!bar || a.size() < 3) return Fail("no status bar", title);
    const DWORD end = Now() + (a.size() > 3 ? std::atoi(a[3].c_str()) : waitMs);
    std::string last;
    while ((last = StatusText(bar)) != a[2]) {
      if (Now() >= end) return Fail("status stays", last);
      Sleep(50);
    }
  } else if (command == "listview") {  // listview TITLE: header, then one line per row
    HWND list = FindChild(hwnd, std::string(WC_LISTVIEWA) + "#0");
    if (!list) return Fail("no list-view", title);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::string line;
    for (int c = 0; c < columns; ++c) line += (c ? "\t" : "") + HeaderText(header, c);
    std::printf("%s\n", line.c_str());
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
      line.clear();
      for (int c = 0; c < columns; ++c) line += (c ? "\t" : "") + ListViewCell(list, r, c);
      std::printf("%s\n", line.c_str());
    }
  } else if (command == "close") {
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
  } else if (command == "endsession") {  // the system's end-session message
    SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    SendMessageTimeoutA(hwnd, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  } else if (command == "minimize") {
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (command == "message") {  // message TITLE MSG [WPARAM [LPARAM]]: a posted message
    if (a.size() < 3) return 2;
    const UINT message = a[2].find_first_not_of("0123456789") == std::string::npos
                             ? static_cast<UINT>(std::strtoul(a[2].c_str(), nullptr, 0))
                             : RegisterWindowMessageA(a[2].c_str());
    PostMessageA(hwnd, message, a.size() > 3 ? std::strtoul(a[3].c_str(), nullptr, 0) : 0,
                 a.size() > 4 ? std::strtol(a[4].c_str(), nullptr, 0) : 0);
  } else if (command == "tray") {  // tray TITLE CODE: what the tray sends for a mouse event
    if (a.size() < 3) return 2;
    PostMessageA(hwnd, WM_MOUSEMOVE, 1, std::strtol(a[2].c_str(), nullptr, 0));
  } else if (command == "menu") {  // menu TITLE KEY...: right-click the tray icon, then keys
    // Menus cannot be read from another process under Wine, so the entry is
    // reached by the keys a user would press: down, up, right, left, enter, escape.
    if (a.size() < 3) return 2;
    PostMessageA(hwnd, WM_MOUSEMOVE, 1, 0x205);
    HWND popup = nullptr;
    for (const DWORD end = Now() + waitMs; !popup && Now() < end; Sleep(50)) {
      popup = FindWindowA("#32768", nullptr);
      if (popup && !IsWindowVisible(popup)) popup = nullptr;
    }
    if (!popup) return Fail("no pop-up menu", title);
    for (size_t i = 2; i < a.size(); ++i) {
      const std::string& key = a[i];
      const WPARAM vk = key == "down"    ? VK_DOWN
                        : key == "up"    ? VK_UP
                        : key == "right" ? VK_RIGHT
                        : key == "left"  ? VK_LEFT
                        : key == "enter" ? VK_RETURN
                                         : VK_ESCAPE;
      PostMessageA(popup, WM_KEYDOWN, vk, 1);
      PostMessageA(popup, WM_KEYUP, vk, 0xC0000001);
      Sleep(100);
    }
    for (const DWORD end = Now() + waitMs;; Sleep(50)) {
      HWND open = FindWindowA("#32768", nullptr);
      if (!open || !IsWindowVisible(open)) break;
      if (Now() >= end) return Fail("menu still open", title);
    }
  } else if (command == "dialog") {  // dialog TITLE: the texts of a message box or dialog
    for (HWND child : Children(hwnd)) {
      if (ClassOf(child) == "Static" && !TextOf(child).empty()) {
        std::printf("%s\n", TextOf(child).c_str());
      }
    }
  } else {
    return 2;
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int rc = Run(args);
  if (rc == 2) std::fprintf(stderr, "zlvdriver: usage: zlvdriver COMMAND TITLE [ARGS...]\n");
  return rc;
}
