// Numbers and escaping over any text: a number is finite or the overflow failure; a whole
// number lies within half of it (a half at the even neighbour) or is the overflow failure;
// an escaped value is one line that unescapes to itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <limits>

#include "FuzzCheck.h"
#include "shell/ManagerGlobal.h"

template <class Int>
static void CheckWhole(double value, Int (*convert)(double)) {
  try {
    const double off = std::fabs(convert(value) - value);
    FUZZ_CHECK(off < 0.5 || (off == 0.5 && convert(value) % 2 == 0));
  } catch (const zlv::Failure& failure) {  // the top bound is odd: its half above rounds out
    FUZZ_CHECK(failure.Number() == zlv::err::kOverflow);
    FUZZ_CHECK(std::isnan(value) || value < std::numeric_limits<Int>::min() - 0.5 ||
               value >= std::numeric_limits<Int>::max() + 0.5);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const double raw = std::bit_cast<double>(in.ConsumeIntegral<uint64_t>());  // NaN, infinities
  const std::string text = in.ConsumeRemainingBytesAsString();
  double read = 0;
  try {
    read = zlv::NumericValue(text);
    FUZZ_CHECK(std::isfinite(read));
  } catch (const zlv::Failure& failure) {
    FUZZ_CHECK(failure.Number() == zlv::err::kOverflow);  // beyond any type, such as 1e400
  }
  for (const double value : {raw, read}) CheckWhole(value, zlv::ToInt32);
  for (const double value : {raw, read}) CheckWhole(value, zlv::ToInt16);
  const std::string escaped = zlv::EscapeValue(text);
  FUZZ_CHECK(escaped.find_first_of("\r\n\"") == std::string::npos);
  // Marks typed into a value are not escaped: such a value does not come back whole.
  const bool marked = text.find("<CR>") != text.npos || text.find("<LF>") != text.npos ||
                      text.find("<QUOTE>") != text.npos;
  FUZZ_CHECK(marked || zlv::UnescapeValue(escaped) == text);
  return 0;
}
