// The settings engine over any file bytes: a read answers within the reader's buffer; a
// write is refused, or loses nothing (it replaces the one line of its entry, or adds it with
// its section's header) and reads back as the platform gives a stored value: cut at a NUL,
// blanks at both ends and one pair of enclosing quotes removed, at most 1023 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

#include "FuzzCheck.h"
#include "shell/ProfileEngine.h"

using zlv::profile::kMaxValueLength;

static std::string AsRead(std::string_view value) {
  const char* blanks = " \t\r\n\v\f\x1a";
  value = value.substr(0, value.find('\0'));
  value.remove_prefix(std::min(value.find_first_not_of(blanks), value.size()));
  value = value.substr(0, value.find_last_not_of(blanks) + 1);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

// The lines as the platform reads them: ended by LF (a CR before it dropped),
// and after the file's last LF by CR.
static std::vector<std::string_view> Lines(std::string_view s) {
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0, lastLf = s.rfind('\n'); pos < s.size();) {
    const bool byLf = lastLf != s.npos && pos <= lastLf;
    const std::size_t end = std::min(s.find(byLf ? '\n' : '\r', pos), s.size());
    lines.push_back(s.substr(pos, end - pos - (byLf && end > pos && s[end - 1] == '\r')));
    pos = end + 1;
  }
  return lines;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(40);
  const std::string key = in.ConsumeRandomLengthString(40);
  const std::string value = in.ConsumeRandomLengthString(1200);
  const std::string defaultValue = in.ConsumeRandomLengthString(1200);
  const std::string before = in.ConsumeRemainingBytesAsString();
  const std::string read = zlv::profile::ReadString(before, section, key, defaultValue);
  FUZZ_CHECK(read.size() <= kMaxValueLength);
  FUZZ_CHECK(zlv::profile::FindValue(before, section, key).value_or(read) == read);
  const std::optional<std::string> after = zlv::profile::WriteString(before, section, key, value);
  if (!after) return 0;
  const auto old = Lines(before), now = Lines(*after);
  std::size_t same = 0, tail = 0;
  while (same < old.size() && same < now.size() && old[same] == now[same]) ++same;
  while (tail < old.size() - same && tail < now.size() - same &&
         old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t removed = old.size() - same - tail, added = now.size() - same - tail;
  FUZZ_CHECK(removed == added ? removed <= 1 : removed == 0 && added <= 2);
  FUZZ_CHECK(zlv::profile::FindValue(*after, section, key) == AsRead(value));
  return 0;
}
