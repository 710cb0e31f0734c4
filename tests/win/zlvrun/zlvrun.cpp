// zlvrun: the end-to-end scenarios of tests/e2e/scenarios.txt, run inside Wine
// beside the manager, which it drives and reads across processes. A scenario
// starts from a reset (no manager, no service, a freshly filled application
// folder); its first step that does not hold fails it. A step that names a
// window or control waits for it. A check reads something and compares it:
//   READER ARGS... is|has|starts TEXT [MAX|MIN..MAX] [alive]
// within MAX ms; "alive": every read answered within a second. A reader
// without the comparison prints what it reads. A line indented by two spaces
// or more goes on with the step above it, less those two.
//   zlvrun FILE [SCENARIO...]   the scenarios named, or all; exit code: failures
//   zlvrun --do STEP...         steps without a reset, each timed
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "../WinTestKit.h"

namespace {

using namespace zlv::wintest;

using Args = std::vector<std::string>;
constexpr size_t kText = 1024;

void Expect(bool holds, const std::string& otherwise) {
  if (!holds) throw std::runtime_error(otherwise);
}
long Num(const std::string& text) {
  return std::strtol(text.c_str(), nullptr, 0);
}
std::string Str(long number) {
  return std::to_string(number);
}
long Since(DWORD start) {
  return static_cast<long>(GetTickCount() - start);
}

// "MAX" or "MIN..MAX" milliseconds.
std::pair<long, long> Span(const std::string& text) {
  return {text.find("..") == text.npos ? 0 : Num(text), Num(text.substr(text.rfind('.') + 1))};
}

// Words, and "quoted texts" knowing \r \n \t \0 \" \\; other backslashes stay.
Args Tokens(const std::string& line) {
  Args out;
  for (size_t i = line.find_first_not_of(' '); i < line.size();
       i = line.find_first_not_of(' ', i + 1)) {
    const char end = line[i] == '"' ? '"' : ' ';
    std::string token;
    for (i += end == '"'; i < line.size() && line[i] != end; ++i) {
      const size_t escape =
          end == '"' && line[i] == '\\' ? std::string("rnt0\"\\").find(line[i + 1]) : 6;
      i += escape < 6;
      token += escape < 6 ? "\r\n\t\0\"\\"[escape] : line[i];
    }
    out.push_back(token);
  }
  return out;
}

bool Matches(const std::string& actual, const std::string& mode, const std::string& expected) {
  if (mode == "is") return actual == expected;
  return mode == "starts" ? actual.rfind(expected, 0) == 0 : actual.find(expected) != actual.npos;
}

// The manager's windows and the bare window by class, else a message box by title. A
// one-shot copy's hidden window carries the class too: a shown window wins.
HWND Find(const std::string& name) {
  const std::map<std::string, const char*> ours{{"manager", "ZemloLinkvaneManager"},
                                                {"login", "ZlvInstallAsDialog"},
                                                {"monitor", "ZemloLinkvaneMonitorLog"},
                                                {"bare", "BareWindow"}};
  const char* cls = ours.count(name) ? ours.at(name) : "#32770";
  const char* title = ours.count(name) ? nullptr : name.c_str();
  HWND first = FindWindowExA(nullptr, nullptr, cls, title);
  for (HWND w = first; w; w = FindWindowExA(nullptr, w, cls, title))
    if (IsWindowVisible(w)) return w;
  return first;
}

HWND Window(const std::string& name) {
  HWND hwnd = nullptr;
  Expect(Within(20000, [&] { return (hwnd = Find(name)) != nullptr; }), "no window " + name);
  return hwnd;
}

std::string TextOf(HWND hwnd) {
  char text[kText] = {};
  SendMessageTimeoutA(hwnd, WM_GETTEXT, kText, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
  return all;
}

// "." is the window itself, "Class#n" its n-th child of that class, any other
// name the child showing that text.
HWND Control(HWND top, const std::string& name) {
  const size_t hash = name.rfind('#');
  const bool byClass = hash != name.npos && isdigit(name[hash + 1]);
  HWND found = name == "." ? top : nullptr;
  Within(10000, [&] {  // a window being built
    long nth = byClass ? Num(name.substr(hash + 1)) : 0;
    for (HWND c : found ? std::vector<HWND>() : Children(top))
      if (byClass ? ClassOf(c) == name.substr(0, hash) && nth-- == 0 : TextOf(c) == name) found = c;
    return found != nullptr;
  });
  Expect(found, "no control " + name);
  return found;
}

HWND Control(const Args& a) {
  return Control(Window(a.at(1)), a.at(2));
}

// Input is posted once, as a user gives it: the manager keeps what comes
// during a quick service call and drops what comes during a long one.
bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, const std::function<bool()>& seen,
          long ms = 10000) {
  PostMessageA(hwnd, message, wParam, lParam);
  return Within(ms, seen);
}

// The text a message leaves in the target process: at lParam, or behind
// `item`, a structure that points to it there.
template <class Item = char>
std::string RemoteText(HWND target, UINT message, WPARAM wParam, Item item = {}) {
  DWORD pid = 0;
  GetWindowThreadProcessId(target, &pid);
  const HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  const size_t offset = std::is_same_v<Item, char> ? 0 : sizeof item;
  const auto remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, offset + kText, MEM_COMMIT, PAGE_READWRITE));
  if constexpr (!std::is_same_v<Item, char>)
    item.pszText = remote + offset, item.cchTextMax = kText;
  char text[kText] = {};
  if (remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr)) {
    SendMessageTimeoutA(target, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    ReadProcessMemory(process, remote + offset, text, kText - 1, nullptr);
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (process) CloseHandle(process);
  return text;
}

// A row, or "*" for all rows, one a line; cells joined by tabs.
std::string Row(HWND list, const std::string& which) {
  const long rows = static_cast<long>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = Num(which) < rows ? SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
  std::string line;
  for (long r = 0; which == "*" && r < rows; ++r) line += Row(list, Str(r)) + "\n";
  for (int c = 0; which != "*" && c < columns; ++c) {
    LVITEMA cell{};
    cell.iSubItem = c;
    line += (c ? "\t" : "") + RemoteText(list, LVM_GETITEMTEXTA, Num(which), cell);
  }
  return line;
}

// The system icon a picture shows: the one that, drawn over the picture's own
// background, gives (nearly) its pixels on the screen; "own" for any other.
std::string IconOf(HWND picture) {
  RECT r{};
  GetWindowRect(picture, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  const HGDIOBJ before = SelectObject(dc, CreateCompatibleBitmap(screen, w, 2 * h));
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SetDCBrushColor(dc, GetPixel(dc, 0, 0));
  std::string shown = "own";
  for (const auto& [id, name] : {std::pair{IDI_ASTERISK, "information"},
                                 {IDI_EXCLAMATION, "exclamation"},
                                 {IDI_QUESTION, "question"},
                                 {IDI_HAND, "critical"}}) {
    const RECT below{0, h, w, 2 * h};
    FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawIconEx(dc, 0, h, LoadIconA(nullptr, id), w, h, 0, nullptr, DI_NORMAL);
    long differ = 0;
    for (int i = 0; i < w * h; ++i)
      differ += GetPixel(dc, i % w, i / w) != GetPixel(dc, i % w, h + i / w);
    if (differ * 20 < w * h) shown = name;
  }
  DeleteObject(SelectObject(dc, before));
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return shown;
}

// What a control shows beyond its text: a password box's mask, a list's
// column titles, a picture's icon.
std::string Shows(HWND control) {
  const std::string cls = ClassOf(control);
  const auto mask = cls == "Edit" ? SendMessageA(control, EM_GETPASSWORDCHAR, 0, 0) : 0;
  if (mask) return " mask " + std::string(1, static_cast<char>(mask));
  if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && cls == "Static")
    return " icon " + IconOf(control);
  if (cls != WC_LISTVIEWA) return "";
  const auto header = reinterpret_cast<HWND>(SendMessageA(control, LVM_GETHEADER, 0, 0));
  std::string titles = " columns";
  HDITEMA title{};
  title.mask = HDI_TEXT;
  for (int c = 0; c < SendMessageA(header, HDM_GETITEMCOUNT, 0, 0); ++c)
    titles += (c ? ", " : " ") + RemoteText(header, HDM_GETITEMA, c, title);
  return titles;
}

int Pixels(long twips, int axis) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

// A registry value's type (0: there is none) and bytes.
std::pair<DWORD, std::string> Value(HKEY root, const std::string& keyName,
                                    const std::string& name) {
  HKEY key = nullptr;
  char data[4096];
  DWORD type = 0, size = sizeof data;
  if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_READ, &key) ||
      RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size))
    type = size = 0;
  if (key) RegCloseKey(key);
  return {type, std::string(data, size)};
}

