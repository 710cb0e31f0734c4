// Command numbers shared by the buttons, the tray menu and the command line,
// the exit codes of a one-shot run, and the caption.
#pragma once

#include <cstdint>

namespace zlv {

// The manager window's caption, which also titles its message boxes.
inline constexpr const char* kManagerCaption = "Zemlo Linkvane Manager";

namespace exitcode {
constexpr int kGoalReached = 0;
constexpr int kGoalMissed = 1;
}  // namespace exitcode

namespace cmd {

constexpr int16_t kInstall = 0;
constexpr int16_t kUninstall = 1;
constexpr int16_t kStart = 2;
constexpr int16_t kStop = 3;
constexpr int16_t kShow = 4;
constexpr int16_t kHide = 5;
constexpr int16_t kRemote = 6;
constexpr int16_t kInstallAs = 7;
constexpr int16_t kMonitorLog = 8;
constexpr int16_t kCount = 9;
}  // namespace cmd

}  // namespace zlv
