#pragma once
// The real-number entries of the colour windows, and how their numbers are written back. A
// text that is not a number is refused with the platform's conversion message, and the
// command that read it paints nothing.

#include <string>
#include <string_view>

#include "common/result.h"

namespace tesmar::compose {

// Blanks around the number and a leading "+" are accepted. "nan" and "inf" are refused too:
// a range needs two finite ends.
station::Result<double> realField(std::string_view text);

// Fixed notation with `decimals` decimals, halves rounded away from zero as the windows
// always showed them; never "-0". The value must be finite.
std::string fixedText(double value, int decimals);

}  // namespace tesmar::compose