class Runner {
 public:
  Runner();
  void Step(const Args& a) {
    if (steps_.count(a.at(0))) return steps_[a[0]](a);
    Expect(readers_.count(a[0]), "no such step");
    const auto read = [&] { return readers_[a[0]](a); };
    const auto mode = std::find_if(a.begin() + 1, a.end(), [](const std::string& word) {
      return word == "is" || word == "has" || word == "starts";
    });
    if (mode == a.end()) return (void)std::printf("%s\n", read().c_str());
    const size_t at = mode - a.begin();
    const bool alive = a.back() == "alive";
    const auto [min, max] = Span(a.size() > at + 2 + alive ? a[at + 2] : "0");
    std::string last;
    const DWORD start = GetTickCount();
    const bool held = Within(max, [&] {
      const DWORD reading = GetTickCount();
      last = read();
      // Busy or not, the window answers within a second the whole time: a
      // window that froze would not answer until the service call ends, seconds
      // later, while a loaded machine can delay a read for a few hundred ms.
      Expect(!alive || Since(reading) <= 1000, "a read took " + Str(Since(reading)) + " ms");
      return Matches(last, *mode, a.at(at + 1));
    });
    std::replace_if(
        last.begin(), last.end(), [](char c) { return c >= 0 && c < ' '; }, '~');
    Expect(held && Since(start) >= min,
           "[" + last.substr(0, 200) + "] after " + Str(Since(start)) + " ms");
  }

