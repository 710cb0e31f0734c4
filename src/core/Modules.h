// The module names that the critical-error message reports: the source unit
// each failing procedure belongs to.
#pragma once

#include <string_view>

namespace zlv::module {

inline constexpr std::string_view kLinkvaneManager = "LinkvaneManager";
inline constexpr std::string_view kInstallAs = "InstallAs";
inline constexpr std::string_view kManagerMonitorLog = "ManagerMonitorLog";
inline constexpr std::string_view kManagerGlobal = "ManagerGlobal";
inline constexpr std::string_view kXPTheme = "modXPTheme";
inline constexpr std::string_view kRegistry = "Registry";

}  // namespace zlv::module
