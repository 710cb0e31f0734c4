// The login dialog on a real desktop: a second thread plays the user (types
// into the boxes, presses Enter or Esc, clicks, uses the close box) while the
// test thread sits in the dialog's modal loop.
//
// "installas_tests.exe --show [milliseconds]" only shows the dialog (themed),
// for a screenshot; with a time it closes itself after that long.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "platform/XPTheme_win.h"
#include "service/InstallAs.h"
#include "service/InstallAsWindow_win.h"
#include "shell/FileProfileStore.h"
#include "shell/FileProfileStore_win.h"

namespace zlv {
namespace {

namespace id = installas_id;

struct Reported {};  // a failure reached ReportError

class RecordingErrorOutput : public ErrorOutput {
 public:
  ProgramVersion Version() override { return {3, 2, 1}; }
  std::string GeneralDateTime() override { return "-"; }
  void ShowCritical(const std::string& text, const std::string&) override { message = text; }
  void Beep() override {}
  [[noreturn]] void EndNow() override { throw Reported{}; }
  std::string message;
};

struct CountingBeeper : Beeper {
  void Beep() override { ++beeps; }
  int beeps = 0;
};

std::string TestFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "zlv-installas-tests";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Everything the dialog needs, wired as the program wires it, over a
// settings file of its own that starts absent.
struct Harness {
  explicit Harness(std::string winVersion = "XP")
      : theme(reporter, [v = std::move(winVersion)] { return v; }) {
    DeleteFileA(settingsFile.c_str());
    theme.Theme().ApplyXPTheme();
  }
  ~Harness() {
    dialog.Form_Terminate();
    DestroyWindow(owner);
    DeleteFileA(settingsFile.c_str());
  }

