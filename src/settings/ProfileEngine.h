// The settings file's format as GetPrivateProfileStringA and
// WritePrivateProfileStringA read and write it, as pure functions over the
// file's bytes. Both builds use this engine (FileProfileStore), so the file is
// read and written identically on Linux and on Windows, and a write can go
// through a temporary file instead of rewriting the original in place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zlv::profile {

// The reader's buffer holds 1024 characters, one of them the terminator.
inline constexpr std::size_t kMaxValueLength = 1023;

// The value of the key in the first section of that name, with blanks at both
// ends and one pair of enclosing quotes removed and cut at a NUL; nullopt when
// the section or the key is absent. Names match without regard to case.
std::optional<std::string> FindValue(std::string_view content, std::string_view section,
                                     std::string_view key);

// What the profile reader delivers into a 1024-character buffer: the value,
// or, when file (content == nullopt), section or key is absent, the default
// with its trailing blanks removed; at most 1023 characters either way.
std::string ReadString(const std::optional<std::string>& content, std::string_view section,
                       std::string_view key, std::string_view defaultValue);

// The file's new content after storing key=value in the section: an existing
// entry gets the new value in place, a new key goes after the last non-blank
// line of its section, a new section goes at the end of the file. Every other
// byte stays as it was; what is added ends in CR LF, or in CR alone among
// lines that end so. nullopt for a request the file cannot hold safely: an
// empty name, a line break in a name or value, a key holding "=" or starting
// with "[".
std::optional<std::string> WriteString(std::string_view content, std::string_view section,
                                       std::string_view key, std::string_view value);

}  // namespace zlv::profile
