#include "settings/ManagerGlobal.h"
#include "core/Modules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "settings/ProfileEngine.h"

namespace zlv {
namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos)).append(to);
  }
  out.append(text.substr(pos));
  return out;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Skipped(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}

// An &H or &O literal. Up to 16 bits of digits make a 16-bit integer and up to
// 32 bits a 32-bit one, each taken as signed, so &HFFFF reads as -1 like the
// literal it imitates.
double RadixValue(const std::string& digits, int radix) {
  if (digits.empty()) return 0;
  double magnitude = 0;
  for (char c : digits) {
    int d = (c >= '0' && c <= '9') ? c - '0' : Lower(c) - 'a' + 10;
    magnitude = magnitude * radix + d;
  }
  if (magnitude <= 0xFFFF) {
    return magnitude >= 0x8000 ? magnitude - 65536.0 : magnitude;
  }
  if (magnitude <= 0xFFFFFFFF) {
    return magnitude >= 2147483648.0 ? magnitude - 4294967296.0 : magnitude;
  }
  RaiseOverflow();
}

}  // namespace

std::string EscapeValue(std::string_view value) {
  return ReplaceAll(ReplaceAll(ReplaceAll(value, "\r", "<CR>"), "\n", "<LF>"), "\"", "<QUOTE>");
}

std::string UnescapeValue(std::string_view value) {
  return ReplaceAll(ReplaceAll(ReplaceAll(value, "<CR>", "\r"), "<LF>", "\n"), "<QUOTE>", "\"");
}

double NumericValue(std::string_view text) {
  // The significant characters only: blanks, tabs and line feeds neither end
  // nor separate a number.
  std::string s;
  for (char c : text) {
    if (!Skipped(c)) s.push_back(c);
  }
  std::size_t i = 0;
  auto peek = [&](std::size_t ahead = 0) { return i + ahead < s.size() ? s[i + ahead] : '\0'; };

  if (peek() == '&') {
    const char kind = Lower(peek(1));
    const int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
    if (radix == 0) return 0;
    i += 2;
    std::string digits;
    for (;; ++i) {
      const char c = Lower(peek());
      const bool ok =
          radix == 16 ? ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) : (c >= '0' && c <= '7');
      if (!ok) break;
      digits.push_back(c);
    }
    // Leading zeros carry no value and must not push a literal into 32 bits.
    const std::size_t first = digits.find_first_not_of('0');
    return RadixValue(first == std::string::npos ? "" : digits.substr(first), radix);
  }

  std::string number;  // sign, digits, '.', 'e', sign, digits: what from_chars reads
  bool negative = false;
  if (peek() == '+' || peek() == '-') {
    negative = peek() == '-';
    ++i;
  }
  bool digits = false;
  while (peek() >= '0' && peek() <= '9') {
    number.push_back(s[i++]);
    digits = true;
  }
  if (peek() == '.') {
    ++i;
    number.push_back('.');
    while (peek() >= '0' && peek() <= '9') {
      number.push_back(s[i++]);
      digits = true;
    }
  }
  if (!digits) return 0;
  const char e = Lower(peek());
  if (e == 'e' || e == 'd') {
    std::size_t j = 1;
    std::string exponent = "e";
    if (peek(j) == '+' || peek(j) == '-') exponent.push_back(peek(j++));
    bool expDigits = false;
    while (peek(j) >= '0' && peek(j) <= '9') {
      exponent.push_back(peek(j++));
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }
  if (number.front() == '.') number.insert(number.begin(), '0');

  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Too small is zero; too large does not fit any number.
    const std::size_t ePos = number.find('e');
    if (ePos != std::string::npos && number.find('-', ePos) != std::string::npos) return 0;
    RaiseOverflow();
  }
  if (!std::isfinite(value)) RaiseOverflow();
  return negative ? -value : value;
}

namespace {
template <class Int>
Int ToWhole(double value) {
  // nearbyint in the default rounding mode sends an exact half to the even
  // neighbour.
  const double r = std::nearbyint(value);
  if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    RaiseOverflow();
  }
  return static_cast<Int>(r);
}
}  // namespace

int32_t ToInt32(double value) {
  return ToWhole<int32_t>(value);
}
int16_t ToInt16(double value) {
  return ToWhole<int16_t>(value);
}

