// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/exact_decimal.h"

#include <cstdlib>
#include <utility>

namespace suusiki::exact {
namespace {

// 2^1024 - 2^970, the least value that a double's rounding makes infinite,
// as 18 digits from 10^308 on: 1.797693134862315807... x 10^308.
constexpr std::uint64_t kDoubleLimit = 179769313486231581;
// 1e99 less half a unit of the 15th digit: the least value cut to 1e99, as 18
// digits from 10^98 on.
constexpr std::uint64_t kTooLargeLimit = 999999999999999500;

// Whether a double holds the value exactly: 5^scale divides the digits and
// leaves an odd factor below 2^53.
bool Binary(const Decimal& value) {
  Natural n = value.digits;
  int scale = value.scale;
  std::uint32_t rest = 0;
  for (; scale > 0 && !n.IsZero() && n.LowestDigit() == 0; --scale) n = n.DividedBy(10, rest);
  if (n.IsZero()) return true;
  for (; scale > 0; --scale) {
    const Natural fifth = n.DividedBy(5, rest);
    if (rest != 0) return false;
    n = fifth;
  }
  while (n.DigitCount() > 16) {
    const Natural half = n.DividedBy(2, rest);
    if (rest != 0) return false;
    n = half;
  }
  while (n.LowestDigit() % 2 == 0) n = n.DividedBy(2, rest);
  return n.Small() < (std::uint64_t{1} << DBL_MANT_DIG);
}

// The digits of a number that is not zero, without the zeros at its end.
int SignificantDigits(const Natural& n) {
  Natural rest = n;
  std::uint32_t remainder = 0;
  int zeros = 0;
  for (; rest.LowestDigit() == 0; ++zeros) rest = rest.DividedBy(10, remainder);
  return n.DigitCount() - zeros;
}

// An operand's error once the engine reads it as a double.
double ReadError(const Decimal& value) { return value.error + (Binary(value) ? 0 : kUnit); }

}  // namespace

std::string ToText(const Decimal& value) {
  std::string digits = value.digits.ToString();
  if (value.digits.IsZero()) return "0";
  const std::string sign = value.negative ? "-" : "";
  const int exponent = static_cast<int>(digits.size()) - 1 - value.scale;
  if (exponent < -9 || exponent >= 21) {
    while (digits.back() == '0') digits.pop_back();
    if (digits.size() > 1) digits.insert(1, ".");
    return sign + digits + "e" + std::to_string(exponent);
  }
  if (value.scale > 0) {
    if (static_cast<int>(digits.size()) <= value.scale) {
      digits.insert(0, static_cast<std::size_t>(value.scale) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(value.scale), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return sign + digits;
}

// A zero result of an operation, as certain as the zero it came from.
Decimal Arithmetic::Zero(double error) {
  if (error > kUncertain) uncertain = true;
  return {false, Natural(), 0, error};
}

// The value p / q (not zero) as the reduction writes it: 15 significant
// digits, halves away from zero, whatever its magnitude. The engine's
// binary result lies within a relative `error` of p / q. A value of 1e99 or
// more ends the calculation, and so does one beyond the double range.
Decimal Arithmetic::Rounded(bool negative, const Natural& p, const Natural& q, double error) {
  // 10^e <= p / q < 10^(e + 1)
  int e = p.DigitCount() - q.DigitCount();
  if (e >= 0 ? Compare(p, q * Natural::Pow10(e)) < 0 : Compare(p * Natural::Pow10(-e), q) < 0) --e;
  // p / q x 10^(17 - e) has 18 digits before the point: cut them, then
  // round the last three away from zero.
  const int shift = 17 - e;
  Natural eighteen;
  Natural rest;
  if (shift >= 0) {
    Natural::Divide(p * Natural::Pow10(shift), q, eighteen, rest);
  } else {
    Natural::Divide(p, q * Natural::Pow10(-shift), eighteen, rest);
  }
  const std::uint64_t cut = eighteen.Small();
  if (e < -300) throw Failed{Outcome::OutOfRange};
  // The limits, where the engine's value may lie on the other side: 1e99 is
  // reached by the value cut to 15 digits, the double range is left by the
  // binary value itself.
  const double margin = error * 1e18 + 2;
  const auto distance = [cut](std::uint64_t limit) {
    return static_cast<double>(cut > limit ? cut - limit : limit - cut);
  };
  if ((e == 98 && distance(kTooLargeLimit) <= margin) || (e == 99 && distance(kTooLargeLimit / 10) <= margin / 10) ||
      (e == 308 && distance(kDoubleLimit) <= margin)) {
    throw Failed{Outcome::OutOfRange};
  }
  if (e > 308 || (e == 308 && cut >= kDoubleLimit)) throw Failed{Outcome::Overflow};
  std::uint64_t digits = (cut + 500) / 1000;
  if (digits == 1000000000000000) {  // 9.999999999999995 and up became 10
    digits /= 10;
    ++e;
  }
  if (e >= 99) throw Failed{Outcome::TooLarge};
  // The engine cuts its binary value to the same digits unless it lies
  // nearer to the half between two of them than the error reaches.
  const std::uint64_t below = cut % 1000;
  const double half = below < 500 ? (499.0 - static_cast<double>(below)) / 1000 : (below - 500.0) / 1000;
  const double result = error == 0 || error * static_cast<double>(cut) / 1000 < half ? 0 : error + 1e-14;
  if (result > kUncertain) uncertain = true;
  int scale = 14 - e;
  Natural value(digits);
  if (scale < 0) {
    value = value * Natural::Pow10(-scale);
    scale = 0;
  }
  return {negative, value, scale, result};
}

Decimal Arithmetic::Product(const Decimal& a, const Decimal& b) {
  if (a.digits.IsZero() || b.digits.IsZero()) {
    return Zero(std::max(a.digits.IsZero() ? a.error : 0, b.digits.IsZero() ? b.error : 0));
  }
  return Rounded(a.negative != b.negative, a.digits * b.digits, Natural::Pow10(a.scale + b.scale),
                 ReadError(a) + ReadError(b) + kUnit);
}

Decimal Arithmetic::Quotient(const Decimal& a, const Decimal& b) {
  if (b.digits.IsZero()) {  // 0/0 as well
    if (b.error > 0) uncertain = true;
    throw Failed{Outcome::DivisionByZero};
  }
  if (a.digits.IsZero()) return Zero(a.error);
  return Rounded(a.negative != b.negative, a.digits * Natural::Pow10(b.scale), b.digits * Natural::Pow10(a.scale),
                 ReadError(a) + ReadError(b) + kUnit);
}

Decimal Arithmetic::Sum(const Decimal& a, Decimal b, bool subtract) {
  if (subtract) b.negative = !b.negative;
  const int scale = std::max(a.scale, b.scale);
  const Natural x = a.digits * Natural::Pow10(scale - a.scale);
  const Natural y = b.digits * Natural::Pow10(scale - b.scale);
  if (x.IsZero() || y.IsZero()) {
    if (x.IsZero() && y.IsZero()) return Zero(std::max(a.error, b.error));
    const Decimal& value = x.IsZero() ? b : a;
    return Rounded(value.negative, value.digits, Natural::Pow10(value.scale), ReadError(value) + kUnit);
  }
  if (a.negative == b.negative) {
    return Rounded(a.negative, x + y, Natural::Pow10(scale), std::max(ReadError(a), ReadError(b)) + kUnit);
  }
  const bool xLarger = Compare(x, y) >= 0;
  const Natural difference = xLarger ? x - y : y - x;
  // The same digits cancel to zero in the engine too; others leave their
  // binary errors, as large as the operands are against the difference.
  if (difference.IsZero()) return Zero(a.error == 0 && b.error == 0 ? 0 : HUGE_VAL);
  const double log = difference.Log10();
  const double error = std::pow(10.0, std::min(x.Log10() - log, 300.0)) * ReadError(a) +
                       std::pow(10.0, std::min(y.Log10() - log, 300.0)) * ReadError(b) + kUnit;
  return Rounded(xLarger ? a.negative : b.negative, difference, Natural::Pow10(scale), error);
}

// a^k for a whole k, rounded once: 1/a^-k for a negative k. The engine's
// power of its binary operand multiplies the operand's error by |k|.
Decimal Arithmetic::Power(const Decimal& a, int k) {
  if (a.negative) raisedNegative = true;
  if (k == 0) return {false, Natural(1), 0, 0};
  if (a.digits.IsZero()) {
    if (k > 0) return Zero(a.error);
    if (a.error > 0) uncertain = true;
    throw Failed{Outcome::DivisionByZero};
  }
  const int n = std::abs(k);
  // 10^(m - 1) <= |a| < 10^m; a^k far beyond either end is not worked out.
  const long long m = a.digits.DigitCount() - a.scale;
  const long long low = k > 0 ? n * (m - 1) : -n * m;
  const long long high = k > 0 ? n * m : -n * (m - 1);
  if (low >= 309) throw Failed{Outcome::Overflow};
  if (high <= -301) throw Failed{Outcome::OutOfRange};
  Natural p = Natural::Raised(a.digits, n);
  Natural q = Natural::Pow10(a.scale * n);
  if (k < 0) std::swap(p, q);
  return Rounded(a.negative && n % 2 == 1, p, q, n * ReadError(a) + 2 * kUnit);
}

// The value the engine gives Exp: the C library's exp of the argument read
// as a double, that double's exact value cut to 15 digits.
Decimal Arithmetic::ExpOf(const Decimal& argument) {
  const double x = std::strtod(ToText(argument).c_str(), nullptr);
  const double y = std::exp(x);
  if (!std::isfinite(y)) throw Failed{Outcome::Overflow};
  if (y < 1e-300) throw Failed{Outcome::OutOfRange};  // 0 as well, where exp runs out of range
  int exponent = 0;
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(y, &exponent), DBL_MANT_DIG));
  exponent -= DBL_MANT_DIG;  // y = mantissa x 2^exponent
  Natural p(mantissa);
  Natural q(1);
  if (exponent >= 0) {
    p = p * Natural::Raised(Natural(2), exponent);
  } else {
    q = Natural::Raised(Natural(2), -exponent);
  }
  // The same argument gives the same double; another one, by its error
  // times the argument.
  double error = 0;
  if (std::isinf(argument.error)) {
    error = HUGE_VAL;
  } else if (argument.error > 0) {
    error = std::fabs(x) * (argument.error + 2 * kUnit) + 2 * kUnit;
  }
  return Rounded(false, p, q, error);
}

Decimal Arithmetic::AbsOf(const Decimal& argument) {
  if (argument.digits.IsZero()) return argument;
  return Rounded(false, argument.digits, Natural::Pow10(argument.scale), ReadError(argument));
}

Decimal Arithmetic::WholeOf(const Decimal& argument, bool towardZero) {
  if (argument.digits.IsZero()) {
    if (argument.error > 0) uncertain = true;
    return argument;
  }
  // From 2e14 on, a value of 15 digits is a whole number, and so is the
  // engine's value of it: Int and Fix leave it as it is.
  const double log = argument.digits.Log10() - argument.scale;
  if (log >= std::log10(2e14) && SignificantDigits(argument.digits) <= 15) return argument;
  Natural whole;
  Natural fraction;
  Natural::Divide(argument.digits, Natural::Pow10(argument.scale), whole, fraction);
  // The engine's double lies within `reach` of the value: the whole numbers
  // on either side must lie farther off.
  const double error = ReadError(argument);
  if (error > 0) {
    const auto distance = [&argument](const Natural& n) {
      return n.IsZero() ? 0 : std::pow(10.0, n.Log10() - argument.scale);
    };
    const double reach = error * std::pow(10.0, log);
    const Natural one = Natural::Pow10(argument.scale);
    if (distance(fraction) <= reach || distance(one - fraction) <= reach) uncertain = true;
  }
  if (argument.negative && !towardZero && !fraction.IsZero()) whole = whole.Plus(1);
  if (whole.IsZero()) return {};
  return Rounded(argument.negative, whole, Natural(1), 0);
}

}  // namespace suusiki::exact
