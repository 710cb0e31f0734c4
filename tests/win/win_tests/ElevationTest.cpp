// Administrator rights for one command, against the real manager exe. Wine
// starts a "runas" at once, without a prompt, and gives every program a full
// token, so the prompt and the limited token are proven natively instead.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "../WinTestKit.h"
#include "platform/ElevatedLauncher_win.h"
#include "platform/UiGate_win.h"

namespace zlv::test {
namespace {

// An elevated one-shot "-INSTALL" installs the service and ends 0, while a
// window of the waiting thread answers every message sent to it.
TEST(ElevatedLauncher, RunsTheManagersOneShotAndWaitsWithTheWindowAnswering) {
  ASSERT_TRUE(wintest::RemoveService());
  const HWND window = CreateWindowA("STATIC", "waiting", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  UiGate gate;
  const std::string folder = wintest::ProgramsFolder();
  Win32ElevatedLauncher launcher(
      gate, folder.substr(0, folder.rfind('\\')) + "\\ZemloLinkvaneManager.exe",
      [&] { return window; });
  std::atomic<bool> done{false}, finished{false};
  std::atomic<int> answered{0}, unanswered{0};
  std::thread reader([&] {
    while (!done)
      ++(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 250, nullptr) ? answered
                                                                                    : unanswered);
    finished = true;
  });
  const std::optional<int> exitCode = launcher.RunElevated("-INSTALL -ELEVATED", 60000);
  done = true;
  // The last message the reader sent is answered here, not left to time out.
  for (MSG message; !finished; Sleep(1))
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  reader.join();
  EXPECT_EQ(exitCode, 0);
  EXPECT_NE(wintest::ServiceState(), 0u) << "the one-shot installed the service";
  EXPECT_TRUE(wintest::RemoveService());
  EXPECT_GE(answered, 10) << "answered all along, not once at the end";
  EXPECT_EQ(unanswered, 0);
  DestroyWindow(window);
}

}  // namespace
}  // namespace zlv::test