  void Reset(const std::string& app = "C:\\Zemlo") {
    if (holder_.joinable()) holder_.join();
    for (const auto& [process, start] : started_) Kill(process);
    started_.clear();
    Expect(RemoveService(), "the service stays");
    std::error_code ignored;
    for (const std::string& folder : folders_) std::filesystem::remove_all(folder, ignored);
    std::filesystem::remove_all(Path("%APPDATA%\\Zemlo"), ignored);
    folders_ = {app_ = app};
    cwd_.clear();
    std::filesystem::create_directories(app, ignored);
    for (const char* program :
         {"..\\ZemloLinkvaneManager.exe", "Linkvane_Service.exe", "Linkvane.exe"})
      Step({"copy", program, std::filesystem::path(program).filename().string()});
  }

 private:
  // In the application folder unless absolute or under %APPDATA%.
  std::string Path(const std::string& name) const {
    char expanded[MAX_PATH] = {};
    if (name[0] == '%' && ExpandEnvironmentStringsA(name.c_str(), expanded, MAX_PATH))
      return expanded;
    return name.find(':') != name.npos ? name : app_ + "\\" + name;
  }

  std::map<std::string, std::function<void(const Args&)>> steps_;
  std::map<std::string, std::function<std::string(const Args&)>> readers_;
  std::string programs_;  // the test programs' folder; the manager sits one above
  std::string app_, cwd_;
  std::vector<std::string> folders_;
  std::vector<std::pair<HANDLE, DWORD>> started_;  // with the tick of the start
  std::thread holder_;
};

