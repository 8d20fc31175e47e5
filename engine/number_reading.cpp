// SPDX-License-Identifier: GPL-3.0-or-later
// The reading rule: the value of a number text.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "engine/number_text.h"

namespace suusiki {
namespace {

// The characters of a number as std::from_chars reads them: on the stack up
// to a length that every number of a formula keeps to, on the heap beyond.
class NumberChars {
 public:
  void Append(char c) {
    if (size_ < kInline) {
      inline_[size_] = c;
    } else {
      if (size_ == kInline) heap_.assign(inline_, kInline);
      heap_.push_back(c);
    }
    ++size_;
  }
  // Shortens the text to `size` characters.
  void resize(std::size_t size) {
    if (size_ > kInline) heap_.resize(size);
    size_ = size;
  }
  const char* data() const { return size_ > kInline ? heap_.data() : inline_; }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kInline = 120;
  char inline_[kInline] = {};
  std::string heap_;
  std::size_t size_ = 0;
};

// Reads the common number of a formula: an optional sign, digits, a point and
// digits, at most 19 digits in all and at most 2^53 units of the last one,
// ended by the end of the text or a character that can't continue it. Such a
// value is the quotient of two doubles that hold their values exactly (the
// units, and a power of ten up to 10^19), and one division rounds it
// correctly, as std::from_chars does. False for anything else (blanks, an
// exponent, "&H", no digits, more digits), which the full reading rule reads.
// units x 10^scale, correctly rounded: one exact operation while the units
// and the power of ten are doubles that hold them exactly (units to 2^53,
// powers to 10^22), std::from_chars beyond. False when it lies beyond the
// range of a double.
bool ScaledValue(std::uint64_t units, int scale, double& value) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (units <= (std::uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
    const auto exact = static_cast<double>(units);
    value = scale >= 0 ? exact * kPowersOfTen[scale] : exact / kPowersOfTen[-scale];
    return std::isfinite(value);
  }
  char digits[24];
  char exponent[8];
  const auto d = std::to_chars(digits, digits + sizeof digits, units);
  const auto e = std::to_chars(exponent, exponent + sizeof exponent, scale);
  char text[sizeof digits + 1 + sizeof exponent];
  char* const mark = std::copy(digits, d.ptr, text);
  *mark = 'e';
  char* const last = std::copy(exponent, e.ptr, mark + 1);
  return std::from_chars(text, last, value).ec == std::errc() && std::isfinite(value);
}

bool ReadPlainDecimal(TextView text, double& value) {
  const char32_t* p = text.data();
  const char32_t* const end = p + text.size();
  const bool negative = p < end && *p == U'-';
  if (p < end && (*p == U'-' || *p == U'+')) ++p;
  // Up to 19 digits the units of the last one fit in 64 bits.
  std::uint64_t units = 0;
  const char32_t* const whole = p;
  for (; p < end && IsDigit(*p); ++p) units = units * 10 + (*p - U'0');
  std::ptrdiff_t digits = p - whole;
  std::ptrdiff_t decimals = 0;
  if (p < end && *p == U'.') {
    const char32_t* const fraction = ++p;
    for (; p < end && IsDigit(*p); ++p) units = units * 10 + (*p - U'0');
    decimals = p - fraction;
    digits += decimals;
  }
  if (digits == 0 || digits > kMaxPlainDigits) return false;
  // A value carried with an exponent mark: its 15 digits times a power of ten.
  int scale = 0;
  if (p < end && IsExponentMark(*p)) {
    const bool down = *p == kExponentDown;
    const char32_t* const first = ++p;
    for (; p < end && IsDigit(*p) && p - first < 4; ++p) scale = scale * 10 + static_cast<int>(*p - U'0');
    if (p == first) return false;
    if (down) scale = -scale;
  }
  if (p < end) {
    const char32_t c = *p;
    if (c == U' ' || c == U'\t' || c == U'\n' || c == U'E' || c == U'e' || c == U'D' || c == U'd' || IsDigit(c) ||
        IsExponentMark(c)) {
      return false;
    }
  }
  if (scale == 0) {
    if (!PlainDecimalValue(units, static_cast<int>(digits), static_cast<int>(decimals), value)) return false;
  } else if (!ScaledValue(units, scale - static_cast<int>(decimals), value)) {
    return false;
  }
  if (negative) value = -value;
  return true;
}

}  // namespace

namespace {

// A text read from the left, blanks, tabs and line feeds skipped anywhere.
class Cursor {
 public:
  explicit Cursor(TextView text) : text_(text) {}
  char32_t Peek() {
    while (i_ < text_.size() && (text_[i_] == U' ' || text_[i_] == U'\t' || text_[i_] == U'\n')) ++i_;
    return i_ < text_.size() ? text_[i_] : 0;
  }
  char32_t Take() { return text_[i_++]; }
  std::size_t mark() const { return i_; }
  void Back(std::size_t mark) { i_ = mark; }

