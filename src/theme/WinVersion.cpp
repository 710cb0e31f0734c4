#include "theme/WinVersion.h"
#include "core/Modules.h"

namespace zlv {

std::string GetWinVersion(RegistryApi& registry, ErrorReporter& reporter) {
  Procedure p({reporter, module::kXPTheme}, "GetWinVersion");
  return p.Run([&]() -> std::string {
    p.At(10);
    const std::string version =
        Getstring(registry, reporter, kHkeyLocalMachine,
                  "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", "9X");
    p.At(20);
    // Windows 9x and ME have no NT version key at all.
    if (version == "9X") return "9X";
    p.At(30);
    const std::string head = version.substr(0, 3);
    if (head == "5.0") return "2K";
    if (head == "5.1") return "XP";
    if (head == "5.2") return "2K3";
    if (head == "6.0") return "VISTA";
    // Everything else, older or newer, counts as NT 4: only the four known
    // releases get special treatment.
    return "NT4";
  });
}

}  // namespace zlv
