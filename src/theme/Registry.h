// Reading one text value from the registry (module "Registry"), over a
// replaceable layer with the three registry calls the logic relies on.
#pragma once

#include <cstdint>
#include <string>

#include "core/ErrorReporter.h"

namespace zlv {

// Key handles as the logic holds them: 32-bit, 0 for "none". The predefined
// roots keep their documented values.
using RegKey = uint32_t;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002;
inline constexpr uint32_t kRegSz = 1;
inline constexpr int32_t kRegSuccess = 0;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegOpenKeyA: `key` names the opened key on success and stays 0 otherwise.
  virtual int32_t OpenKey(RegKey parent, const std::string& subKey, RegKey& key) = 0;
  // RegQueryValueExA. Without `data` it reports the type and the bytes the
  // value needs, terminator included; with it, it fills the first `size`
  // bytes of *data.
  virtual int32_t QueryValue(RegKey key, const std::string& valueName, uint32_t& type,
                             std::string* data, uint32_t& size) = 0;
  // RegCloseKey; also called with 0 after a failed open.
  virtual int32_t CloseKey(RegKey key) = 0;
};

// Opens the subkey, reads the value as text, closes the key; the default when
// anything is missing.
std::string Getstring(RegistryApi& registry, ErrorReporter& reporter, const RegKey& root,
                      const std::string& subKey, const std::string& valueName,
                      const std::string& defaultValue);
// A REG_SZ value of an open key, or the default.
std::string RegQueryStringValue(RegistryApi& registry, ErrorReporter& reporter, RegKey key,
                                std::string valueName, const std::string& defaultValue);
// The text up to its first NUL. A NUL beyond position 32767 does not fit the
// 16-bit position and is the overflow failure.
std::string StripTerminator(ErrorReporter& reporter, std::string text);

}  // namespace zlv
