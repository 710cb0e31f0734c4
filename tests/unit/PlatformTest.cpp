#include <gtest/gtest.h>

#include "Fakes.h"
#include "platform/PerformanceCounter.h"
#include "theme/WinVersion.h"

namespace zlv::test {
namespace {

using namespace std::string_literals;

// The NT version key as the registry calls see it: absent (Windows 9x) or
// holding a value of some type and stored bytes.
struct VersionKey : RegistryApi {
  int32_t OpenKey(RegKey parent, const std::string& subKey, RegKey& key) override {
    const bool found = value && parent == kHkeyLocalMachine &&
                       subKey == "Software\\Microsoft\\Windows NT\\CurrentVersion";
    if (found) key = 0x100;
    return found ? kRegSuccess : 2;
  }
  int32_t QueryValue(RegKey key, const std::string& name, uint32_t& type, std::string* data,
                     uint32_t& size) override {
    if (key != 0x100 || name != "CurrentVersion") return key != 0x100 ? 6 : 2;
    if (data) data->replace(0, value->second.size(), value->second);
    type = value->first, size = static_cast<uint32_t>(value->second.size());
    return kRegSuccess;
  }
  int32_t CloseKey(RegKey key) override {
    closed.push_back(key);
    return key == 0 ? 6 : kRegSuccess;
  }
  std::optional<std::pair<uint32_t, std::string>> value;
  std::vector<RegKey> closed;
};

TEST(GetWinVersion, LabelsTheNtVersionTextAndAlwaysClosesTheKey) {
  const std::tuple<uint32_t, std::optional<std::string>, const char*> cases[] = {
      {kRegSz, std::nullopt, "9X"},     {kRegSz, "5.0\0"s, "2K"},
      {kRegSz, "5.1\0"s, "XP"},         {kRegSz, "6.0", "VISTA"},
      {kRegSz, "4.0\0"s, "NT4"},        {kRegSz, "10.0\0"s, "NT4"},
      {kRegSz, "5.10\0"s, "XP"},        {kRegSz, " 5.1\0"s, "NT4"},
      {kRegSz, "5.2\0006.0\0"s, "2K3"}, {2 /* REG_EXPAND_SZ */, "5.1\0"s, "9X"}};
  for (const auto& [type, text, label] : cases) {
    VersionKey registry;
    if (text) registry.value = {type, *text};
    FakeDesktop desktop;
    EXPECT_EQ(GetWinVersion(registry, desktop.reporter), label) << text.value_or("no key");
    EXPECT_EQ(registry.closed, std::vector<RegKey>{text ? 0x100u : 0u});
  }
}

// A counter of 10 MHz read after 58000 years still gives its last milliseconds.
TEST(CounterToMilliseconds, KeepsEveryMillisecondWithoutOverflow) {
  EXPECT_EQ(CounterToMilliseconds(3579545 * 3 + 3579545 / 2, 3579545), 3499u);
  EXPECT_EQ(CounterToMilliseconds(UINT64_MAX, 10000000), 1844674407370955u);
}

constexpr WindowHandle kDialog = 100, kFrame1 = 101, kFrame2 = 102, kStranger = 300;
using Procs = std::map<WindowHandle, WindowProcAddress>;

// A window shaped like the login dialog: two frames, one unnamed, and a text
// box; the theme applied for a Windows version and comctl32's answer.
struct Theme {
  explicit Theme(std::string version = "XP", std::optional<int32_t> initResult = 1)
      : theme(layer, desktop.reporter, [version] { return version; }) {
    layer.windows[kDialog] = {{ControlKind::kTextBox, "txtUsername", 110},
                              {ControlKind::kFrame, "Frame1", kFrame1},
                              {ControlKind::kFrame, "", kFrame2}};
    layer.procs = {{kFrame1, 0x5000}, {kFrame2, 0x5100}, {110, 0x6000}};
    layer.initResult = initResult;
    theme.ApplyXPTheme();
  }
  FakeDesktop desktop;
  FakeWindowProcLayer layer;
  XPTheme theme;
};

// Frames are subclassed once each, all but the excluded one, and put back
// afterwards; not at all when comctl32 fails or lacks InitCommonControlsEx.
TEST(XPTheme, OnlyXPAndLaterWithCommonControlsSubclassTheirFrames) {
  const Procs both = {{kFrame1, 0x5000}, {kFrame2, 0x5100}}, second = {{kFrame2, 0x5100}};
  const std::tuple<std::string, std::optional<int32_t>, std::string, Procs> cases[] = {
      {"9X", 1, "", {}},
      {"2K", 1, "", {}},
      {"xp", 1, "", {}},
      {"XP", 0, "", {}},
      {"XP", std::nullopt, "", {}},
      {"2K3", 1, "", both},
      {"VISTA", 1, "fRAME1", second}};
  for (const auto& [version, initResult, excluded, subclassed] : cases) {
    Theme t(version, initResult);
    t.theme.SubClassAllFrames(kDialog, excluded);
    t.theme.SubClassAllFrames(kDialog, excluded);
    EXPECT_EQ(t.theme.SubclassTable(), subclassed) << version;
    EXPECT_EQ(t.layer.setCalls, static_cast<int>(subclassed.size()));
    t.theme.UnSubClassAllFrames(kDialog, excluded);
    EXPECT_EQ(t.layer.procs, (Procs{{kFrame1, 0x5000}, {kFrame2, 0x5100}, {110, 0x6000}}));
  }
  EXPECT_EQ(Theme().layer.initClasses, 0x200u);
}

// The system's default draws the two messages right. A frame's own procedure
// sees its destruction; only then does it leave the table. A window whose
// subclassing failed is left alone, and never given a procedure of 0.
TEST(XPTheme, WindowProcRoutesEachMessage) {
  const std::tuple<WindowHandle, uint32_t, std::vector<WindowProcAddress>, intptr_t> cases[] = {
      {kFrame1, wm::kMouseLeave, {0}, -77}, {kFrame1, wm::kPrintClient, {0}, -77},
      {kFrame1, 0x000F, {0x5000}, 0x500F},  {kFrame1, wm::kNcDestroy, {0x5000}, 0x5082},
      {kStranger, 0x000F, {}, 0},           {kStranger, wm::kNcDestroy, {}, 0}};
  for (const auto& [window, message, handledBy, result] : cases) {
    Theme t;
    t.theme.StartSubClass(window);
    bool subclassedWhileDestroyed = false;
    t.layer.onNcDestroy = [&] {
      subclassedWhileDestroyed = t.theme.SubclassTable().contains(window);
    };
    EXPECT_EQ(t.theme.WindowProc(window, message, 1, 2), result) << message;
    EXPECT_EQ(t.layer.calls, handledBy) << message;
    const bool destroyed = window == kFrame1 && message == wm::kNcDestroy;
    EXPECT_EQ(std::pair(subclassedWhileDestroyed, t.theme.SubclassTable().empty()),
              std::pair(destroyed, destroyed));
    t.theme.StopSubClass(window);
    EXPECT_EQ(t.layer.setCalls, window == kFrame1 ? 2 : 1) << "put back once, never as 0";
  }
}

}  // namespace
}  // namespace zlv::test
