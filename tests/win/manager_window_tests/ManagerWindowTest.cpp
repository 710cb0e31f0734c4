// The manager window's own make-up, read in-process: its frame and its tray
// pop-up menu (menus cannot be read from another process under Wine).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manager/ManagerWindow_win.h"

namespace zlv {
namespace {

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
    // No command is ever disabled or checked, whatever the service's state.
    if (entry != "-" && (info.fState & (MFS_DISABLED | MFS_CHECKED)))
      entry += " (disabled or checked)";
    entries.push_back(entry);
  }
  return entries;
}

TEST(ManagerWindow, PopupMenuListsEveryCommandInOrder) {
  UiGate gate;
  ManagerWindow window{gate};
  window.Create(GetModuleHandleA(nullptr));
  HMENU popup = window.Popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(Entries(popup),
            (std::vector<std::string>{"Show Manager", "Close Manager", "-", "Service >", "-",
                                      "Monitor InfoLog", "Remote Access", "Hide Service",
                                      "Show Service"}));
  EXPECT_EQ(Entries(GetSubMenu(popup, 3)),
            (std::vector<std::string>{"Start Service", "Stop Service", "Install Service",
                                      "Install Service As", "Uninstall Service"}));
  DestroyWindow(window.Hwnd());
}

TEST(ManagerWindow, FixedFrameWithMinimiseButtonOnly) {
  UiGate gate;
  ManagerWindow window{gate};
  window.Create(GetModuleHandleA(nullptr));
  const LONG_PTR style = GetWindowLongPtrA(window.Hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(window.Hwnd())) << "the window shows only after its load step";
  EXPECT_EQ(GetMenu(window.Hwnd()), nullptr) << "no menu bar";
  char caption[64] = {};
  GetWindowTextA(window.Hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Zemlo Linkvane Manager");
  DestroyWindow(window.Hwnd());
}

}  // namespace
}  // namespace zlv
