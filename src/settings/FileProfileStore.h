// The settings file on disk, read and written through ProfileEngine with plain
// C file I/O. The Windows build uses this same store instead of the kernel's
// profile functions, so both builds behave identically and a write can be made
// safe: the new content goes to a temporary file in the same folder that then
// replaces the original. The kernel's functions rewrite the file in place.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "settings/ManagerGlobal.h"

namespace zlv {

// Replaces `target` by `source` in one step; false when that is impossible.
using FileReplacer = std::function<bool(const std::string& source, const std::string& target)>;

// std::rename: atomic on POSIX; the C runtime on Windows refuses an existing
// target, and the Windows build passes ReplaceFileWin32 instead.
bool RenameReplace(const std::string& source, const std::string& target);

// The whole file, or nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

class FileProfileStore : public ProfileStore {
 public:
  explicit FileProfileStore(FileReplacer replacer = RenameReplace)
      : replacer_(std::move(replacer)) {}

  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string& path) override;
  // False leaves the file exactly as it was: a read-only or unreadable file,
  // a file that cannot be created, a name or value the format cannot hold.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override;

 private:
  FileReplacer replacer_;
};

}  // namespace zlv
