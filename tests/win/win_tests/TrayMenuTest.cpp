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
// an entry that is disabled, greyed or checked (a separator is greyed anyway).
std::string Entries(HMENU menu, const std::string& indent = "") {
  std::string listed;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    item.dwTypeData = text;
    item.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &item);
    const bool held = item.fState & (MFS_DISABLED | MFS_CHECKED);
    listed +=
        indent + (item.fType & MFT_SEPARATOR ? "-" : text + std::string(held ? "!" : "")) + "\n";
    if (item.hSubMenu) listed += Entries(item.hSubMenu, indent + "  ");
  }
  return listed;
}

TEST(TrayMenu, OffersEveryCommandInItsPlace) {
  UiGate gate;
  ManagerWindow window(gate);
  window.Create(GetModuleHandleA(nullptr));
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
