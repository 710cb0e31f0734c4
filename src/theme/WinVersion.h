// Which family of Windows the program runs on (module "modXPTheme").
#pragma once

#include <string>

#include "theme/Registry.h"

namespace zlv {

// "9X", "NT4", "2K", "XP", "2K3" or "VISTA", from the NT CurrentVersion text.
std::string GetWinVersion(RegistryApi& registry, ErrorReporter& reporter);

}  // namespace zlv
