#include "settings/FileProfileStore.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "settings/ProfileEngine.h"

namespace zlv {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const std::string& path, const char* mode) {
  return File(std::fopen(path.c_str(), mode));
}

bool WriteAll(std::FILE* f, const std::string& content) {
  if (!content.empty() && std::fwrite(content.data(), 1, content.size(), f) != content.size()) {
    return false;
  }
  return std::fflush(f) == 0;
}

// Writes a whole file and closes it, reporting every failure on the way.
bool WriteFile(const std::string& path, const std::string& content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = WriteAll(f, content);
  return std::fclose(f) == 0 && written;
}

enum class Presence { kAbsent, kPresent, kUnreadable };

Presence Probe(const std::string& path, std::string& content) {
  errno = 0;
  File f = Open(path, "rb");
  if (!f) return errno == ENOENT ? Presence::kAbsent : Presence::kUnreadable;
  std::string data;
  char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) data.append(chunk, n);
  if (std::ferror(f.get())) return Presence::kUnreadable;
  content = std::move(data);
  return Presence::kPresent;
}

}  // namespace

bool RenameReplace(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::string content;
  if (Probe(path, content) != Presence::kPresent) return std::nullopt;
  return content;
}

std::string FileProfileStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, const std::string& path) {
  return profile::ReadString(ReadWholeFile(path), section, key, defaultValue);
}

bool FileProfileStore::WriteString(const std::string& section, const std::string& key,
                                   const std::string& value, const std::string& path) {
  std::string old;
  const Presence presence = Probe(path, old);
  if (presence == Presence::kUnreadable) return false;
  const bool exists = presence == Presence::kPresent;
  // A read-only file must stay as it is, even where the folder would let a
  // replacement through.
  if (exists && !Open(path, "r+b")) return false;

  const std::optional<std::string> updated = profile::WriteString(old, section, key, value);
  if (!updated) return false;
  if (exists && *updated == old) return true;

  const std::string temp = path + ".tmp~";
  if (WriteFile(temp, *updated) && replacer_(temp, path)) return true;
  std::remove(temp.c_str());

  // No temporary file possible here (a folder we may not write to): rewrite
  // the original itself, and put the old bytes back if that fails half-way.
  if (WriteFile(path, *updated)) return true;
  if (exists) {
    WriteFile(path, old);
  } else {
    std::remove(path.c_str());
  }
  return false;
}

}  // namespace zlv
