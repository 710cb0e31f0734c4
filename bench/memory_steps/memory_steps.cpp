// The bare window plus the pieces of the manager named on its command line,
// to tell what each costs in resident memory (bench/memory-steps.sh). Every
// piece is loaded at run time and nothing of the C++ runtime is used, so
// without arguments this program loads what the bare window loads.
//   comctl    comctl32 and the manager's InitCommonControlsEx
//   cc6       before it, the common controls 6 of the manager's manifest
//   controls  the status bar, nine buttons in the message font, the tooltips
//   icons     the manager's icons as window icons
//   tray      its tray icon, the window then hidden as in the tray
//   scm       a connection to the service manager, kept, and one state query
//   thread    a second thread that waits, as the service calls' worker does
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD WINAPI Wait(void* event) {
  WaitForSingleObject(event, INFINITE);
  return 0;
}

template <class Function>
Function Find(const char* dll, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(dll), name)));
}

HICON Icon(const char* file, int size) {
  return static_cast<HICON>(LoadImageA(nullptr, file, IMAGE_ICON, size, size, LR_LOADFROMFILE));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR line, int) {
  const auto has = [line](const char* word) { return std::strstr(line, word) != nullptr; };
  if (has("cc6")) {
    ACTCTXA context{};
    context.cbSize = sizeof context;
    context.lpSource = "manager.manifest";
    ULONG_PTR cookie = 0;
    ActivateActCtx(CreateActCtxA(&context), &cookie);
  }
  if (has("comctl")) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    Find<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("comctl32.dll",
                                                     "InitCommonControlsEx")(&controls);
  }
  const bool icons = has("icons");
  WNDCLASSA wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hIcon = icons ? Icon("manager.ico", GetSystemMetrics(SM_CXICON)) : nullptr;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "BareWindow", "Bare Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 300, 160, nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 25, hwnd, nullptr, instance,
                  nullptr);
  if (icons) {
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(Icon("manager.ico", GetSystemMetrics(SM_CXSMICON))));
  }
  if (has("controls")) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const WPARAM font = reinterpret_cast<WPARAM>(CreateFontIndirectA(&metrics.lfMessageFont));
    for (int i = 0; i < 9; ++i) {
      HWND button =
          CreateWindowExA(0, "BUTTON", "Install Service", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                          10 + 30 * i, 40, 28, 20, hwnd, nullptr, instance, nullptr);
      SendMessageA(button, WM_SETFONT, font, FALSE);
    }
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 95, 285,
                               25, hwnd, nullptr, instance, nullptr);
    SendMessageA(bar, WM_SETFONT, font, FALSE);
    SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Service is not installed"));
    CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                    instance, nullptr);
  }
  if (has("scm")) {
    const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (const SC_HANDLE service = OpenServiceA(manager, "Zemlo Linkvane", SERVICE_QUERY_STATUS)) {
      SERVICE_STATUS status{};
      QueryServiceStatus(service, &status);
      CloseServiceHandle(service);
    }
  }
  if (has("thread")) {
    CreateThread(nullptr, 0, Wait, CreateEventA(nullptr, TRUE, FALSE, nullptr), 0, nullptr);
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  if (has("tray")) {
    NOTIFYICONDATAA tray{};
    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = hwnd;
    tray.uID = 1;
    tray.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    tray.uCallbackMessage = WM_MOUSEMOVE;
    tray.hIcon = icons ? Icon("tray.ico", 16) : LoadIcon(nullptr, IDI_APPLICATION);
    lstrcpyA(tray.szTip, "Zemlo Linkvane Manager - Service not installed");
    Find<BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*)>("shell32.dll", "Shell_NotifyIconA")(NIM_ADD,
                                                                                     &tray);
    ShowWindow(hwnd, SW_HIDE);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
