// The registry layer over advapi32. Opened keys are pointer-sized on win64,
// so the logic gets small 32-bit numbers that this object maps to them; the
// predefined roots keep their documented values.
#pragma once

#include <windows.h>

#include <map>

#include "theme/Registry.h"

namespace zlv {

class Win32Registry : public RegistryApi {
 public:
  Win32Registry() = default;
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;
  ~Win32Registry() override;

  int32_t OpenKey(RegKey parent, const std::string& subKey, RegKey& key) override;
  int32_t QueryValue(RegKey key, const std::string& valueName, uint32_t& type, std::string* data,
                     uint32_t& size) override;
  int32_t CloseKey(RegKey key) override;

 private:
  HKEY Resolve(RegKey key) const;

  std::map<RegKey, HKEY> open_;
  RegKey next_ = 1;
};

}  // namespace zlv
