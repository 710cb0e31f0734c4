// Administrator rights for one command, against the real manager exe. Wine
// starts a "runas" at once, without a prompt, and gives every program a full
// token, so the prompt and the limited token are proven natively instead.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "manager/ManagerWindow_win.h"
#include "platform/ElevatedLauncher_win.h"
#include "platform/UiGate_win.h"

namespace zlv::test {
namespace {

const char kService[] = "Zemlo Linkvane";

std::string ManagerExe() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.resize(folder.rfind('\\'));
  return folder.substr(0, folder.rfind('\\')) + "\\ZemloLinkvaneManager.exe";
}

// True when there was a service to delete; returns once it is gone (10 s at most).
bool DeleteTheService() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, kService, DELETE);
  const bool deleted = service && DeleteService(service);
  if (service) CloseServiceHandle(service);
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
    SC_HANDLE probe = OpenServiceA(manager, kService, SERVICE_QUERY_STATUS);
    if (!probe) break;
    CloseServiceHandle(probe);
  }
  CloseServiceHandle(manager);
  return deleted;
}

// An elevated one-shot "-INSTALL" installs the service and ends 0, while a
// window of the waiting thread answers every message sent to it.
TEST(ElevatedLauncher, RunsTheManagersOneShotAndWaitsWithTheWindowAnswering) {
  DeleteTheService();
  const HWND window = CreateWindowA("STATIC", "waiting", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  UiGate gate;
  Win32ElevatedLauncher launcher(gate, ManagerExe(), [&] { return window; });
  std::atomic<bool> done{false}, finished{false};
  std::atomic<int> answered{0}, unanswered{0};
  std::thread reader([&] {
    while (!done) {
      char text[16] = {};
      DWORD_PTR length = 0;
      const bool answer =
          SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                              SMTO_ABORTIFHUNG, 250, &length) != 0;
      ++(answer ? answered : unanswered);
    }
    finished = true;
  });
  const std::optional<int> exitCode = launcher.RunElevated("-INSTALL -ELEVATED", 60000);
  done = true;
  // The last message the reader sent is answered here, not left to time out.
  for (MSG message; !finished; Sleep(1))
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  reader.join();
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(DeleteTheService()) << "the one-shot installed the service";
  EXPECT_GE(answered, 10) << "answered all along, not once at the end";
  EXPECT_EQ(unanswered, 0);
  DestroyWindow(window);
}

std::vector<std::string> shielded;  // the captions of the buttons given BCM_SETSHIELD
WNDPROC buttonProcedure = nullptr;

LRESULT CALLBACK RecordShield(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  char caption[32] = {};
  if (message == 0x160C && lParam && GetWindowTextA(button, caption, sizeof caption))
    shielded.push_back(caption);
  return CallWindowProcA(buttonProcedure, button, message, wParam, lParam);
}

// The buttons of the commands named carry the shield, and no other button.
// (Wine takes the message but draws no shield.)
TEST(ManagerWindow, PutsTheShieldOnTheButtonsOfTheCommandsNamed) {
  UiGate gate;
  ManagerWindow window(gate);
  window.Create();
  for (HWND child = GetWindow(window.Hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (lstrcmpiA(kind, "Button") == 0)
      buttonProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordShield)));
  }
  window.SetShields({cmd::kInstall, cmd::kInstallAs, cmd::kUninstall, cmd::kStart, cmd::kStop});
  EXPECT_EQ(shielded,
            (std::vector<std::string>{"Install", "Install As", "Uninstall", "Start", "Stop"}));
  DestroyWindow(window.Hwnd());
}

}  // namespace
}  // namespace zlv::test
