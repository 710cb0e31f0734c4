#include "settings/ProfileEngine.h"

namespace zlv::profile {
namespace {

// The platform trims these around names and values; 0x1A is the old
// end-of-file mark that editors of the DOS era left behind.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view CutAtNul(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

enum class Kind { kBlank, kSection, kEntry, kOther };

// One line of the file. A line ends at the next LF; only where no LF follows
// anywhere does a CR end it, which is how the system reads files from old
// Macs. A CR before the LF, like any other blank, is trimmed away. `next` is
// where the following line starts.
struct Line {
  std::size_t begin = 0;
  std::size_t next = 0;
  bool terminated = false;  // ends in LF (or CR)
  Kind kind = Kind::kBlank;
  std::string_view name;       // section or key name, trimmed
  std::size_t valueBegin = 0;  // entry: first byte of the trimmed value
  std::size_t valueEnd = 0;    // entry: one past its last byte
};

Line ParseLine(std::string_view content, std::size_t begin) {
  Line line;
  line.begin = begin;
  std::size_t end = content.find('\n', begin);
  if (end == std::string_view::npos) end = content.find('\r', begin);
  line.terminated = end != std::string_view::npos;
  line.next = line.terminated ? end + 1 : content.size();

  std::size_t b = begin;
  std::size_t e = line.next;
  while (b < e && IsBlank(content[b])) ++b;
  while (e > b && IsBlank(content[e - 1])) --e;
  if (b == e) return line;
  const std::string_view text = content.substr(b, e - b);

  // The header's name runs to the last ']' on the line.
  if (text.front() == '[') {
    const std::size_t close = text.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = Kind::kSection;
      line.name = Trim(text.substr(1, close - 1));
      return line;
    }
  }
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) {
    line.kind = Kind::kOther;
    return line;
  }
  line.kind = Kind::kEntry;
  line.name = Trim(text.substr(0, eq));
  std::size_t vb = b + eq + 1;
  while (vb < e && IsBlank(content[vb])) ++vb;
  line.valueBegin = vb;
  line.valueEnd = e;
  return line;
}

std::string CleanValue(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  // The reader hands over a C string: a NUL ends it.
  value = CutAtNul(value);
  return std::string(value.substr(0, kMaxValueLength));
}

// The line end for lines added at `at`. After the file's last LF, lines end
// in a CR; an LF added there would join all of them into one line and lose
// their entries, so lines added among them end in a CR as well.
std::string_view LineEndAt(std::string_view content, std::size_t at) {
  if (content.find('\n', at) != std::string_view::npos) return "\r\n";
  const std::string_view before = content.substr(0, at);
  const std::size_t lastLf = before.rfind('\n');
  const std::size_t tail = lastLf == std::string_view::npos ? 0 : lastLf + 1;
  return before.find('\r', tail) != std::string_view::npos ? "\r" : "\r\n";
}

bool HasLineBreak(std::string_view s) {
  return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// Where the section starts and ends, and where its last non-blank line ends.
struct SectionSpan {
  bool found = false;
  std::size_t appendAt = 0;       // after the last non-blank line (or the header)
  bool appendNeedsBreak = false;  // that line has no LF of its own
  std::optional<Line> entry;      // the key's first entry within the section
};

SectionSpan FindSection(std::string_view content, std::string_view section, std::string_view key) {
  SectionSpan span;
  bool inside = false;
  for (std::size_t pos = 0; pos < content.size();) {
    const Line line = ParseLine(content, pos);
    pos = line.next;
    if (line.kind == Kind::kSection) {
      // Only the first section of the name counts, as the platform reads it.
      if (inside) break;
      if (!span.found && SameName(line.name, section)) {
        span.found = inside = true;
        span.appendAt = line.next;
        span.appendNeedsBreak = !line.terminated;
      }
      continue;
    }
    if (!inside) continue;
    if (line.kind != Kind::kBlank) {
      span.appendAt = line.next;
      span.appendNeedsBreak = !line.terminated;
    }
    if (line.kind == Kind::kEntry && !span.entry && SameName(line.name, key)) {
      span.entry = line;
    }
  }
  return span;
}

}  // namespace

std::optional<std::string> FindValue(std::string_view content, std::string_view section,
                                     std::string_view key) {
  // C strings at the platform's interface, as in WriteString: a NUL ends a name.
  section = Trim(CutAtNul(section));
  key = Trim(CutAtNul(key));
  if (section.empty() || key.empty()) return std::nullopt;
  const SectionSpan span = FindSection(content, section, key);
  if (!span.entry) return std::nullopt;
  return CleanValue(
      content.substr(span.entry->valueBegin, span.entry->valueEnd - span.entry->valueBegin));
}

std::string ReadString(const std::optional<std::string>& content, std::string_view section,
                       std::string_view key, std::string_view defaultValue) {
  if (content) {
    if (auto value = FindValue(*content, section, key)) return *value;
  }
  std::string_view def = CutAtNul(defaultValue);
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return std::string(def.substr(0, kMaxValueLength));
}

std::optional<std::string> WriteString(std::string_view content, std::string_view section,
                                       std::string_view key, std::string_view value) {
  // The platform takes C strings: a NUL ends each of them.
  section = Trim(CutAtNul(section));
  key = Trim(CutAtNul(key));
  value = CutAtNul(value);
  if (section.empty() || key.empty()) return std::nullopt;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return std::nullopt;
  // Such a key would be written, but never found again: its line would read
  // as a shorter key, or as a section header.
  if (key.find('=') != std::string_view::npos || key.front() == '[') return std::nullopt;

  const SectionSpan span = FindSection(content, section, key);
  std::string out;
  out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
  if (span.entry) {
    // Only the old value's bytes change; name, blanks and line end stay.
    out.append(content.substr(0, span.entry->valueBegin));
    out.append(value);
    out.append(content.substr(span.entry->valueEnd));
    return out;
  }
  if (span.found) {
    const std::string_view end = LineEndAt(content, span.appendAt);
    out.append(content.substr(0, span.appendAt));
    if (span.appendNeedsBreak) out.append(end);
    out.append(key).append("=").append(value).append(end);
    out.append(content.substr(span.appendAt));
    return out;
  }
  const std::string_view end = LineEndAt(content, content.size());
  out.append(content);
  if (!content.empty() && content.back() != '\n' && content.back() != '\r') out.append(end);
  out.append("[").append(section).append("]").append(end);
  out.append(key).append("=").append(value).append(end);
  return out;
}

}  // namespace zlv::profile
