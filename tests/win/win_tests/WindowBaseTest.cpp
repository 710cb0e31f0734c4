// The window base's one exception policy and its window lifetime, on real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Failure.h"
#include "platform/WindowBase_win.h"

namespace zlv {
namespace {

class ThrowingWindow final : public WindowBase {
 public:
  explicit ThrowingWindow(const UiGate& gate) : WindowBase(gate) {
    CreateFromDesign({.className = "ZlvThrowingWindow", .style = WS_OVERLAPPED});
  }
  bool gone = false;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER) Raise(err::kInvalidCall, "Invalid procedure call or argument");
    return Default(message, wParam, lParam);
  }
  void OnGone() override { gone = true; }
};

TEST(WindowBase, CarriesAHandlersFailureToTheLoopAndForgetsTheWindowWithItsEnd) {
  UiGate gate;
  ThrowingWindow window(gate);
  ASSERT_NE(window.Hwnd(), nullptr);
  // The failure does not unwind through SendMessage; the loop rethrows it once.
  EXPECT_EQ(SendMessageA(window.Hwnd(), WM_USER, 0, 0), 0);
  ASSERT_TRUE(FailureCarried());
  try {
    RethrowCarriedFailure();
    ADD_FAILURE() << "nothing was carried";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), err::kInvalidCall);
  }
  EXPECT_FALSE(FailureCarried());
  EXPECT_NO_THROW(RethrowCarriedFailure());

  DestroyWindow(window.Hwnd());
  EXPECT_TRUE(window.gone);
  EXPECT_EQ(window.Hwnd(), nullptr);
}

}  // namespace
}  // namespace zlv
