// A call that waits on another party, as the manager makes it: the caller's
// windows answer other programs meanwhile and take no input, and the call's
// failure comes back to the caller.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/UiGate_win.h"
#include "shell/Failure.h"

namespace zlv {
namespace {

TEST(UiGate, WindowsAnswerWhileACallWaitsAndTakeNoInput) {
  UiGate gate;
  HWND edit = CreateWindowExA(0, "EDIT", "before", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 60,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  long long slowestMs = 0;
  int answers = 0;
  std::thread other([&] {
    for (int i = 0; i < 20; ++i) {
      if (i == 5) PostMessageA(edit, WM_CHAR, 'X', 0);
      char text[32] = {};
      DWORD_PTR copied = 0;
      const auto start = std::chrono::steady_clock::now();
      if (SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                              SMTO_BLOCK, 5000, &copied)) {
        ++answers;
      }
      slowestMs =
          std::max<long long>(slowestMs, std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - start)
                                             .count());
      Sleep(50);
    }
  });
  bool busyInside = false, commandsInside = true;
  gate.Run([&] {
    Sleep(1500);
    busyInside = gate.Busy();
    commandsInside = gate.Admits(WM_COMMAND);
  });
  other.join();
  // Whatever is still queued is delivered as the main loop would.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  char text[32] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_EQ(answers, 20);
  EXPECT_LT(slowestMs, 250);
  EXPECT_STREQ(text, "before") << "a key posted during the call is dropped";
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(commandsInside) << "commands wait while busy";
  EXPECT_FALSE(gate.Busy());
  DestroyWindow(edit);
}

TEST(UiGate, TheCallsFailureReachesTheCallerAndHaltStopsTheLogic) {
  UiGate gate;
  try {
    gate.Run([] { Raise(1060, "OpenService: the service does not exist"); });
    ADD_FAILURE() << "the failure was lost";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), 1060);
  }
  EXPECT_TRUE(gate.Admits(WM_COMMAND));
  gate.Halt();
  for (UINT message : {WM_COMMAND, WM_TIMER, WM_CLOSE, WM_MOUSEMOVE, WM_ENDSESSION}) {
    EXPECT_FALSE(gate.Admits(message)) << message;
  }
  EXPECT_TRUE(gate.Admits(WM_PAINT));
}

}  // namespace
}  // namespace zlv
