// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/series_sums.h"

#include <cmath>
#include <optional>

#include "engine/number_text.h"

namespace suusiki {
namespace {

constexpr NumberPattern kArithmeticPattern = NumberPattern::Parse("#,0.######### ");
constexpr NumberPattern kGeometricPattern = NumberPattern::Parse("#,0.############ ");

Text Shown(double sum, const NumberPattern& pattern) {
  // An overflow gives infinity, and infinity times 0 gives NaN.
  if (!std::isfinite(sum)) return Text(kCannotCalculate);
  return NumberText(sum, pattern);
}

}  // namespace

Text ArithmeticSeriesSum(TextView first, TextView last, TextView count) {
  const std::optional<double> a = ReadNumber(first);
  const std::optional<double> l = ReadNumber(last);
  const std::optional<double> n = ReadNumber(count);
  if (!a || !l || !n) return Text(kCannotCalculate);
  const double sum = *a + *l;
  const double product = sum * *n;
  return Shown(product / 2, kArithmeticPattern);
}

Text GeometricSeriesSum(TextView first, TextView ratio, TextView count) {
  const std::optional<double> a = ReadNumber(first);
  const std::optional<double> r = ReadNumber(ratio);
  const std::optional<double> n = ReadNumber(count);
  if (!a || !r || !n) return Text(kCannotCalculate);
  if (*r == 1) return Shown(*n * *a, kGeometricPattern);
  // A negative ratio with a fractional number of terms has no real power, a
  // ratio of 0 with a negative number of terms an infinite one.
  const double power = std::pow(*r, *n);
  if (!std::isfinite(power)) return Text(kCannotCalculate);
  const double less = power - 1;
  const double times = less * *a;
  return Shown(times / (*r - 1), kGeometricPattern);
}

}  // namespace suusiki
