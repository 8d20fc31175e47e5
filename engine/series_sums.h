// SPDX-License-Identifier: GPL-3.0-or-later
// The sums of the two series windows, from the texts of their boxes to the text
// they show. Each box is read by the reading rule; the sum is shown by the
// number text rule, or as "計算不能！" when it has no finite value.
#pragma once

#include "engine/text.h"

namespace suusiki {

// Shown instead of a number when a box holds a value beyond the range of a
// double, or the sum is not finite.
inline constexpr char32_t kCannotCalculate[] = U"計算不能！";

// S = (a + l) × n / 2, in that order, shown with at most 9 decimals, commas
// between thousands and a trailing space.
Text ArithmeticSeriesSum(TextView first, TextView last, TextView count);

// S = n × a when the ratio is exactly 1, otherwise a × (r^n − 1) / (r − 1)
// worked out as the power, minus 1, times a, divided by r − 1; shown with at
// most 12 decimals, commas between thousands and a trailing space.
Text GeometricSeriesSum(TextView first, TextView ratio, TextView count);

}  // namespace suusiki
