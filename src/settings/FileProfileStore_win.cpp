#include "settings/FileProfileStore_win.h"

#include <windows.h>

namespace zlv {

bool ReplaceFileWin32(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace zlv
