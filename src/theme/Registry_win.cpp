#include "theme/Registry_win.h"

namespace zlv {
namespace {

bool IsPredefined(RegKey key) {
  return key >= 0x80000000u && key <= 0x80000006u;
}

}  // namespace

Win32Registry::~Win32Registry() {
  for (const auto& entry : open_) RegCloseKey(entry.second);
}

HKEY Win32Registry::Resolve(RegKey key) const {
  // The roots are sign-extended 32-bit constants, as the system headers define them.
  if (IsPredefined(key))
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
  const auto found = open_.find(key);
  return found == open_.end() ? nullptr : found->second;
}

int32_t Win32Registry::OpenKey(RegKey parent, const std::string& subKey, RegKey& key) {
  const HKEY parentKey = Resolve(parent);
  if (!parentKey) return ERROR_INVALID_HANDLE;
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyA(parentKey, subKey.c_str(), &opened);
  if (rc != ERROR_SUCCESS) return rc;
  while (next_ == 0 || IsPredefined(next_) || open_.count(next_)) ++next_;
  key = next_++;
  open_[key] = opened;
  return ERROR_SUCCESS;
}

int32_t Win32Registry::QueryValue(RegKey key, const std::string& valueName, uint32_t& type,
                                  std::string* data, uint32_t& size) {
  const HKEY handle = Resolve(key);
  if (!handle) return ERROR_INVALID_HANDLE;
  DWORD valueType = 0;
  DWORD bytes = size;
  BYTE* buffer = nullptr;
  if (data) {
    if (data->size() < size) return ERROR_INVALID_PARAMETER;
    buffer = reinterpret_cast<BYTE*>(data->data());
  }
  const LONG rc = RegQueryValueExA(handle, valueName.c_str(), nullptr, &valueType, buffer, &bytes);
  // A value too large for the buffer still tells its type and the size it needs.
  if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    type = valueType;
    size = bytes;
  }
  return rc;
}

int32_t Win32Registry::CloseKey(RegKey key) {
  if (IsPredefined(key)) return RegCloseKey(Resolve(key));
  const auto found = open_.find(key);
  if (found == open_.end()) return ERROR_INVALID_HANDLE;
  const LONG rc = RegCloseKey(found->second);
  open_.erase(found);
  return rc;
}

}  // namespace zlv
