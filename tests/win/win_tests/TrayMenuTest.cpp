// The tray menu's entries as the user sees them, read from the open menu in
// this process: another process cannot read a menu under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "manager/ManagerWindow_win.h"

namespace zlv {
namespace {

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

TEST(TrayMenu, OffersEveryCommandInItsPlace) {
  UiGate gate;
  ManagerWindow window(gate);
  window.Create();
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
  DestroyWindow(window.Hwnd());
}

}  // namespace
}  // namespace zlv