 private:
  TextView text_;
  std::size_t i_ = 0;
};

// The digits of a whole number in `base` (16 or 8) after "&H" or "&O".
std::optional<double> ReadBased(Cursor& in, int base) {
  double value = 0;
  for (;;) {
    const char32_t c = in.Peek();
    int digit = -1;
    if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
    if (base == 16 && c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A' + 10);
    if (base == 16 && c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a' + 10);
    if (digit < 0 || digit >= base) break;
    in.Take();
    value = value * base + digit;
    if (std::isinf(value)) return std::nullopt;
  }
  return value;
}

// An exponent after the mantissa ("E", "e", "D" or "d", a sign and digits, or
// an exponent mark and digits), appended to `number` as "e" and its digits;
// its value, 0 when there is none ("5E" reads as 5).
long long ReadExponent(Cursor& in, NumberChars& number) {
  const char32_t c = in.Peek();
  if (!(c == U'E' || c == U'e' || c == U'D' || c == U'd' || IsExponentMark(c))) return 0;
  const std::size_t mark = in.mark();
  in.Take();
  const std::size_t mantissaEnd = number.size();
  number.Append('e');
  bool negative = c == kExponentDown;
  if (negative) number.Append('-');
  if (const char32_t s = in.Peek(); !IsExponentMark(c) && (s == U'+' || s == U'-')) {
    negative = s == U'-';
    number.Append(static_cast<char>(s));
    in.Take();
  }
  long long exponent = 0;
  bool digits = false;
  while (IsDigit(in.Peek())) {
    const int digit = static_cast<int>(in.Take() - U'0');
    number.Append(static_cast<char>('0' + digit));
    digits = true;
    if (exponent < LLONG_MAX / 20) exponent = exponent * 10 + digit;
  }
  if (!digits) {
    number.resize(mantissaEnd);
    in.Back(mark);
    return 0;
  }
  return negative ? -exponent : exponent;
}

}  // namespace

std::optional<double> ReadNumber(TextView text) {
  if (double value = 0; ReadPlainDecimal(text, value)) return value;
  Cursor in(text);
  if (in.Peek() == U'&') {
    in.Take();
    const char32_t kind = in.Peek();
    if (kind == U'H' || kind == U'h') return in.Take(), ReadBased(in, 16);
    if (kind == U'O' || kind == U'o') return in.Take(), ReadBased(in, 8);
    return 0.0;
  }

  NumberChars number;
  if (const char32_t c = in.Peek(); c == U'+' || c == U'-') {
    if (c == U'-') number.Append('-');
    in.Take();
  }
  bool anyDigit = false;
  bool nonZero = false;
  long long integerDigits = 0;
  long long leadingFractionZeros = 0;
  while (IsDigit(in.Peek())) {
    const char c = static_cast<char>(in.Take());
    anyDigit = true;
    if (c != '0' || nonZero) ++integerDigits;
    nonZero = nonZero || c != '0';
    number.Append(c);
  }
  if (in.Peek() == U'.') {
    in.Take();
    number.Append('.');
    while (IsDigit(in.Peek())) {
      const char c = static_cast<char>(in.Take());
      anyDigit = true;
      if (!nonZero && c == '0') ++leadingFractionZeros;
      nonZero = nonZero || c != '0';
      number.Append(c);
    }
  }
  if (!anyDigit) return 0.0;
  // Decimal position of the first non-zero digit, to tell overflow from underflow.
  const long long magnitude = integerDigits > 0 ? integerDigits : -leadingFractionZeros;
  const long long exponent = ReadExponent(in, number);

  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    const bool minus = number.data()[0] == '-';
    if (!nonZero) return minus ? -0.0 : 0.0;
    if (magnitude + exponent > 0) return std::nullopt;  // beyond the double range
    return minus ? -0.0 : 0.0;                          // below the smallest double
  }
  return value;
}

}  // namespace suusiki
