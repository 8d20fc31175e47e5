// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>

namespace suusiki {
namespace {

constexpr int kSignificantDigits = 15;

// Decimal digits d1 d2 ... with the value 0.d1d2... x 10^point; at most 15
// digits once cut.
struct Decimal {
  static constexpr int kCapacity = 24;
  char32_t digits[kCapacity];
  int size = 0;
  int point = 0;

  void Assign(const char* from, int count) {
    size = count;
    std::copy(from, from + count, digits);
  }
};

// Adds one unit in the last place of `d`; a carry out of the first digit makes
// the text "1" followed by zeros and moves the point.
void RoundUp(Decimal& d) {
  for (int i = d.size; i-- > 0;) {
    if (d.digits[i] != '9') {
      ++d.digits[i];
      return;
    }
    d.digits[i] = '0';
  }
  // All nines: "1" and zeros, one digit fewer than the point moved.
  if (d.size > 0) d.digits[0] = '1';
  ++d.point;
}

// Keeps the first `keep` digits, rounding halves away from zero on the digit
// after them.
void KeepDigits(Decimal& d, long long keep) {
  if (keep >= d.size) return;
  if (keep < 0) {
    d.size = 0;
    return;
  }
  const char32_t next = d.digits[keep];
  d.size = static_cast<int>(keep);
  if (next < '5') return;
  if (d.size == 0) {
    d.Assign("1", 1);
    ++d.point;
    return;
  }
  RoundUp(d);
}

// Reads "d.ddd...e+XX" (or "de+XX"), as std::to_chars writes it in scientific
// form, into `d`; the point goes after the first digit.
void ReadScientific(const char* begin, const char* end, char* digits, int& count, int& exponent) {
  count = 0;
  const char* p = begin;
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
}

// An unsigned integer of 128 bits (a compiler extension of GCC and Clang).
__extension__ typedef unsigned __int128 Wide;

// The 15-digit cut of a magnitude from 1e-7 to below 1e15, the range of nearly
// every value a formula computes, in integer arithmetic. Such a double is
// m / 2^s exactly, m below 2^53 and s from 3 to 75; with E its decimal exponent
// (10^E <= magnitude < 10^(E+1)), m x 10^(14-E) is below 2^127 and holds the
// 15 digits above its low s bits and what follows them in those bits: the cut
// rounds up when they are at least half of 2^s. False outside the range.
constexpr auto kPowersOf10 = [] {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

constexpr auto kWidePowersOfTen = [] {
  std::array<Wide, 23> powers{};
  Wide power = 1;
  for (Wide& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

bool CutExactly(double magnitude, std::uint64_t& digits, int& point) {
  if (!(magnitude >= 1e-7 && magnitude < 1e15)) return false;
  // magnitude = units x 2^(b-53), 2^(b-1) <= magnitude < 2^b (a normal double).
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const std::uint64_t units = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int binaryExponent = static_cast<int>(bits >> 52) - 1022;
  const int shift = 53 - binaryExponent;
  // floor((b-1) x log10(2)), which is E or E - 1 (exact for b from -100 to 100).
  int exponent = ((binaryExponent - 1) * 78913) >> 18;
  for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
    const int scale = 14 - exponent;  // 0 to 22
    if (scale < 0 || scale > 22) return false;
    const Wide scaled = static_cast<Wide>(units) * kWidePowersOfTen[scale];
    digits = static_cast<std::uint64_t>(scaled >> shift);
    if (digits >= kPowersOf10[15]) continue;  // the estimate was E - 1
    if (digits < kPowersOf10[14]) return false;
    const Wide rest = scaled & ((Wide{1} << shift) - 1);
    if (rest >= (Wide{1} << (shift - 1))) ++digits;
    if (digits == kPowersOf10[15]) {  // 999...9 rounded up
      digits = kPowersOf10[14];
      ++exponent;
    }
    point = exponent + 1;
    return true;
  }
  return false;
}

// Writes the `count` digits of `value` (which has no more) to `out`, the last first.
void WriteDigits(std::uint64_t value, int count, char32_t* out) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int i = count - 1;
  for (; i > 0; i -= 2, value /= 100) {
    const auto pair = static_cast<std::size_t>(value % 100) * 2;
    out[i - 1] = static_cast<char32_t>(kPairs[pair]);
    out[i] = static_cast<char32_t>(kPairs[pair + 1]);
  }
  if (i == 0) out[0] = static_cast<char32_t>(U'0' + value);
}

// The 15-digit cut of `magnitude` in integer arithmetic, then cut to `keep`
// digits (halves away from zero on the digit after them, a carry out of the
// first digit moving the point) with the trailing zeros dropped, as
// KeepDigits and the number text do it with the digits written out. False
// outside the range of CutExactly.
bool CutToPlaces(double magnitude, int places, Decimal& d) {
  std::uint64_t digits = 0;
  int point = 0;
  if (!CutExactly(magnitude, digits, point)) return false;
  int count = kSignificantDigits;
  const long long keep = static_cast<long long>(point) + places;
  if (keep < 0) {
    count = 0;
  } else if (keep == 0) {
    count = digits >= 5 * kPowersOf10[14] ? 1 : 0;
    digits = 1;
    point += count;
  } else if (keep < kSignificantDigits) {
    const auto dropped = static_cast<std::size_t>(kSignificantDigits - keep);
    const std::uint64_t rest = digits % kPowersOf10[dropped];
    digits /= kPowersOf10[dropped];
    count = static_cast<int>(keep);
    if (rest >= 5 * kPowersOf10[dropped - 1] && ++digits == kPowersOf10[count]) {
      digits = kPowersOf10[count - 1];
      ++point;
    }
  }
  // The trailing zeros go, eight, four, two and one at a time.
  if (count > 8 && digits % 100000000 == 0) digits /= 100000000, count -= 8;
  if (count > 4 && digits % 10000 == 0) digits /= 10000, count -= 4;
  if (count > 2 && digits % 100 == 0) digits /= 100, count -= 2;
  if (count > 1 && digits % 10 == 0) digits /= 10, count -= 1;
  d.size = count;
  d.point = point;
  WriteDigits(digits, count, d.digits);
  return true;
}

// The magnitude's exact decimal expansion, cut to 15 significant digits,
// halves away from zero: the 16th digit and those after it decide, as exact
// decimals, never as a rounded text.
Decimal SignificantDigits(double magnitude) {
  Decimal d;
  char buf[800];
  char digits[800];
  int count = 0;
  int exponent = 0;
  if (magnitude >= std::numeric_limits<double>::min()) {
    // The shortest text that reads back as the double lies within half a unit
    // in the last place of it, and a normal double's half unit is below a
    // fifth of a unit of the 15th digit: a shortest text of at most 15 digits
    // is the cut itself.
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    ReadScientific(buf, r.ptr, digits, count, exponent);
    d.point = exponent + 1;
    if (count <= kSignificantDigits) {
      d.Assign(digits, count);
      return d;
    }
    // 16 or 17 digits: the double lies within 11.2 units of the 17th digit of
    // that text, so the text's 16th and 17th digits decide unless they are
    // near the half, 50.
    const int tail = (digits[15] - '0') * 10 + (count > 16 ? digits[16] - '0' : 0);
    if (tail < 50 - 12 || tail > 50 + 12) {
      d.Assign(digits, kSignificantDigits);
      if (tail > 50) RoundUp(d);
      return d;
    }
  }
  // Near a half (or a value below the normal range): 25 digits, correctly
  // rounded, settle it unless they are the half itself, and the exact
  // expansion (767 significant digits hold every double's) settles the rest.
  for (const int precision : {24, 766}) {
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, precision);
    ReadScientific(buf, r.ptr, digits, count, exponent);
    const char* rest = digits + kSignificantDigits;
    const char* end = digits + count;
    const bool half = *rest == '5' && std::all_of(rest + 1, end, [](char c) { return c == '0'; });
    if (half && precision != 766) continue;
    d.point = exponent + 1;
    d.Assign(digits, kSignificantDigits);
    if (*rest >= '5') RoundUp(d);
    break;
  }
  return d;
}

// The characters of a number as std::from_chars reads them: on the stack up
// to a length that every number of a formula keeps to, on the heap beyond.
class NumberChars {
 public:
  void push_back(char c) {
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

}  // namespace

Text NumberText(double value, const NumberPattern& pattern) {
  Text out;
  AppendNumberText(value, pattern, out);
  return out;
}

void AppendNumberText(double value, const NumberPattern& pattern, Text& out) {
  if (!std::isfinite(value)) return;
  Decimal d;
  if (value == 0) {
    d.size = 0;
  } else if (!CutToPlaces(std::fabs(value), pattern.places, d)) {
    d = SignificantDigits(std::fabs(value));
    KeepDigits(d, static_cast<long long>(d.point) + pattern.places);
    while (d.size > 0 && d.digits[d.size - 1] == '0') --d.size;
  }
  const bool zero = d.size == 0;

  // The whole part: the digits before the point, with zeros up to it. The
  // fraction: zeros from the point to the first digit, then the digits after
  // the point.
  const bool minus = !zero && std::signbit(value);
  const std::size_t integerDigits = zero || d.point <= 0 ? 1 : static_cast<std::size_t>(d.point);
  const std::size_t written = zero || d.point <= 0 ? 0 : std::min(integerDigits, static_cast<std::size_t>(d.size));
  const std::size_t commas = pattern.grouping ? (integerDigits - 1) / 3 : 0;
  const std::size_t leadingZeros = !zero && d.point < 0 ? static_cast<std::size_t>(-d.point) : 0;
  const std::size_t first = zero ? 0 : static_cast<std::size_t>(std::max(d.point, 0));
  const std::size_t fractionDigits = first < static_cast<std::size_t>(d.size) ? d.size - first : 0;
  const std::size_t start = out.size();
  out.resize(start + (minus ? 1 : 0) + integerDigits + commas + 1 + leadingZeros + fractionDigits +
             (pattern.trailingSpace ? 1 : 0));
  char32_t* p = out.data() + start;
  if (minus) *p++ = U'-';
  if (commas == 0) {
    p = std::copy_n(d.digits, written, p);
    p = std::fill_n(p, integerDigits - written, U'0');
  } else {
    for (std::size_t i = 0; i < integerDigits; ++i) {
      if (i > 0 && (integerDigits - i) % 3 == 0) *p++ = U',';
      *p++ = i < written ? d.digits[i] : U'0';
    }
  }
  *p++ = U'.';
  p = std::fill_n(p, leadingZeros, U'0');
  // (The digits after the point exist only when the point lies within them.)
  if (fractionDigits > 0) p = std::copy_n(d.digits + first, fractionDigits, p);
  if (pattern.trailingSpace) *p = U' ';
}

namespace {

// Reads the common number of a formula: an optional sign, digits, a point and
// digits, at most 19 digits in all and at most 2^53 units of the last one,
// ended by the end of the text or a character that can't continue it. Such a
// value is the quotient of two doubles that hold their values exactly (the
// units, and a power of ten up to 10^19), and one division rounds it
// correctly, as std::from_chars does. False for anything else (blanks, an
// exponent, "&H", no digits, more digits), which the full reading rule reads.
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
  if (p < end) {
    const char32_t c = *p;
    if (c == U' ' || c == U'\t' || c == U'\n' || c == U'E' || c == U'e' || c == U'D' || c == U'd') return false;
  }
  if (!PlainDecimalValue(units, static_cast<int>(digits), static_cast<int>(decimals), value)) return false;
  if (negative) value = -value;
  return true;
}

}  // namespace

bool PlainDecimalValue(std::uint64_t units, int digits, int decimals, double& value) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                            1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  static_assert(std::size(kPowersOfTen) == kMaxPlainDigits + 1);
  if (digits > kMaxPlainDigits || units > (std::uint64_t{1} << 53) || decimals < 0 || decimals > digits) return false;
  value = static_cast<double>(units) / kPowersOfTen[decimals];
  return true;
}

std::optional<double> ReadNumber(TextView text) {
  if (double value = 0; ReadPlainDecimal(text, value)) return value;
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

  NumberChars number;
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
    const std::size_t mantissaEnd = number.size();
    number.push_back('e');
    bool negative = false;
    if (const char32_t s = peek(); s == U'+' || s == U'-') {
      negative = s == U'-';
      number.push_back(static_cast<char>(s));
      ++i;
    }
    bool expDigits = false;
    while (IsDigit(peek())) {
      const int digit = static_cast<int>(text[i++] - U'0');
      number.push_back(static_cast<char>('0' + digit));
      expDigits = true;
      if (exponent < LLONG_MAX / 20) exponent = exponent * 10 + digit;
    }
    if (expDigits) {
      if (negative) exponent = -exponent;
    } else {
      number.resize(mantissaEnd);
      i = mark;  // "5E" reads as 5
    }
  }

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