  // Shows the dialog modally while `user` acts on it from a second thread.
  // A dialog still open 5 s after the user is done is closed, so a fault
  // fails the test instead of hanging it.
  void Show(const std::function<void(HWND dialog)>& user) {
    userSawDialog = false;
    leftOpen = false;
    std::thread driver([&] {
      HWND dlg = nullptr;
      for (int i = 0; i < 500 && !(dlg && IsWindowVisible(dlg)); ++i) {
        dlg = FindWindowA(nullptr, std::string(kInstallAsTitle).c_str());
        if (!(dlg && IsWindowVisible(dlg))) Sleep(10);
      }
      if (!dlg || !IsWindowVisible(dlg)) return;
      userSawDialog = true;
      ownerEnabledWhileShown = IsWindowEnabled(owner) != FALSE;
      user(dlg);
      for (int i = 0; i < 500 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(10);
      if (IsWindow(dlg) && IsWindowVisible(dlg)) {
        leftOpen = true;
        PostMessageA(dlg, WM_CLOSE, 0, 0);
      }
    });
    try {
      dialog.ShowModal();
    } catch (...) {
      driver.join();
      throw;
    }
    driver.join();
  }

  std::optional<std::string> SettingsText() { return ReadWholeFile(settingsFile); }
  HWND Dialog() { return reinterpret_cast<HWND>(window.Handle()); }

  RecordingErrorOutput output;
  ErrorReporter reporter{output};
  const std::string settingsFile = TestFolder() + "\\ZemloLinkvaneManager-Settings.ini";
  FileProfileStore store{ReplaceFileWin32};
  CountingBeeper beeper;
  ManagerGlobal settings{store, beeper, reporter};
  Win32XPTheme theme;
  // The manager window's stand-in, disabled while the dialog is up.
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                               200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UiGate gate;
  Win32InstallAsWindow window{owner, gate};
  InstallAs dialog{window, settings, settingsFile, theme.Theme()};

  std::atomic<bool> userSawDialog{false};
  std::atomic<bool> leftOpen{false};
  std::atomic<bool> ownerEnabledWhileShown{true};
};

// What the user does, from the second thread.
std::string TextOf(HWND dlg, int control) {
  char text[512] = {};
  SendMessageA(GetDlgItem(dlg, control), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}
void SetTextOf(HWND dlg, int control, const char* text) {
  SendMessageA(GetDlgItem(dlg, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
void TypeInto(HWND dlg, int control, const std::string& keys) {
  for (char c : keys) PostMessageA(GetDlgItem(dlg, control), WM_CHAR, static_cast<BYTE>(c), 1);
}
void PressKey(HWND dlg, int control, UINT vk, UINT scanCode) {
  const HWND box = GetDlgItem(dlg, control);
  PostMessageA(box, WM_KEYDOWN, vk, 1 | (scanCode << 16));
  PostMessageA(box, WM_KEYUP, vk, 1 | (scanCode << 16) | 0xC0000000u);
}
void Click(HWND dlg, int control) {
  PostMessageA(GetDlgItem(dlg, control), BM_CLICK, 0, 0);
}

constexpr const char* kSecret = "Zq9!s3cret";

TEST(LoginDialogOnScreen, EnterInEitherBoxConfirmsAndStoresOnlyTheName) {
  struct Case {
    const char* what;
    int box;
    bool asKeyDown;  // a real key stroke, turned into the character by the loop
  };
  const Case cases[] = {{"Enter key in password box", id::kPassword, true},
                        {"character 13 in user box", id::kUsername, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Harness h;
    std::string offered;
    h.Show([&](HWND dlg) {
      offered = TextOf(dlg, id::kUsername);
      SetTextOf(dlg, id::kUsername, "");
      TypeInto(dlg, id::kUsername, "DOM\\op");
      TypeInto(dlg, id::kPassword, kSecret);
      if (c.asKeyDown) {
        PressKey(dlg, c.box, VK_RETURN, 0x1C);
      } else {
        TypeInto(dlg, c.box, "\r");
      }
    });
    ASSERT_TRUE(h.userSawDialog);
    EXPECT_FALSE(h.leftOpen);
    EXPECT_FALSE(h.ownerEnabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(h.owner));
    EXPECT_EQ(offered, ".\\Administrator");
    EXPECT_TRUE(h.dialog.OKPressed());
    EXPECT_EQ(h.dialog.UserName(), "DOM\\op");
    EXPECT_EQ(h.dialog.Password(), kSecret);
    const auto ini = h.SettingsText();
    ASSERT_TRUE(ini.has_value());
    EXPECT_NE(ini->find("[Service Options]"), std::string::npos) << *ini;
    EXPECT_NE(ini->find("Username=DOM\\op"), std::string::npos) << *ini;
    EXPECT_EQ(ini->find("s3cret"), std::string::npos) << *ini;
  }
}

TEST(LoginDialogOnScreen, EscapeKeepsTheTextsAndTheCloseBoxDiscardsThem) {
  Harness h;
  h.Show([](HWND dlg) {
    SetTextOf(dlg, id::kUsername, "DOM\\kept");
    TypeInto(dlg, id::kPassword, "p1");
    PressKey(dlg, id::kPassword, VK_ESCAPE, 0x01);
  });
  ASSERT_TRUE(h.userSawDialog);
  EXPECT_FALSE(h.leftOpen);
  EXPECT_FALSE(h.dialog.OKPressed());
  EXPECT_FALSE(h.SettingsText().has_value()) << "Cancel wrote the settings file";

  std::string user, password;
  h.Show([&](HWND dlg) {
    user = TextOf(dlg, id::kUsername);
    password = TextOf(dlg, id::kPassword);
    Click(dlg, id::kOK);
  });
  EXPECT_EQ(user, "DOM\\kept");
  EXPECT_EQ(password, "p1");
  EXPECT_TRUE(h.dialog.OKPressed());
  const HWND first = h.Dialog();

  h.Show([](HWND dlg) {
    SetTextOf(dlg, id::kUsername, "DOM\\dropped");
    PostMessageA(dlg, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(h.leftOpen);
  EXPECT_FALSE(h.dialog.OKPressed());
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindowEnabled(h.owner));

  h.Show([&](HWND dlg) {
    user = TextOf(dlg, id::kUsername);
    password = TextOf(dlg, id::kPassword);
    Click(dlg, id::kCancel);
  });
  EXPECT_EQ(user, "DOM\\kept");
  EXPECT_EQ(password, "");
}

TEST(LoginDialogOnScreen, FrameIsSubclassedOnlyWhenThemesAreActive) {
  for (const char* version : {"XP", "2K"}) {
    SCOPED_TRACE(version);
    const bool themed = std::strcmp(version, "XP") == 0;
    Harness h(version);
    EXPECT_EQ(h.theme.Theme().ThemesActive(), themed);
    h.Show([](HWND dlg) { Click(dlg, id::kCancel); });
    const HWND frame = GetDlgItem(h.Dialog(), id::kFrame);
    ASSERT_NE(frame, nullptr);
    const auto proc = static_cast<WindowProcAddress>(GetWindowLongPtrA(frame, GWLP_WNDPROC));
    EXPECT_EQ(proc == h.theme.Layer().ThemeProc(), themed);
    EXPECT_EQ(h.theme.Theme().SubclassTable().contains(FromHwnd(frame)), themed);

    // Routed messages still reach a working frame.
    HDC dc = GetDC(frame);
    SendMessageA(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ReleaseDC(frame, dc);
    char caption[64] = {};
    GetWindowTextA(frame, caption, sizeof caption);
    EXPECT_STREQ(caption, "Please note:");

    // The close box destroys the frame, which leaves the table by itself.
    h.Show([](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); });
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(h.theme.Theme().SubclassTable().empty());
    EXPECT_TRUE(h.output.message.empty()) << h.output.message;
  }
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM found) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

TEST(LoginDialogOnScreen, LayoutTextsTabOrderAndTooltip) {
  Harness h;
  h.Show([](HWND dlg) { Click(dlg, id::kCancel); });
  const HWND dlg = h.Dialog();
  ASSERT_NE(dlg, nullptr);

  char title[128] = {};
  GetWindowTextA(dlg, title, sizeof title);
  EXPECT_STREQ(title, "Set Zemlo Linkvane Service Login");
  const LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_NE(GetWindowLongPtrA(dlg, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);

  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(dlg, &client);
  EXPECT_EQ(client.right, MulDiv(4440, dpiX, 1440));
  EXPECT_EQ(client.bottom, MulDiv(3330, dpiY, 1440));

  struct Expected {
    const char* name;
    const char* text;
    int leftTwips, topTwips;
  };
  const Expected order[] = {
      {"txtUsername", "", 2100, 1950},
      {"txtPassword", "", 2100, 2430},
      {"cmdOK", "OK", 2100, 2910},
      {"cmdCancel", "Cancel", 3270, 2910},
      {"Frame1", "Please note:", 60, 60},
      {"Label1", "Username", 90, 2010},
      {"Label1", "Password", 90, 2490},
      {"Label1",
       "Normally the service uses the Local System account. This allows it to interact with the "
       "Desktop. To access remote UNC folders, you will need to specify an alternative account "
       "below. Use the format: Domain\\Username or .\\Username for local users.",
       180, 330},
  };
  HWND child = GetWindow(dlg, GW_CHILD);
  for (const Expected& e : order) {
    SCOPED_TRACE(e.text);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ControlName(child), e.name);
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::strcmp(e.name, "txtUsername") != 0 && std::strcmp(e.name, "txtPassword") != 0) {
      EXPECT_STREQ(text, e.text);
    }
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(e.leftTwips, dpiX, 1440));
    EXPECT_EQ(r.top, MulDiv(e.topTwips, dpiY, 1440));
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr) << "more controls than expected";

  EXPECT_EQ(SendMessageA(GetDlgItem(dlg, id::kPassword), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_NE(GetWindowLongPtrA(GetDlgItem(dlg, id::kPassword), GWL_STYLE) & ES_PASSWORD, 0);

  HWND tip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindTooltip, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  char text[256] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = dlg;
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dlg, id::kUsername));
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Use Domain\\Username or .\\Username for local users.");
}

int ShowForScreenshot(int closeAfterMs) {
  Harness h("XP");
  std::thread closer;
  if (closeAfterMs > 0) {
    closer = std::thread([closeAfterMs] {
      Sleep(static_cast<DWORD>(closeAfterMs));
      if (HWND dlg = FindWindowA(nullptr, std::string(kInstallAsTitle).c_str())) {
        PostMessageA(dlg, WM_CLOSE, 0, 0);
      }
    });
  }
  h.dialog.ShowModal();
  if (closer.joinable()) closer.join();
  std::cout << "OKPressed=" << h.dialog.OKPressed() << " user=" << h.dialog.UserName() << "\n";
  return 0;
}

}  // namespace
}  // namespace zlv

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--show") == 0) {
    return zlv::ShowForScreenshot(argc >= 3 ? std::atoi(argv[2]) : 0);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
