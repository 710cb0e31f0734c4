// The reading of numbers and the escaping of values over arbitrary text: a
// number is always finite, a whole number is in its type or the overflow
// failure, and an escaped value is one line that unescapes to itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "FuzzCheck.h"
#include "shell/Failure.h"
#include "shell/ManagerGlobal.h"

namespace {

template <class Int, class Convert>
void CheckWhole(double value, Convert convert) {
  const double lo = std::numeric_limits<Int>::min();
  const double hi = std::numeric_limits<Int>::max();
  try {
    const Int whole = convert(value);
    FUZZ_CHECK(std::fabs(whole - value) <= 0.5);
    // An exact half goes to the even neighbour.
    if (std::fabs(whole - value) == 0.5) FUZZ_CHECK(whole % 2 == 0);
  } catch (const zlv::Failure& failure) {
    FUZZ_CHECK(failure.Number() == zlv::err::kOverflow);
    // Only a value that rounds outside the type may overflow; the top bound is
    // odd, so its half above rounds up, out of the type.
    FUZZ_CHECK(std::isnan(value) || value < lo - 0.5 || value >= hi + 0.5);
  }
}

void CheckNumber(double value) {
  CheckWhole<int32_t>(value, zlv::ToInt32);
  CheckWhole<int16_t>(value, zlv::ToInt16);
}

bool HasOwnMarks(const std::string& text) {
  for (const char* mark : {"<CR>", "<LF>", "<QUOTE>"}) {
    if (text.find(mark) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);

  // Any bit pattern, NaN and the infinities included.
  double raw = 0;
  const auto bits = in.ConsumeBytes<uint8_t>(sizeof raw);
  if (!bits.empty()) std::memcpy(&raw, bits.data(), bits.size());
  CheckNumber(raw);

  const std::string text = in.ConsumeRemainingBytesAsString();
  try {
    const double value = zlv::NumericValue(text);
    FUZZ_CHECK(std::isfinite(value));
    CheckNumber(value);
  } catch (const zlv::Failure& failure) {
    // A number beyond any type, such as 1e400.
    FUZZ_CHECK(failure.Number() == zlv::err::kOverflow);
  }

  const std::string escaped = zlv::EscapeValue(text);
  FUZZ_CHECK(escaped.find_first_of("\r\n\"") == std::string::npos);
  if (!HasOwnMarks(text)) FUZZ_CHECK(zlv::UnescapeValue(escaped) == text);
  return 0;
}
