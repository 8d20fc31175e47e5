// SPDX-License-Identifier: GPL-3.0-or-later
// The number text rule and the reading rule: the one pair of conversions between
// values and text that every window of the program uses.
//
// Number text: the value is cut to 15 significant digits (halves away from zero,
// decided on the double's exact decimal expansion), then to the pattern's decimal
// places (halves away from zero again); trailing zeros of the fraction are
// dropped, the point is always written, an exponent never is, and a value that
// rounds to zero has no minus sign. The texts a calculation carries and the
// answer line keep the 15 digits at every magnitude.
//
// Reading: the decimal value of the longest numeric prefix (sign, digits, point,
// fraction, an E or D exponent), blanks, tabs and line feeds ignored anywhere;
// "&H" and "&O" introduce unsigned hexadecimal and octal whole numbers; 0 when
// there is no number at all.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#include "engine/text.h"

namespace suusiki {

struct NumberPattern {
  int places = 0;              // the run of "#" after the point
  bool grouping = false;       // "#,0": commas between groups of three digits
  bool trailingSpace = false;  // a space after the pattern is copied to the text

  // Reads a pattern such as "#,0.################# ", "0.####" or "#0.##".
  static constexpr NumberPattern Parse(std::string_view pattern) {
    NumberPattern p;
    if (!pattern.empty() && pattern.back() == ' ') {
      p.trailingSpace = true;
      pattern.remove_suffix(1);
    }
    const auto point = pattern.find('.');
    const auto integer = pattern.substr(0, point);
    p.grouping = integer.find(',') != std::string_view::npos;
    if (point != std::string_view::npos) {
      for (char c : pattern.substr(point + 1)) p.places += c == '#' ? 1 : 0;
    }
    return p;
  }
};

// The patterns of the program, by where they are used.
inline constexpr NumberPattern kAnswerPattern = NumberPattern::Parse("#,0.################# ");
inline constexpr NumberPattern kPiPattern = NumberPattern::Parse("0.#################");

// The text of `value` under `pattern`. `value` must be finite.
Text NumberText(double value, const NumberPattern& pattern);
// The same text, appended to `out`.
void AppendNumberText(double value, const NumberPattern& pattern, Text& out);

// A value as a calculation carries it in its working texts: its 15 significant
// digits at any magnitude. From 10^-3 to below 10^15 it is plain decimal text
// with a point always written ("14.", "-0.25", "0.00123456789012345"), beyond
// that the first digit, a point, the other digits, an exponent mark and the
// exponent ("1." kExponentUp "20"). False, with nothing written, for a value
// that is 10^99 or more once cut: more than the answer line shows.
bool AppendValueText(double value, Text& out);
// Room for the longest value text: a minus, "0.", two zeros and 15 digits, or
// a minus, 15 digits with a point, an exponent mark and three digits.
inline constexpr int kMaxValueTextLength = 24;
// The digits of a value text in plain decimal, as the reading rule reads
// them: units / 10^decimals, `digits` digits in all (zeros too).
struct PlainDigits {
  std::uint64_t units = 0;
  int digits = 0;
  int decimals = -1;  // -1: the text is no plain decimal (it has an exponent)
};
// The same text, written from `out` on (room for kMaxValueTextLength
// characters); its length, or 0 with nothing written where AppendValueText
// fails. `plain`, when given, gets the text's digits (without its sign).
int WriteValueText(double value, char32_t* out, PlainDigits* plain = nullptr);

// The answer line's text of `value`: the answer pattern, for every value of
// 10^-9 or more and for smaller ones that it shows exactly; a smaller value
// that the pattern would cut shows its 15 digits in a form that gives the same
// value again when it is typed in: "3.97289171291712*10^-19 ".
Text AnswerText(double value);
void AppendAnswerText(double value, Text& out);

// The value of `text` by the reading rule; nullopt when the number lies beyond
// the range of a double. The exponent marks of the working texts read as an
// exponent too.
std::optional<double> ReadNumber(TextView text);

// The longest run of digits that a plain decimal may have for PlainDecimalValue.
inline constexpr int kMaxPlainDigits = 19;

// The value that the reading rule gives a plain decimal (digits and at most
// one point) whose digits, read as a whole number, are `units`, with
// `decimals` of them after the point: units / 10^decimals, correctly rounded.
// False when the digits are too many (more than kMaxPlainDigits, or units
// beyond 2^53) for one exact division; the full reading rule reads those.
inline bool PlainDecimalValue(std::uint64_t units, int digits, int decimals, double& value) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                            1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  static_assert(std::size(kPowersOfTen) == kMaxPlainDigits + 1);
  if (digits > kMaxPlainDigits || units > (std::uint64_t{1} << 53) || decimals < 0 || decimals > digits) return false;
  value = static_cast<double>(units) / kPowersOfTen[decimals];
  return true;
}

// A nonzero magnitude cut to 15 significant digits, halves away from zero:
// digits x 10^(exponent - 14), with 10^14 <= digits < 10^15.
struct Significant {
  std::uint64_t digits = 0;
  int exponent = 0;
  friend bool operator==(const Significant&, const Significant&) = default;
};
// The cut of every number text: in integer arithmetic where that is exact
// (10^-7 to below 10^15, nearly every value a formula computes), otherwise
// from the exact decimal expansion. `magnitude` must be positive and finite.
Significant CutToSignificant(double magnitude);
// The cut decided on the exact decimal expansion alone, the rule itself.
Significant CutToSignificantExactly(double magnitude);

}  // namespace suusiki
