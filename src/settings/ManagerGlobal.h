// Access to the settings file "ZemloLinkvaneManager-Settings.ini": ReadINI,
// WriteINI, CheckMaxMin, the numeric value of a settings text, the escaping of
// values, and the window-placement scheme the manager and log monitor share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ErrorReporter.h"
#include "core/Modules.h"
#include "platform/UserPrompts.h"
#include "platform/WindowFrame.h"

namespace zlv {

inline constexpr std::string_view kSettingsFileName = "ZemloLinkvaneManager-Settings.ini";

// The profile functions, GetPrivateProfileStringA/WritePrivateProfileStringA.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The entry's value (at most 1023 characters), or the default with trailing
  // blanks removed when file, section or key is absent.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, const std::string& path) = 0;
  // False when the file could not be written; the file is then unchanged.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& path) = 0;
};

class ManagerGlobal {
 public:
  ManagerGlobal(ProfileStore& store, Beeper& beeper, ErrorReporter& reporter)
      : store_(store), beeper_(beeper), module_(reporter, module::kManagerGlobal) {}

  std::string ReadINI(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& defaultValue);
  // A failed write beeps once; the caller carries on.
  void WriteINI(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value);
  // The value if minimum <= value <= maximum, otherwise the default (no clamping).
  double CheckMaxMin(double value, double minimum, double maximum, double defaultValue);

  ErrorReporter& Reporter() { return module_.Reporter(); }

 private:
  ProfileStore& store_;
  Beeper& beeper_;
  Module module_;
};

std::string EscapeValue(std::string_view value);
std::string UnescapeValue(std::string_view value);

// The numeric value of a settings text: blanks, tabs and line feeds skipped,
// a decimal number or &H/&O integer at the start, 0 when none.
double NumericValue(std::string_view text);
// Rounded to the nearest whole number, an exact half to the even neighbour;
// a value outside the type raises the overflow failure.
int32_t ToInt32(double value);
int16_t ToInt16(double value);

// The placement scheme. The manager window saves Top, Left and State and
// keeps its designed size; the log monitor also saves Height and Width, takes
// the default size when nothing is saved, centres left before top and is
// restored with one Move. sizeSaved tells the two apart.
struct PlacementScheme {
  const char* section = "";
  bool sizeSaved = false;
  int32_t defaultWidth = 0;  // used when no placement is saved and sizeSaved
  int32_t defaultHeight = 0;
};

// Failures (a value that does not fit, a state the window refuses) propagate
// to the caller, whose own LoadSettings/SaveSettings reports them.
void SavePlacement(ManagerGlobal& settings, const std::string& file, const PlacementScheme& scheme,
                   WindowFrame& window);
void LoadPlacement(ManagerGlobal& settings, const std::string& file, const PlacementScheme& scheme,
                   WindowFrame& window, Screen& screen);

}  // namespace zlv
