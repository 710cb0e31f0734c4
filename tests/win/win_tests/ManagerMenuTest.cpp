// The tray's pop-up menu, read in-process: menus cannot be read from another
// process under Wine, so the end-to-end tests reach its entries by keys only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manager/ManagerWindow_win.h"

namespace zlv {
namespace {

// Each entry's text, "-" for a separator, " >" after a submenu; no command is
// ever disabled or checked, whatever the service's state.
std::vector<std::string> Entries(HMENU menu) {
  std::vector<std::string> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_STATE;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    char text[128] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    std::string entry = (info.fType & MFT_SEPARATOR) ? "-" : text;
    if (info.hSubMenu) entry += " >";
    if (entry != "-" && (info.fState & (MFS_DISABLED | MFS_CHECKED)))
      entry += " (disabled or checked)";
    entries.push_back(entry);
  }
  return entries;
}

TEST(ManagerMenu, ListsEveryCommandInOrder) {
  UiGate gate;
  ManagerWindow window{gate};
  window.Create(GetModuleHandleA(nullptr));
  EXPECT_EQ(Entries(window.Popup()),
            (std::vector<std::string>{"Show Manager", "Close Manager", "-", "Service >", "-",
                                      "Monitor InfoLog", "Remote Access", "Hide Service",
                                      "Show Service"}));
  EXPECT_EQ(Entries(GetSubMenu(window.Popup(), 3)),
            (std::vector<std::string>{"Start Service", "Stop Service", "Install Service",
                                      "Install Service As", "Uninstall Service"}));
  DestroyWindow(window.Hwnd());
}

}  // namespace
}  // namespace zlv
