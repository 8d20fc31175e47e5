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

constexpr NumberPattern kPlainPattern{};

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

bool AppendValueText(double value, Text& out) {
  // 15 digits need at most 17 places from 10^-3 on, and the point is in them below 10^15.
  const Digits d = CutToPlaces(value, 400);
  if (d.count == 0 || !std::isfinite(value)) {
    out.append(U"0.");
    return std::isfinite(value);
  }
  const int exponent = d.point - 1;
  if (exponent >= 99) return false;
  const bool minus = std::signbit(value);
  if (exponent >= -3 && exponent < 15) {
    AppendPlain(d, minus, kPlainPattern, out);
  } else {
    AppendMantissa(d, minus, true, out);
    out.push_back(exponent < 0 ? kExponentDown : kExponentUp);
    AppendExponent(std::abs(exponent), out);
  }
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

namespace {

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
    if (c == U' ' || c == U'\t' || c == U'\n' || c == U'E' || c == U'e' || c == U'D' || c == U'd' ||
        IsExponentMark(c)) {
      return false;
    }
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
  if (const char32_t c = peek(); c == U'E' || c == U'e' || c == U'D' || c == U'd' || IsExponentMark(c)) {
    const std::size_t mark = i;
    ++i;
    const std::size_t mantissaEnd = number.size();
    number.push_back('e');
    bool negative = c == kExponentDown;
    if (negative) number.push_back('-');
    if (const char32_t s = peek(); !IsExponentMark(c) && (s == U'+' || s == U'-')) {
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

}  // namespace suusiki
