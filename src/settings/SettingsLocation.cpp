#include "settings/SettingsLocation.h"

#include <cerrno>
#include <cstdio>

namespace zlv {
namespace {

// A file that is there but cannot be read exists too: it is never replaced.
bool Exists(const std::string& path) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return errno != ENOENT;
  std::fclose(f);
  return true;
}

// The store's own temporary name: probing with it leaves nothing new behind.
std::string Temporary(const std::string& path) {
  return path + ".tmp~";
}

bool WriteNew(const std::string& path, const std::string& content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written =
      content.empty() || std::fwrite(content.data(), 1, content.size(), f) == content.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace

bool CanWriteSettings(const std::string& path) {
  // An existing file is rewritten in place when no temporary file is possible.
  if (std::FILE* f = std::fopen(path.c_str(), "r+b")) {
    std::fclose(f);
    return true;
  }
  if (Exists(path)) return false;
  const std::string probe = Temporary(path);
  std::FILE* f = std::fopen(probe.c_str(), "wb");
  if (!f) return false;
  std::fclose(f);
  std::remove(probe.c_str());
  return true;
}

std::string ChooseSettingsFile(const std::string& folderFile, bool limited, UserAccount& user,
                               const FileReplacer& replacer) {
  if (!limited && CanWriteSettings(folderFile)) return folderFile;
  const std::string ownCopy = user.OwnCopy();
  if (ownCopy.empty()) return folderFile;
  if (Exists(ownCopy)) return ownCopy;
  if (limited && CanWriteSettings(folderFile)) return folderFile;

  // Settings that cannot be read are not copied: the folder's file keeps them.
  std::string content;
  if (Exists(folderFile)) {
    const auto whole = ReadWholeFile(folderFile);
    if (!whole) return folderFile;
    content = *whole;
  }
  const std::string temp = Temporary(ownCopy);
  if (user.MakeOwnCopyFolder() && WriteNew(temp, content) && replacer(temp, ownCopy))
    return ownCopy;
  std::remove(temp.c_str());
  return folderFile;
}

}  // namespace zlv
