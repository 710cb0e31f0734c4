#include <gtest/gtest.h>

#include "FakeErrors.h"
#include "FakeWindowProcLayer.h"
#include "platform/XPTheme.h"

namespace zlv {
namespace {

using test::FakeReporter;
using test::FakeWindowProcLayer;
using test::ProgramEnded;

constexpr WindowHandle kDialog = 100;
constexpr WindowHandle kFrame = 101;
constexpr WindowProcAddress kFrameProc = 0x5000;

// A window shaped like the login dialog: one frame among other controls.
struct ThemeFixture {
  explicit ThemeFixture(std::string version = "XP")
      : theme(layer, fake.reporter, [v = std::move(version)] { return v; }) {
    layer.windows[kDialog] = {{ControlKind::kTextBox, "txtUsername", 110},
                              {ControlKind::kButton, "cmdOK", 111},
                              {ControlKind::kFrame, "Frame1", kFrame},
                              {ControlKind::kLabel, "Label1", 112}};
    layer.procs[kFrame] = kFrameProc;
  }
  FakeReporter fake;
  FakeWindowProcLayer layer;
  XPTheme theme;
};

TEST(XPTheme, VersionLabelDecidesWhetherThemesAndSubclassingHappen) {
  struct Case {
    std::string label;
    bool themed;
  };
  const Case cases[] = {{"9X", false}, {"NT4", false}, {"2K", false},
                        {"", false},   {"xp", false},  {"XP ", false},
                        {"XP", true},  {"2K3", true},  {"VISTA", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ThemeFixture f(c.label);
    f.theme.ApplyXPTheme();
    f.theme.SubClassAllFrames(kDialog, "");
    EXPECT_EQ(f.theme.ThemesActive(), c.themed);
    if (c.themed) {
      ASSERT_EQ(f.layer.initCalls.size(), 1u);
      EXPECT_EQ(f.layer.initCalls[0].size, 8u);
      EXPECT_EQ(f.layer.initCalls[0].classes, 0x200u);
      EXPECT_EQ(f.theme.SubclassTable(),
                (std::map<WindowHandle, WindowProcAddress>{{kFrame, kFrameProc}}));
      EXPECT_EQ(f.layer.procs[kFrame], FakeWindowProcLayer::kThemeProc);
    } else {
      EXPECT_TRUE(f.layer.initCalls.empty());
      EXPECT_TRUE(f.theme.SubclassTable().empty());
      EXPECT_EQ(f.layer.setCalls, 0);
    }
    EXPECT_FALSE(f.fake.Reported());
  }
}

TEST(XPTheme, FailedCommonControlsInitialisationLeavesThemesOffSilently) {
  for (bool throws : {false, true}) {
    SCOPED_TRACE(throws ? "function missing" : "returns 0");
    ThemeFixture f;
    f.layer.initResult = 0;
    f.layer.initThrows = throws;
    f.theme.ApplyXPTheme();
    f.theme.SubClassAllFrames(kDialog, "");
    EXPECT_FALSE(f.theme.ThemesActive());
    EXPECT_TRUE(f.theme.SubclassTable().empty());
    EXPECT_FALSE(f.fake.Reported());
  }
}

TEST(XPTheme, FramesAreWalkedExceptTheExcludedOneAndPutBackAfterwards) {
  ThemeFixture f;
  f.layer.windows[kDialog].push_back({ControlKind::kFrame, "Frame2", 102});
  f.layer.procs[102] = kFrameProc + 1;
  f.theme.ApplyXPTheme();
  f.theme.SubClassAllFrames(kDialog, "fRAME1");
  EXPECT_EQ(f.theme.SubclassTable(),
            (std::map<WindowHandle, WindowProcAddress>{{102, kFrameProc + 1}}));
  EXPECT_EQ(f.layer.procs[kFrame], kFrameProc);

  // An empty exclusion name takes every frame, unnamed ones too.
  f.layer.windows[kDialog].push_back({ControlKind::kFrame, "", 103});
  f.theme.SubClassAllFrames(kDialog, "");
  EXPECT_EQ(f.theme.SubclassTable().size(), 3u);
  f.theme.UnSubClassAllFrames(kDialog, "");
  EXPECT_TRUE(f.theme.SubclassTable().empty());
  EXPECT_EQ(f.layer.procs[kFrame], kFrameProc);
  EXPECT_EQ(f.layer.procs[102], kFrameProc + 1);
}

TEST(XPTheme, StartTwiceAndStopUnknownChangeNothing) {
  ThemeFixture f;
  f.theme.StartSubClass(kFrame);
  f.theme.StartSubClass(kFrame);
  EXPECT_EQ(f.layer.setCalls, 1);
  EXPECT_EQ(f.theme.SubclassTable().at(kFrame), kFrameProc);

  f.theme.StopSubClass(999);
  EXPECT_EQ(f.layer.setCalls, 1);
  EXPECT_EQ(f.theme.SubclassTable().size(), 1u);
  EXPECT_FALSE(f.fake.Reported());
}

TEST(XPTheme, WindowProcRoutesMessages) {
  struct Case {
    uint32_t message;
    bool defaultProcessing;
  };
  const Case cases[] = {{wm::kMouseLeave, true},
                        {wm::kPrintClient, true},
                        {0x000F /* WM_PAINT */, false},
                        {0x0014 /* WM_ERASEBKGND */, false},
                        {0x0084 /* WM_NCHITTEST */, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ThemeFixture f;
    f.theme.StartSubClass(kFrame);
    const intptr_t result = f.theme.WindowProc(kFrame, c.message, 1, 2);
    ASSERT_EQ(f.layer.calls.size(), 1u);
    EXPECT_EQ(f.layer.calls[0].message, c.message);
    if (c.defaultProcessing) {
      EXPECT_EQ(f.layer.calls[0].proc, 0u);
      EXPECT_EQ(result, FakeWindowProcLayer::kDefaultResult);
    } else {
      EXPECT_EQ(f.layer.calls[0].proc, kFrameProc);
      EXPECT_EQ(result, static_cast<intptr_t>(kFrameProc + c.message));
    }
    EXPECT_TRUE(f.theme.SubclassTable().contains(kFrame));
  }
}

TEST(XPTheme, DestroyedFrameLeavesTheTableAfterItsOwnProcedureRan) {
  ThemeFixture f;
  f.theme.ApplyXPTheme();
  f.theme.SubClassAllFrames(kDialog, "");
  bool subclassedDuringDestroy = false;
  f.layer.onNcDestroy = [&] { subclassedDuringDestroy = f.theme.SubclassTable().contains(kFrame); };

  const intptr_t result = f.theme.WindowProc(kFrame, wm::kNcDestroy, 0, 0);

  EXPECT_TRUE(subclassedDuringDestroy);
  ASSERT_EQ(f.layer.calls.size(), 1u);
  EXPECT_EQ(f.layer.calls[0].proc, kFrameProc);
  EXPECT_EQ(result, static_cast<intptr_t>(kFrameProc + wm::kNcDestroy));
  EXPECT_EQ(f.layer.procs[kFrame], kFrameProc);
  EXPECT_TRUE(f.theme.SubclassTable().empty());

  // The dialog's termination later finds nothing left to undo for it.
  const int setCallsBefore = f.layer.setCalls;
  f.layer.windows[kDialog].clear();
  f.theme.UnSubClassAllFrames(kDialog, "");
  EXPECT_EQ(f.layer.setCalls, setCallsBefore);
  EXPECT_FALSE(f.fake.Reported());
}

TEST(XPTheme, ZeroPreviousProcedureAnswersZeroAndIsNeverPutBack) {
  ThemeFixture f;
  constexpr WindowHandle kStranger = 300;  // SetWindowProc fails for it: returns 0
  f.theme.StartSubClass(kStranger);
  ASSERT_TRUE(f.theme.SubclassTable().contains(kStranger));
  EXPECT_EQ(f.theme.SubclassTable().at(kStranger), 0u);

  for (uint32_t message : {wm::kPrintClient, wm::kNcDestroy, 0x000Fu}) {
    EXPECT_EQ(f.theme.WindowProc(kStranger, message, 0, 0), 0);
  }
  EXPECT_TRUE(f.layer.calls.empty());

  const int setCallsBefore = f.layer.setCalls;
  f.theme.StopSubClass(kStranger);
  EXPECT_EQ(f.layer.setCalls, setCallsBefore);
  EXPECT_FALSE(f.theme.SubclassTable().contains(kStranger));
  // Messages of a window the theme never saw get the same answer.
  EXPECT_EQ(f.theme.WindowProc(12345, 0x000F, 0, 0), 0);
}

// A window layer whose control walk fails, to see where the failure is reported.
class BrokenControlsLayer : public FakeWindowProcLayer {
 public:
  std::vector<ControlInfo> Controls(WindowHandle) override { Raise(91, "Object variable not set"); }
};

TEST(XPTheme, UnexpectedFailureIsReportedUnderTheOperationsName) {
  for (bool stopping : {false, true}) {
    FakeReporter fake;
    BrokenControlsLayer layer;
    XPTheme theme(layer, fake.reporter, [] { return std::string("XP"); });
    theme.ApplyXPTheme();
    if (stopping) {
      EXPECT_THROW(theme.UnSubClassAllFrames(kDialog, ""), ProgramEnded);
    } else {
      EXPECT_THROW(theme.SubClassAllFrames(kDialog, ""), ProgramEnded);
    }
    const std::string procedure = stopping ? "UnSubClassAllFrames" : "SubClassAllFrames";
    EXPECT_NE(fake.Message().find("Module Name: modXPTheme\r\nProcedure Name: " + procedure +
                                  "\r\nLine Number: 20\r\n"),
              std::string::npos)
        << fake.Message();
  }
}

}  // namespace
}  // namespace zlv
