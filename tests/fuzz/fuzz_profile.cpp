// The settings engine over arbitrary file bytes: reads always answer within
// the reader's buffer, and a write either is refused or changes exactly the
// one entry it stores (plus the header of a new section), after which the
// entry reads back as the profile functions would give it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "shell/ErrorReporter.h"
#include "shell/ManagerGlobal.h"
#include "shell/ProfileEngine.h"

namespace {

using zlv::profile::kMaxValueLength;

std::string_view CutAtNul(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The lines of a file as the profile functions read them: an LF ends a line,
// and after the file's last LF a CR does. Each line without its line end.
std::vector<std::string_view> Lines(std::string_view s) {
  std::vector<std::string_view> lines;
  const std::size_t lastLf = s.rfind('\n');
  std::size_t pos = 0;
  while (pos < s.size()) {
    std::size_t end;
    std::size_t next;
    if (lastLf != std::string_view::npos && pos <= lastLf) {
      end = s.find('\n', pos);
      next = end + 1;
      if (end > pos && s[end - 1] == '\r') --end;
    } else {
      end = s.find('\r', pos);
      if (end == std::string_view::npos) end = s.size();
      next = end < s.size() ? end + 1 : end;
    }
    lines.push_back(s.substr(pos, end - pos));
    pos = next;
  }
  return lines;
}

// What a read gives back for a stored value: blanks at both ends and one
// pair of enclosing quotes removed, at most the buffer's 1023 characters.
std::string AsRead(std::string_view value) {
  value = Trim(CutAtNul(value));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

void CheckWrite(const std::string& before, const std::string& section, const std::string& key,
                const std::string& value) {
  const std::optional<std::string> after = zlv::profile::WriteString(before, section, key, value);
  if (!after) return;  // refused: the file is not touched at all

  const auto oldLines = Lines(before);
  const auto newLines = Lines(*after);
  std::size_t same = 0;
  while (same < oldLines.size() && same < newLines.size() && oldLines[same] == newLines[same]) {
    ++same;
  }
  std::size_t tail = 0;
  while (tail < oldLines.size() - same && tail < newLines.size() - same &&
         oldLines[oldLines.size() - 1 - tail] == newLines[newLines.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t removed = oldLines.size() - same - tail;
  const std::size_t added = newLines.size() - same - tail;
  const std::string entry = std::string(Trim(CutAtNul(key))) + "=" + std::string(CutAtNul(value));
  if (removed == 0 && added == 0) {
    FUZZ_CHECK(*after == before);  // the same value again
  } else if (removed == 1) {
    FUZZ_CHECK(added == 1);  // replaced in place
  } else {
    FUZZ_CHECK(removed == 0);
    FUZZ_CHECK(added == 1 || added == 2);
    FUZZ_CHECK(newLines[same + added - 1] == entry);
    if (added == 2) {
      FUZZ_CHECK(newLines[same] == "[" + std::string(Trim(CutAtNul(section))) + "]");
    }
  }

  const std::optional<std::string> readBack = zlv::profile::FindValue(*after, section, key);
  FUZZ_CHECK(readBack.has_value());
  FUZZ_CHECK(*readBack == AsRead(value));
}

// The settings file in memory, through the same engine as the file store.
class MemoryStore : public zlv::ProfileStore {
 public:
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string&) override {
    return zlv::profile::ReadString(file, section, key, defaultValue);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string&) override {
    auto updated = zlv::profile::WriteString(file.value_or(""), section, key, value);
    if (!updated) return false;
    file = std::move(*updated);
    return true;
  }
  std::optional<std::string> file;
};

class CountingBeeper : public zlv::Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

// Reading and writing settings never fails unexpectedly: a report is a fault.
class NoReports : public zlv::ErrorOutput {
 public:
  zlv::ProgramVersion Version() override { return {}; }
  std::string GeneralDateTime() override { return {}; }
  void ShowCritical(const std::string& text, const std::string&) override {
    std::fprintf(stderr, "reported: %s\n", text.c_str());
  }
  void Beep() override {}
  [[noreturn]] void EndNow() override {
    FUZZ_CHECK(!"a settings routine reported a failure");
    std::abort();
  }
};

bool HasOwnMarks(std::string_view text) {
  for (const char* mark : {"<CR>", "<LF>", "<QUOTE>"}) {
    if (text.find(mark) != std::string_view::npos) return true;
  }
  return false;
}

// WriteINI then ReadINI gives the value back whenever nothing in its stored,
// escaped form is lost to the reader: no blanks at its ends or enclosing
// quotes, no NUL, room in the buffer, and no escape marks of its own.
void CheckSettingsRoutines(const std::optional<std::string>& content, const std::string& section,
                           const std::string& key, const std::string& value,
                           const std::string& defaultValue) {
  MemoryStore store;
  store.file = content;
  CountingBeeper beeper;
  NoReports output;
  zlv::ErrorReporter reporter(output);
  zlv::ManagerGlobal settings(store, beeper, reporter);

  const std::string read = settings.ReadINI("f.ini", section, key, defaultValue);
  FUZZ_CHECK(read.size() <= std::max(kMaxValueLength, defaultValue.size()));

  settings.WriteINI("f.ini", section, key, value);
  if (beeper.beeps > 0) {
    FUZZ_CHECK(beeper.beeps == 1);
    FUZZ_CHECK(store.file == content);
    return;
  }
  const std::string stored = zlv::EscapeValue(value);
  const bool keptWhole = !stored.empty() && stored.find('\0') == std::string::npos &&
                         Trim(stored) == stored && AsRead(stored) == stored && !HasOwnMarks(value);
  if (keptWhole) FUZZ_CHECK(settings.ReadINI("f.ini", section, key, "?") == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string section = in.ConsumeRandomLengthString(40);
  const std::string key = in.ConsumeRandomLengthString(40);
  const std::string value = in.ConsumeRandomLengthString(1200);
  const std::string defaultValue = in.ConsumeRandomLengthString(1200);
  const std::string content = in.ConsumeRemainingBytesAsString();

  const std::string read = zlv::profile::ReadString(content, section, key, defaultValue);
  FUZZ_CHECK(read.size() <= kMaxValueLength);
  const std::string absent = zlv::profile::ReadString(std::nullopt, section, key, defaultValue);
  FUZZ_CHECK(absent.size() <= kMaxValueLength);
  if (const auto found = zlv::profile::FindValue(content, section, key)) {
    FUZZ_CHECK(found->size() <= kMaxValueLength);
    FUZZ_CHECK(read == *found);
  }

  CheckWrite(content, section, key, value);
  CheckSettingsRoutines(content, section, key, value, defaultValue);
  CheckSettingsRoutines(std::nullopt, section, key, value, defaultValue);
  return 0;
}
