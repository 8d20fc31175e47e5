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

constexpr auto kPowersOf10 = [] {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// An unsigned integer of 128 bits (a compiler extension of GCC and Clang).
__extension__ typedef unsigned __int128 Wide;

constexpr auto kWidePowersOf10 = [] {
  std::array<Wide, 23> powers{};
  Wide power = 1;
  for (Wide& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

// The fast path of the cut, for a magnitude from 1e-7 to below 1e15. Such a
// double is m / 2^s exactly, m below 2^53 and s from 3 to 75; with E its
// decimal exponent (10^E <= magnitude < 10^(E+1)), m x 10^(14-E) is below
// 2^127 and holds the 15 digits above its low s bits and what follows them in
// those bits: the cut rounds up when they are at least half of 2^s. False
// outside the range.
bool CutInIntegers(double magnitude, Significant& cut) {
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
    const Wide scaled = static_cast<Wide>(units) * kWidePowersOf10[scale];
    std::uint64_t digits = static_cast<std::uint64_t>(scaled >> shift);
    if (digits >= kPowersOf10[15]) continue;  // the estimate was E - 1
    if (digits < kPowersOf10[14]) return false;
    const Wide rest = scaled & ((Wide{1} << shift) - 1);
    if (rest >= (Wide{1} << (shift - 1))) ++digits;
    if (digits == kPowersOf10[15]) {  // 999...9 rounded up
      digits = kPowersOf10[14];
      ++exponent;
    }
    cut = {digits, exponent};
    return true;
  }
  return false;
}

// Digits d1 d2 ... dcount with the value 0.d1d2... x 10^point, trailing zeros
// dropped; count 0 for zero.
struct Digits {
  std::uint64_t value = 0;
  int count = 0;
  int point = 0;
};

// The 15-digit cut of |value| taken to `places` decimal places, halves away
// from zero, a carry out of the first digit moving the point, trailing zeros
// dropped.
Digits CutToPlaces(double value, int places) {
  Digits d;
  if (value == 0 || !std::isfinite(value)) return d;
  const Significant cut = CutToSignificant(std::fabs(value));
  d = {cut.digits, kSignificantDigits, cut.exponent + 1};
  const long long keep = static_cast<long long>(d.point) + places;
  if (keep <= 0) {
    // Nothing is kept but, from a half of the first place on, one unit of it.
    if (keep < 0 || d.value < 5 * kPowersOf10[14]) return {};
    d = {1, 1, d.point + 1};
  } else if (keep < kSignificantDigits) {
    const auto dropped = static_cast<std::size_t>(kSignificantDigits - keep);
    const std::uint64_t rest = d.value % kPowersOf10[dropped];
    d.value /= kPowersOf10[dropped];
    d.count = static_cast<int>(keep);
    if (rest >= 5 * kPowersOf10[dropped - 1] && ++d.value == kPowersOf10[d.count]) {
      d.value = kPowersOf10[d.count - 1];
      ++d.point;
    }
  }
  // The trailing zeros go, eight, four, two and one at a time.
  if (d.count > 8 && d.value % 100000000 == 0) d.value /= 100000000, d.count -= 8;
  if (d.count > 4 && d.value % 10000 == 0) d.value /= 10000, d.count -= 4;
  if (d.count > 2 && d.value % 100 == 0) d.value /= 100, d.count -= 2;
  if (d.count > 1 && d.value % 10 == 0) d.value /= 10, d.count -= 1;
  return d;
}

// The digits of `d` as characters, the first at index 0.
struct Spelled {
  char32_t digits[kSignificantDigits];

  explicit Spelled(const Digits& d) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::uint64_t value = d.value;
    int i = d.count - 1;
    for (; i > 0; i -= 2, value /= 100) {
      const auto pair = static_cast<std::size_t>(value % 100) * 2;
      digits[i - 1] = static_cast<char32_t>(kPairs[pair]);
      digits[i] = static_cast<char32_t>(kPairs[pair + 1]);
    }
    if (i == 0) digits[0] = static_cast<char32_t>(U'0' + value);
  }
};

// The plain text of `d` (negative when `minus`) under `pattern`, appended to `out`.
void AppendPlain(const Digits& d, bool minus, const NumberPattern& pattern, Text& out) {
  // The whole part: the digits before the point, with zeros up to it. The
  // fraction: zeros from the point to the first digit, then the digits after
  // the point.
  const int integerDigits = d.count == 0 || d.point <= 0 ? 1 : d.point;
  const int commas = pattern.grouping ? (integerDigits - 1) / 3 : 0;
  const int leadingZeros = d.count > 0 && d.point < 0 ? -d.point : 0;
  const int fractionDigits = std::max(d.count - std::max(d.point, 0), 0);
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>((minus ? 1 : 0) + integerDigits + commas + 1 + leadingZeros +
                                              fractionDigits + (pattern.trailingSpace ? 1 : 0)));
  char32_t* p = out.data() + start;
  if (minus) *p++ = U'-';
  const Spelled spelled(d);
  const int written = d.point <= 0 ? 0 : std::min(integerDigits, d.count);
  if (d.count == 0 || d.point <= 0) {
    *p++ = U'0';
  } else if (commas == 0) {
    p = std::copy_n(spelled.digits, written, p);
    p = std::fill_n(p, integerDigits - written, U'0');
  } else {
    for (int i = 0; i < integerDigits; ++i) {
      if (i > 0 && (integerDigits - i) % 3 == 0) *p++ = U',';
      *p++ = i < written ? spelled.digits[i] : U'0';
    }
  }
  *p++ = U'.';
  p = std::fill_n(p, leadingZeros, U'0');
  if (fractionDigits > 0) p = std::copy_n(spelled.digits + std::max(d.point, 0), fractionDigits, p);
  if (pattern.trailingSpace) *p = U' ';
}

