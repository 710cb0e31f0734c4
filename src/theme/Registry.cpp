#include "theme/Registry.h"
#include "core/Modules.h"

#include <limits>

namespace zlv {
namespace {
constexpr std::string_view kModule = module::kRegistry;
}

std::string Getstring(RegistryApi& registry, ErrorReporter& reporter, const RegKey& root,
                      const std::string& subKey, const std::string& valueName,
                      const std::string& defaultValue) {
  Procedure p({reporter, kModule}, "Getstring");
  return p.Run([&] {
    RegKey key = 0;
    p.At(10);
    // A failed open leaves the handle 0, so the read below fails and yields the default.
    registry.OpenKey(root, subKey, key);
    p.At(20);
    std::string text = RegQueryStringValue(registry, reporter, key, valueName, defaultValue);
    p.At(30);
    registry.CloseKey(key);
    p.At(40);
    return text;
  });
}

std::string RegQueryStringValue(RegistryApi& registry, ErrorReporter& reporter, RegKey key,
                                std::string valueName, const std::string& defaultValue) {
  Procedure p({reporter, kModule}, "RegQueryStringValue");
  return p.Run([&] {
    uint32_t type = 0;
    uint32_t size = 0;
    p.At(10);
    if (registry.QueryValue(key, valueName, type, nullptr, size) != kRegSuccess) {
      return defaultValue;
    }
    p.At(20);
    if (type != kRegSz) return defaultValue;
    p.At(30);
    std::string buffer(size, ' ');
    p.At(40);
    if (registry.QueryValue(key, valueName, type, &buffer, size) != kRegSuccess) {
      return defaultValue;
    }
    p.At(50);
    return StripTerminator(reporter, buffer);
  });
}

std::string StripTerminator(ErrorReporter& reporter, std::string text) {
  Procedure p({reporter, kModule}, "StripTerminator");
  return p.Run([&] {
    p.At(10);
    const std::size_t found = text.find('\0');
    if (found == std::string::npos) return text;
    // Positions count from 1 and live in a signed 16-bit integer.
    if (found + 1 > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
      RaiseOverflow();
    }
    p.At(20);
    return text.substr(0, found);
  });
}

}  // namespace zlv
