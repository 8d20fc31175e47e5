// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace suusiki {
namespace {

constexpr int kSignificantDigits = 15;

// Decimal digits d1 d2 ... with the value 0.d1d2... x 10^point.
struct Decimal {
  std::string digits;
  int point = 0;
};

// Adds one unit in the last place of `d`; a carry out of the first digit makes
// the text "1" followed by zeros and moves the point.
void RoundUp(Decimal& d) {
  for (auto i = d.digits.size(); i-- > 0;) {
    if (d.digits[i] != '9') {
      ++d.digits[i];
      return;
    }
    d.digits[i] = '0';
  }
  d.digits.insert(d.digits.begin(), '1');
  d.digits.pop_back();
  ++d.point;
}

// Keeps the first `keep` digits, rounding halves away from zero on the digit
// after them.
void KeepDigits(Decimal& d, long long keep) {
  if (keep >= static_cast<long long>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const char next = d.digits[static_cast<std::size_t>(keep)];
  d.digits.resize(static_cast<std::size_t>(keep));
  if (next < '5') return;
  if (d.digits.empty()) {
    d.digits = "1";
    ++d.point;
    return;
  }
  RoundUp(d);
}

// The magnitude's exact decimal expansion, cut to 15 significant digits.
Decimal SignificantDigits(double magnitude) {
  // 767 significant digits hold the exact expansion of every double, so the
  // digits below are not rounded; halves away from zero only need the 16th.
  char buf[800];
  const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 766);
  Decimal d;
  d.digits.reserve(kSignificantDigits + 1);
  d.digits.push_back(buf[0]);
  d.digits.append(buf + 2, kSignificantDigits);  // "d.ddd...": the point is at buf[1]
  const char* e = r.ptr;
  while (*--e != 'e') {}
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), r.ptr, exponent);
  d.point = exponent + 1;
  KeepDigits(d, kSignificantDigits);
  return d;
}

}  // namespace

Text NumberText(double value, const NumberPattern& pattern) {
  if (!std::isfinite(value)) return Text();
  Decimal d;
  if (value != 0) {
    d = SignificantDigits(std::fabs(value));
    KeepDigits(d, static_cast<long long>(d.point) + pattern.places);
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  const bool zero = d.digits.empty();

  std::string integer;
  std::string fraction;
  if (zero || d.point <= 0) {
    integer = "0";
    if (!zero) fraction = std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
  } else {
    const auto point = static_cast<std::size_t>(d.point);
    if (point >= d.digits.size()) {
      integer = d.digits + std::string(point - d.digits.size(), '0');
    } else {
      integer = d.digits.substr(0, point);
      fraction = d.digits.substr(point);
    }
  }

  std::string out;
  out.reserve(integer.size() * 4 / 3 + fraction.size() + 4);
  if (!zero && std::signbit(value)) out.push_back('-');
  if (pattern.grouping) {
    for (std::size_t i = 0; i < integer.size(); ++i) {
      if (i > 0 && (integer.size() - i) % 3 == 0) out.push_back(',');
      out.push_back(integer[i]);
    }
  } else {
    out += integer;
  }
  out.push_back('.');
  out += fraction;
  if (pattern.trailingSpace) out.push_back(' ');
  return Ascii(out);
}

std::optional<double> ReadNumber(TextView text) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == U' ' || text[i] == U'\t' || text[i] == U'\n')) ++i;
  };
  auto peek = [&]() -> char32_t {
    skipBlanks();
    return i < text.size() ? text[i] : 0;
  };

  if (peek() == U'&') {
    ++i;
    const char32_t kind = peek();
    int base = 0;
    if (kind == U'H' || kind == U'h') base = 16;
    if (kind == U'O' || kind == U'o') base = 8;
    if (base == 0) return 0.0;
    ++i;
    double value = 0;
    for (;;) {
      const char32_t c = peek();
      int digit = -1;
      if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
      if (base == 16 && c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A' + 10);
      if (base == 16 && c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a' + 10);
      if (digit < 0 || digit >= base) break;
      ++i;
      value = value * base + digit;
      if (std::isinf(value)) return std::nullopt;
    }
    return value;
  }

  std::string number;
  if (const char32_t c = peek(); c == U'+' || c == U'-') {
    if (c == U'-') number.push_back('-');
    ++i;
  }
  bool anyDigit = false;
  bool nonZero = false;
  long long integerDigits = 0;
  long long leadingFractionZeros = 0;
  while (IsDigit(peek())) {
    const char c = static_cast<char>(text[i++]);
    anyDigit = true;
    if (c != '0' || nonZero) ++integerDigits;
    nonZero = nonZero || c != '0';
    number.push_back(c);
  }
  if (peek() == U'.') {
    ++i;
    number.push_back('.');
    while (IsDigit(peek())) {
      const char c = static_cast<char>(text[i++]);
      anyDigit = true;
      if (!nonZero && c == '0') ++leadingFractionZeros;
      nonZero = nonZero || c != '0';
      number.push_back(c);
    }
  }
  if (!anyDigit) return 0.0;
  // Decimal position of the first non-zero digit, to tell overflow from underflow.
  const long long magnitude = integerDigits > 0 ? integerDigits : -leadingFractionZeros;

  long long exponent = 0;
  if (const char32_t c = peek(); c == U'E' || c == U'e' || c == U'D' || c == U'd') {
    const std::size_t mark = i;
    ++i;
    std::string exp = "e";
    bool negative = false;
    if (const char32_t s = peek(); s == U'+' || s == U'-') {
      negative = s == U'-';
      exp.push_back(static_cast<char>(s));
      ++i;
    }
    bool expDigits = false;
    while (IsDigit(peek())) {
      const int digit = static_cast<int>(text[i++] - U'0');
      exp.push_back(static_cast<char>('0' + digit));
      expDigits = true;
      if (exponent < LLONG_MAX / 20) exponent = exponent * 10 + digit;
    }
    if (expDigits) {
      number += exp;
      if (negative) exponent = -exponent;
    } else {
      i = mark;  // "5E" reads as 5
    }
  }

  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    if (!nonZero) return number.front() == '-' ? -0.0 : 0.0;
    if (magnitude + exponent > 0) return std::nullopt;  // beyond the double range
    return number.front() == '-' ? -0.0 : 0.0;          // below the smallest double
  }
  return value;
}

Text ShortestPlainText(double value) {
  if (!std::isfinite(value)) return Text();
  if (value == 0) return Ascii("0");
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const char* e = std::find(buf, r.ptr, 'e');
  std::string digits;
  for (const char* p = buf; p < e; ++p) {
    if (*p != '.') digits.push_back(*p);
  }
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), r.ptr, exponent);
  const int point = exponent + 1;  // digits before the point
  std::string out = value < 0 ? "-" : "";
  if (point <= 0) {
    out += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else if (static_cast<std::size_t>(point) >= digits.size()) {
    out += digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
  }
  return Ascii(out);
}

}  // namespace suusiki