std::string ManagerGlobal::ReadINI(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
  Procedure p(module_, "ReadINI");
  return p.Run([&] {
    p.At(10);
    std::string text = store_.GetString(section, key, defaultValue, file);
    p.At(20);
    std::string result;
    if (text.empty()) {
      // An empty value reads like an absent key: the caller's default, as given.
      result = defaultValue;
    } else {
      p.At(30);
      // The reader's buffer has room for 1023 characters; whatever it holds
      // comes back without leading blanks.
      if (text.size() > profile::kMaxValueLength) text.resize(profile::kMaxValueLength);
      result = text.substr(std::min(text.find_first_not_of(' '), text.size()));
    }
    p.At(40);
    return UnescapeValue(result);
  });
}

void ManagerGlobal::WriteINI(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) {
  Procedure p(module_, "WriteINI");
  p.Run([&] {
    p.At(10);
    const std::string escaped = EscapeValue(value);
    p.At(20);
    const bool written = store_.WriteString(section, key, escaped, file);
    p.At(30);
    if (!written) beeper_.Beep();
  });
}

double ManagerGlobal::CheckMaxMin(double value, double minimum, double maximum,
                                  double defaultValue) {
  Procedure p(module_, "CheckMaxMin");
  return p.Run([&] {
    p.At(10);
    if (value > maximum) return defaultValue;
    p.At(20);
    if (value < minimum) return defaultValue;
    p.At(30);
    return value;
  });
}

namespace {

int32_t ReadWhole(ManagerGlobal& settings, const std::string& file, const std::string& section,
                  const char* key, const char* defaultValue) {
  return ToInt32(NumericValue(settings.ReadINI(file, section, key, defaultValue)));
}

void WriteWhole(ManagerGlobal& settings, const std::string& file, const std::string& section,
                const char* key, int32_t value) {
  settings.WriteINI(file, section, key, std::to_string(value));
}

}  // namespace

void SavePlacement(ManagerGlobal& settings, const std::string& file, const PlacementScheme& scheme,
                   WindowFrame& window) {
  const int32_t windowState = window.WindowState();
  // A minimised or maximised window keeps the last normal placement on file.
  if (windowState != state::kNormal) {
    WriteWhole(settings, file, scheme.section, "State", windowState);
    return;
  }
  WriteWhole(settings, file, scheme.section, "Top", window.Top());
  WriteWhole(settings, file, scheme.section, "Left", window.Left());
  if (scheme.sizeSaved) {
    WriteWhole(settings, file, scheme.section, "Height", window.Height());
    WriteWhole(settings, file, scheme.section, "Width", window.Width());
  }
  WriteWhole(settings, file, scheme.section, "State", windowState);
}

void LoadPlacement(ManagerGlobal& settings, const std::string& file, const PlacementScheme& scheme,
                   WindowFrame& window, Screen& screen) {
  const int32_t top = ReadWhole(settings, file, scheme.section, "Top", "-1");
  const int32_t left = ReadWhole(settings, file, scheme.section, "Left", "-1");
  int32_t height = 0;
  int32_t width = 0;
  if (scheme.sizeSaved) {
    height = ReadWhole(settings, file, scheme.section, "Height", "-1");
    width = ReadWhole(settings, file, scheme.section, "Width", "-1");
  }
  const int16_t savedState =
      ToInt16(NumericValue(settings.ReadINI(file, scheme.section, "State", "0")));

  const bool saved =
      top != -1 && left != -1 && (!scheme.sizeSaved || (height != -1 && width != -1));
  if (!saved) {
    if (scheme.sizeSaved) {
      window.SetWidth(scheme.defaultWidth);
      window.SetHeight(scheme.defaultHeight);
    }
    // Half a twip is far below a pixel: the whole-twip quotient is enough.
    auto centre = [](int32_t screenLength, int32_t windowLength) {
      return static_cast<int32_t>((int64_t{screenLength} - windowLength) / 2);
    };
    if (scheme.sizeSaved) {
      window.SetLeft(centre(screen.WidthTwips(), window.Width()));
      window.SetTop(centre(screen.HeightTwips(), window.Height()));
    } else {
      window.SetTop(centre(screen.HeightTwips(), window.Height()));
      window.SetLeft(centre(screen.WidthTwips(), window.Width()));
    }
  } else if (scheme.sizeSaved) {
    window.Move(left, top, width, height);
  } else {
    window.SetTop(top);
    window.SetLeft(left);
  }
  window.SetWindowState(savedState);
}

}  // namespace zlv
