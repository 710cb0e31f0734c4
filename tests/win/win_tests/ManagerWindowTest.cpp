// The manager window built in this process, where what another process cannot
// see under Wine is read: the tray menu's entries and the buttons' shields.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "manager/ManagerWindow_win.h"

namespace zlv {
namespace {

struct ManagerWindowTest : ::testing::Test {
  ManagerWindowTest() { window.Create(); }
  ~ManagerWindowTest() override { DestroyWindow(window.Hwnd()); }
  UiGate gate;
  ManagerWindow window{gate};
};

// One entry a line, a submenu's indented below it; "-" for a separator, "!" after
// an entry that is greyed, disabled or checked.
std::string Entries(HMENU menu, const std::string& indent = "") {
  std::string listed;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    const bool held = state & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    listed += indent + (state & MF_SEPARATOR ? "-" : text + std::string(held ? "!" : "")) + "\n";
    if (HMENU submenu = GetSubMenu(menu, i)) listed += Entries(submenu, indent + "  ");
  }
  return listed;
}

TEST_F(ManagerWindowTest, TheTrayMenuOffersEveryCommandInItsPlace) {
  std::string shown;
  std::thread reader([&] {
    HWND menu = nullptr;
    for (int tries = 0; tries < 400 && !IsWindowVisible(menu); ++tries, Sleep(25))
      menu = FindWindowA("#32768", nullptr);
    shown = Entries(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  window.PopupMenu();
  reader.join();
  EXPECT_EQ(shown,
            "Show Manager\nClose Manager\n-\nService\n  Start Service\n  Stop Service\n"
            "  Install Service\n  Install Service As\n  Uninstall Service\n-\nMonitor InfoLog\n"
            "Remote Access\nHide Service\nShow Service\n");
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
TEST_F(ManagerWindowTest, PutsTheShieldOnTheButtonsOfTheCommandsNamed) {
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
}

}  // namespace
}  // namespace zlv
