// The Windows replacement step of FileProfileStore.
#pragma once

#include <string>

namespace zlv {

// MoveFileExA with replace and write-through: the target is either the old or
// the new file, never a mix, and the new one is on disk when this returns.
bool ReplaceFileWin32(const std::string& source, const std::string& target);

}  // namespace zlv