Runner::Runner() {
  programs_ = ProgramsFolder();
  folders_ = {app_ = "C:\\Zemlo"};
  auto& s = steps_;

  // What a scenario starts from.
  s["dpi"] = [](const Args&) {};      // dpi N...: for these DPIs; 96 if none
  s["app"] = [this](const Args& a) {  // app FOLDER CWD: another application and current folder
    Reset(a.at(1));
    folders_.push_back(cwd_ = a.at(2));
    std::filesystem::create_directories(cwd_);
  };
  s["copy"] = [this](const Args& a) {  // copy PROGRAM NAME: one of the test programs
    Expect(CopyFileA((programs_ + "\\" + a.at(1)).c_str(), Path(a.at(2)).c_str(), FALSE),
           "cannot copy " + a[1]);
  };
  s["write"] = [this](const Args& a) {  // write FILE TEXT [TIMES], with "{n}" counting the times
    std::ofstream file(Path(a.at(1)), std::ios::binary);
    for (long n = 1; n <= (a.size() > 3 ? Num(a[3]) : 1); ++n) {
      std::string once = a.at(2);
      for (size_t at; (at = once.find("{n}")) != once.npos;) once.replace(at, 3, Str(n));
      file << once;
    }
  };
  s["rename"] = [this](const Args& a) {  // rename FROM TO: replaces TO in one go
    Expect(MoveFileExA(Path(a.at(1)).c_str(), Path(a.at(2)).c_str(), MOVEFILE_REPLACE_EXISTING),
           "rename");
  };

  // start [PROGRAM.exe] [ARGUMENT...] [exits CODE [MIN..]MAX]
  s["start"] = [this](const Args& a) {
    const auto exits = std::find(a.begin(), a.end(), "exits");
    const bool other = a.size() > 1 && a[1].find(".exe") != a[1].npos;
    const std::string program = Path(other ? a[1] : "ZemloLinkvaneManager.exe");
    std::string line = "\"" + program + "\"";
    for (auto arg = a.begin() + 1 + other; arg < exits; ++arg) line += " " + *arg;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Detached: a program that outlives this one must not hold its output open.
    Expect(CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                          nullptr, (cwd_.empty() ? app_ : cwd_).c_str(), &startup, &info),
           "cannot start " + program);
    CloseHandle(info.hThread);
    started_.emplace_back(info.hProcess, GetTickCount());
    if (exits != a.end()) Step(Args(exits, a.end()));
  };
  s["exits"] = [this](const Args& a) {  // exits CODE [MIN..]MAX: the program started last
    Expect(!started_.empty(), "nothing started");
    const auto [process, start] = started_.back();
    const auto [min, max] = Span(a.at(2));
    WaitForSingleObject(process, std::max(0L, max - Since(start)));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    Expect(code == static_cast<DWORD>(Num(a[1])) && Since(start) >= min,
           "exit code " + Str(code) + " after " + Str(Since(start)) + " ms");
  };
  // hold FILE MS none|read [TEXT]: held open for MS, sharing nothing or only reading; with
  // TEXT, that is added through it
  s["hold"] = [this](const Args& a) {
    Expect(!holder_.joinable(), "still holding");
    const std::string text = a.size() > 4 ? a[4] : "";
    const HANDLE file =
        CreateFileA(Path(a.at(1)).c_str(), text.empty() ? GENERIC_READ : FILE_APPEND_DATA,
                    a.at(3) == "read" ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(file != INVALID_HANDLE_VALUE, "cannot hold " + a[1]);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    holder_ = std::thread([file, ms = Num(a.at(2))] { Sleep(ms), CloseHandle(file); });
  };
  s["join"] = [this](const Args&) { holder_.join(); };  // waits for the hold to end
  s["sleep"] = [](const Args& a) { Sleep(Num(a.at(1))); };
  s["reset"] = [this](const Args&) { Reset(); };

  // The user's hand.
  s["click"] = [](const Args& a) {  // click WINDOW CONTROL: once its window takes input
    const HWND button = Control(a), window = GetAncestor(button, GA_ROOT);
    Expect(Within(20000, [&] { return IsWindowVisible(window) && IsWindowEnabled(window); }),
           "not shown or not enabled");
    PostMessageA(button, BM_CLICK, 0, 0);
  };
  s["type"] = [](const Args& a) {
    SendMessageTimeoutA(Control(a), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.at(3).c_str()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
  };
  s["key"] = [](const Args& a) {  // key WINDOW CONTROL enter|escape: the dialog closes
    const HWND control = Control(a), dialog = GetAncestor(control, GA_ROOT);
    const UINT vk = a.at(3) == "escape" ? VK_ESCAPE : VK_RETURN;
    const LPARAM scan = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
    // A key stroke, which the dialog's loop turns into a character.
    PostMessageA(control, WM_KEYDOWN, vk, scan);
    Expect(Post(control, WM_KEYUP, vk, scan | 0xC0000000, [&] { return !IsWindowVisible(dialog); }),
           "the dialog stays");
  };
  s["close"] = [](const Args& a) { PostMessageA(Window(a.at(1)), WM_CLOSE, 0, 0); };
  s["move"] = [](const Args& a) {  // move WINDOW LEFT TOP, twips
    SetWindowPos(Window(a.at(1)), nullptr, Pixels(Num(a.at(2)), LOGPIXELSX),
                 Pixels(Num(a.at(3)), LOGPIXELSY), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  };
  // post|send WINDOW MESSAGE [WPARAM LPARAM]; a name is registered. Send is as the tray
  // sends its callbacks: without waiting for the answer.
  for (const auto deliver : {&PostMessageA, &SendNotifyMessageA})
    s[deliver == &PostMessageA ? "post" : "send"] = [deliver](const Args& a) {
      const UINT message = isdigit(a.at(2)[0]) ? Num(a[2]) : RegisterWindowMessageA(a[2].c_str());
      deliver(Window(a[1]), message, a.size() > 3 ? Num(a[3]) : 0, a.size() > 4 ? Num(a[4]) : 0);
    };
  s["menu"] = [](const Args& a) {  // menu down|right|enter...: the tray icon's right click, keys
    // Menus cannot be read from another process under Wine: an entry is reached by a user's
    // keys, all at once, so that no poll comes between them. A right click that comes during
    // a long service call is dropped, as the user's would be: it is given again.
    HWND popup = nullptr;
    const auto open = [&] { return IsWindowVisible(popup = FindWindowA("#32768", nullptr)); };
    const HWND manager = Window("manager");
    Expect(Within(10000, [&] { return Post(manager, WM_MOUSEMOVE, 1, WM_RBUTTONUP, open, 1000); }),
           "no menu");
    for (size_t i = 1; i < a.size(); ++i) {
      const WPARAM vk = a[i] == "down" ? VK_DOWN : a[i] == "right" ? VK_RIGHT : VK_RETURN;
      PostMessageA(popup, WM_KEYDOWN, vk, 1);
      PostMessageA(popup, WM_KEYUP, vk, 0xC0000001);
    }
    Expect(Within(10000, [&] { return !open(); }), "the menu stays open");
  };
  s["untray"] = [](const Args& a) {  // the icon lost, as a restarted taskbar loses it
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = Window(a.at(1));
    icon.uID = 1;
    Expect(Shell_NotifyIconA(NIM_DELETE, &icon), "no icon to remove");
  };

  // Readers: what a check compares, or prints.
  auto& r = readers_;
  r["status"] = [](const Args&) {
    return RemoteText(Control(Window("manager"), STATUSCLASSNAMEA "#0"), SB_GETTEXTA, 0);
  };
  r["state"] = [](const Args& a) {  // state WINDOW: gone, hidden or shown; notaskbar
    const HWND hwnd = Find(a.at(1));
    return std::string(!hwnd                   ? "gone"
                       : IsWindowVisible(hwnd) ? "shown"
                                               : "hidden") +
           (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW ? " notaskbar" : "");
  };
  r["enabled"] = [](const Args& a) { return IsWindowEnabled(Window(a.at(1))) ? "yes" : "no"; };
  // window WINDOW: a shown window's caption, then a line for each shown control in the order
  // made: its place in the tab order (- for none), class, text and what else it shows
  r["window"] = [](const Args& a) {
    const HWND top = Find(a.at(1));
    std::map<HWND, int> tabs;
    for (HWND c = GetNextDlgTabItem(top, nullptr, FALSE); c && !tabs.count(c);
         c = GetNextDlgTabItem(top, c, FALSE))
      tabs[c] = static_cast<int>(tabs.size()) + 1;
    std::string table = IsWindowVisible(top) ? TextOf(top) : "";
    for (HWND c : table.empty() ? std::vector<HWND>() : Children(top)) {
      const std::string text = TextOf(c);
      if (IsWindowVisible(c))
        table += "\n" + (tabs.count(c) ? Str(tabs[c]) : "-") + " " + ClassOf(c) +
                 (text.empty() ? "" : " " + text) + Shows(c);
    }
    return table;
  };
  r["text"] = [](const Args& a) { return TextOf(Control(a)); };
  r["row"] = [](const Args& a) {  // row WINDOW NUMBER|header|*
    return Row(Control(Window(a.at(1)), "SysListView32#0"), a.at(2));
  };
  r["file"] = [this](const Args& a) {  // file NAME: its bytes or <none>
    std::ifstream file(Path(a.at(1)), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<none>";
  };
  r["service"] = [](const Args& a) {  // service state|VALUE: a state or registry value
    const std::map<DWORD, std::string> states{
        {0, "absent"}, {SERVICE_STOPPED, "stopped"}, {SERVICE_RUNNING, "running"}};
    const DWORD state = ServiceState();  // read once: it may change between two readings
    if (a.at(1) == "state") return states.count(state) ? states.at(state) : "pending";
    auto [type, value] =
        Value(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Zemlo Linkvane", a[1]);
    if (type == REG_DWORD) return Str(*reinterpret_cast<const DWORD*>(value.data()));
    return value.erase(value.find_last_not_of('\0') + 1);
  };
  r["icons"] = [](const Args&) {  // icons: how many in Wine's system tray
    const HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    long icons = 0;
    for (HWND icon : Children(tray)) icons += IsWindowVisible(icon);
    return tray ? Str(icons) : "no tray";
  };

  s["place"] = [](const Args& a) {  // place WINDOW .|client|CONTROL LEFT TOP [WIDTH HEIGHT], twips
    const HWND top = Window(a.at(1));
    long seen[4] = {};
    const bool placed = Within(10000, [&] {  // a window is placed after it is made
      RECT r{};
      if (a.at(2) == "client") GetClientRect(top, &r);
      if (a[2] != "client") GetWindowRect(Control(top, a[2]), &r);
      if (a[2] != "client" && a[2] != ".")
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
      seen[0] = r.left, seen[1] = r.top, seen[2] = r.right - r.left, seen[3] = r.bottom - r.top;
      for (size_t i = 3; i < a.size(); ++i)
        if (a[i] != "-" && seen[i - 3] != Pixels(Num(a[i]), i % 2 ? LOGPIXELSX : LOGPIXELSY))
          return false;
      return true;
    });
    Expect(placed,
           "at " + Str(seen[0]) + "," + Str(seen[1]) + " " + Str(seen[2]) + "x" + Str(seen[3]));
  };
}

std::string Failure(const std::function<void()>& run) {
  try {
    run();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  const Args args(argv + 1, argv + argc);
  if (args.empty())
    return std::fprintf(stderr, "usage: zlvrun FILE [SCENARIO...] | --do STEP...\n");
  Runner runner;
  for (size_t i = 1; args[0] == "--do" && i < args.size(); ++i) {
    const DWORD start = GetTickCount();
    const std::string failure = Failure([&] { runner.Step(Tokens(args[i])); });
    std::printf("%ld ms\t%s\t%s\n", Since(start), args[i].c_str(), failure.c_str());
    if (!failure.empty()) return 1;
  }
  if (args[0] == "--do") return 0;
  std::ifstream file(args[0]);
  std::vector<std::pair<std::string, std::vector<std::pair<int, std::string>>>> scenarios;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (line.rfind("scenario ", 0) == 0)
      scenarios.push_back({line.substr(9), {}});
    else if (line.rfind("  ", 0) == 0 && !scenarios.empty() && !scenarios.back().second.empty())
      scenarios.back().second.back().second += line.substr(2);
    else if (!line.empty() && line[0] != '#' && !scenarios.empty())
      scenarios.back().second.emplace_back(number, line);
  }
  int failed = 0;
  const std::string dpi = " " + Str(Pixels(1440, LOGPIXELSX)) + " ";
  for (const auto& [name, steps] : scenarios) {
    const bool named = std::find(args.begin() + 1, args.end(), name) != args.end();
    const std::string dpis =
        steps.empty() || steps[0].second.rfind("dpi ", 0) ? "dpi 96" : steps[0].second;
    if ((args.size() > 1 && !named) || (dpis + " ").find(dpi) == dpis.npos) continue;
    const DWORD start = GetTickCount();
    std::string where = "reset";
    const std::string failure = Failure([&] {
      runner.Reset();
      for (const auto& [number, step] : steps) {
        where = "line " + Str(number) + ", " + step;
        runner.Step(Tokens(step));
      }
      where = "at the end";
      Expect(!Find("Critical Error"), "a Critical Error box is left up");
    });
    failed += !failure.empty();
    std::printf("%s %s (%ld ms)%s\n", failure.empty() ? "ok  " : "FAIL", name.c_str(), Since(start),
                failure.empty() ? "" : ("\n     " + where + ": " + failure).c_str());
    std::fflush(stdout);
  }
  Failure([&] { runner.Reset(); });
  return failed;
}
