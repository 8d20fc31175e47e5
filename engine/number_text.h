// SPDX-License-Identifier: GPL-3.0-or-later
// The number text rule and the reading rule: the one pair of conversions between
// values and text that every window of the program uses.
//
// Number text: the value is cut to 15 significant digits (halves away from zero,
// decided on the double's exact decimal expansion), then to the pattern's decimal
// places (halves away from zero again); trailing zeros of the fraction are
// dropped, the point is always written, an exponent never is, and a value that
// rounds to zero has no minus sign.
//
// Reading: the decimal value of the longest numeric prefix (sign, digits, point,
// fraction, an E or D exponent), blanks, tabs and line feeds ignored anywhere;
// "&H" and "&O" introduce unsigned hexadecimal and octal whole numbers; 0 when
// there is no number at all.
#pragma once

#include <cstdint>
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
inline constexpr NumberPattern kFunctionPattern = NumberPattern::Parse("#0.##############");
inline constexpr NumberPattern kReductionPattern = NumberPattern::Parse("#0.##################");

// The text of `value` under `pattern`. `value` must be finite.
Text NumberText(double value, const NumberPattern& pattern);
// The same text, appended to `out`.
void AppendNumberText(double value, const NumberPattern& pattern, Text& out);

// The value of `text` by the reading rule; nullopt when the number lies beyond
// the range of a double.
std::optional<double> ReadNumber(TextView text);

// The longest run of digits that a plain decimal may have for PlainDecimalValue.
inline constexpr int kMaxPlainDigits = 19;

// The value that the reading rule gives a plain decimal (digits and at most
// one point) whose digits, read as a whole number, are `units`, with
// `decimals` of them after the point: units / 10^decimals, correctly rounded.
// False when the digits are too many (more than kMaxPlainDigits, or units
// beyond 2^53) for one exact division; the full reading rule reads those.
bool PlainDecimalValue(std::uint64_t units, int digits, int decimals, double& value);

// The shortest plain decimal text (no exponent) that reads back to `value`.
Text ShortestPlainText(double value);

}  // namespace suusiki