// The first digit, a point and the other digits of `d`: its value times 10^(1 - point).
void AppendMantissa(const Digits& d, bool minus, bool pointAlone, Text& out) {
  const Spelled spelled(d);
  if (minus) out.push_back(U'-');
  out.push_back(spelled.digits[0]);
  if (d.count > 1 || pointAlone) out.push_back(U'.');
  out.append(spelled.digits + 1, spelled.digits + d.count);
}

void AppendExponent(int exponent, Text& out) {
  char buf[8];
  const auto r = std::to_chars(buf, buf + sizeof buf, exponent);
  out.append(buf, r.ptr);
}

// The number of decimal digits of `value`, 1 for 0: from its binary width,
// without a loop.
int DigitCount(std::uint64_t value) {
  // The last bit set changes no count, and gives 0 its one digit. 1233 / 4096
  // is log10(2) to five places: the count is the estimate or one more.
  value |= 1;
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + 1 - (value < kPowersOf10[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the last `count` decimal digits of `value` so that the last one
// stands just before `end`, two at a time; returns what is left of `value`
// before them.
std::uint64_t WriteLastDigitsBefore(char32_t* end, std::uint64_t value, int count) {
  for (; count >= 2; count -= 2, value /= 100) {
    const auto pair = static_cast<std::size_t>(value % 100) * 2;
    *--end = static_cast<char32_t>(kDigitPairs[pair + 1]);
    *--end = static_cast<char32_t>(kDigitPairs[pair]);
  }
  if (count == 1) *--end = static_cast<char32_t>(U'0' + value % 10), value /= 10;
  return value;
}

}  // namespace

Significant CutToSignificantExactly(double magnitude) {
  // 25 digits, correctly rounded, lie on the same side of the half at the 16th
  // digit as the double itself unless they are that half; then the exact
  // expansion decides (767 significant digits hold every double's).
  char buf[800];
  for (const int precision : {24, 766}) {
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, precision);
    // "d.ddd...e-XX": the first digit, the point, then the others.
    const char* const rest = buf + kSignificantDigits + 1;
    const char* const e = std::find(buf, r.ptr, 'e');
    const bool half = *rest == '5' && std::all_of(rest + 1, e, [](char c) { return c == '0'; });
    if (half && precision != 766) continue;
    Significant cut;
    for (int i = 0; i < kSignificantDigits; ++i)
      cut.digits = cut.digits * 10 + static_cast<unsigned>(buf[i == 0 ? 0 : i + 1] - '0');
    std::from_chars(e + 1 + (e[1] == '+'), r.ptr, cut.exponent);
    if (*rest >= '5' && ++cut.digits == kPowersOf10[15]) {
      cut.digits = kPowersOf10[14];
      ++cut.exponent;
    }
    return cut;
  }
  return {};
}

Significant CutToSignificant(double magnitude) {
  Significant cut;
  if (CutInIntegers(magnitude, cut)) return cut;
  return CutToSignificantExactly(magnitude);
}

Text NumberText(double value, const NumberPattern& pattern) {
  Text out;
  AppendNumberText(value, pattern, out);
  return out;
}

void AppendNumberText(double value, const NumberPattern& pattern, Text& out) {
  if (!std::isfinite(value)) return;
  const Digits d = CutToPlaces(value, pattern.places);
  AppendPlain(d, d.count > 0 && std::signbit(value), pattern, out);
}

int WriteValueText(double value, char32_t* out, PlainDigits* plain) {
  if (!std::isfinite(value)) return 0;
  const double magnitude = std::fabs(value);
  char32_t* p = out;
  if (std::signbit(value) && magnitude != 0) *p++ = U'-';
  // A whole number below 10^15 is its own 15-digit cut: its digits and a point.
  if (magnitude < 1e15) {
    const auto whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(magnitude));
    if (static_cast<double>(whole) == magnitude) {
      if (whole == 0) p = out;  // zero has no minus
      const int count = DigitCount(whole);
      p += count;
      *p = U'.';
      WriteLastDigitsBefore(p, whole, count);
      if (plain != nullptr) *plain = {whole, count, 0};
      return static_cast<int>(p + 1 - out);
    }
  }
  const Significant cut = CutToSignificant(magnitude);
  const int exponent = cut.exponent;
  if (exponent >= 99) return 0;
  // The trailing zeros go, eight, four, two and one at a time.
  std::uint64_t digits = cut.digits;
  int count = kSignificantDigits;
  if (digits % 100000000 == 0) digits /= 100000000, count -= 8;
  if (digits % 10000 == 0) digits /= 10000, count -= 4;
  if (count > 2 && digits % 100 == 0) digits /= 100, count -= 2;
  if (count > 1 && digits % 10 == 0) digits /= 10, count -= 1;
  if (exponent >= -3 && exponent < 15) {
    // Plain: the digits with the point among them, or after "0." and zeros.
    const int point = exponent + 1;
    if (point <= 0) {
      *p++ = U'0';
      *p++ = U'.';
      p = std::fill_n(p, -point, U'0');
      p += count;
      WriteLastDigitsBefore(p, digits, count);
      if (plain != nullptr) *plain = {digits, 1 - point + count, count - point};
      return static_cast<int>(p - out);
    }
    if (point >= count) {
      p += count;
      WriteLastDigitsBefore(p, digits, count);
      p = std::fill_n(p, point - count, U'0');
      *p++ = U'.';
      if (plain != nullptr) *plain = {digits * kPowersOf10[static_cast<std::size_t>(point - count)], point, 0};
      return static_cast<int>(p - out);
    }
    // The fraction's digits from the end, the point, then the digits before it.
    const std::uint64_t whole = WriteLastDigitsBefore(p + count + 1, digits, count - point);
    WriteLastDigitsBefore(p + point, whole, point);
    p[point] = U'.';
    p += count + 1;
    if (plain != nullptr) *plain = {digits, count, count - point};
    return static_cast<int>(p - out);
  }
  // The first digit, a point, the other digits, the exponent mark and the exponent.
  p[0] = static_cast<char32_t>(U'0' + WriteLastDigitsBefore(p + count + 1, digits, count - 1));
  p[1] = U'.';
  p += count + 1;
  if (plain != nullptr) *plain = {};  // read by the reading rule when it is an operand
  *p++ = exponent < 0 ? kExponentDown : kExponentUp;
  const auto size = static_cast<std::uint64_t>(std::abs(exponent));
  const int sizeDigits = DigitCount(size);
  p += sizeDigits;
  WriteLastDigitsBefore(p, size, sizeDigits);
  return static_cast<int>(p - out);
}

bool AppendValueText(double value, Text& out) {
  char32_t text[kMaxValueTextLength];
  const int size = WriteValueText(value, text);
  if (size == 0 && !std::isfinite(value)) out.append(U"0.");
  if (size == 0) return false;
  out.append(text, static_cast<std::size_t>(size));
  return true;
}

Text AnswerText(double value) {
  Text out;
  AppendAnswerText(value, out);
  return out;
}

void AppendAnswerText(double value, Text& out) {
  if (!std::isfinite(value)) return;
  if (std::fabs(value) >= 1e-9) {
    AppendNumberText(value, kAnswerPattern, out);
    return;
  }
  const Digits d = CutToPlaces(value, 400);
  // Below 10^-9 the pattern's 17 places keep fewer than 9 digits, unless they hold them all.
  if (d.count == 0 || d.point >= -8 || d.count <= d.point + kAnswerPattern.places) {
    AppendNumberText(value, kAnswerPattern, out);
    return;
  }
  AppendMantissa(d, std::signbit(value), false, out);
  out.append(U"*10^-");
  AppendExponent(1 - d.point, out);
  out.push_back(U' ');
}

}  // namespace suusiki
