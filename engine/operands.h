// SPDX-License-Identifier: GPL-3.0-or-later
// How the operator reduction reads its text: the signs typed in it, the
// operands on either side of an operator, and where the operators stand.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/number_text.h"
#include "engine/text.h"

namespace suusiki {

inline bool IsOperator(char32_t c) { return c == U'+' || c == U'-' || c == U'*' || c == U'/'; }
// A character of a number's digits: a digit, a point, or the exponent mark of a
// value carried with one (the only characters above the value sign).
inline bool IsDigitOrPoint(char32_t c) { return IsDigit(c) || c == U'.' || c > kValueSign; }

// A "-" typed right after an operator, an opening bracket or another sign
// belongs to what follows: it is a sign, never a subtraction.
inline bool TakesSign(char32_t before) {
  return before == U'+' || before == U'-' || before == U'*' || before == U'/' || before == U'^' || before == U'(' ||
         before == kValueSign;
}

// Every "-" typed as a sign becomes a value sign, a "+" typed as a sign and
// every blank go; returns the number of "(" less the number of ")".
std::ptrdiff_t MarkTypedSigns(Text& t);

// The value of an operand: any signs ("-" or value signs), then digits and points.
double OperandValue(TextView operand);

// The digits and points of an operand, collected while the operand is
// scanned (from its end back for a left operand, from its start on for a
// right one).
class OperandDigits {
 public:
  void Before(char32_t c) {
    // Beyond kMaxPlainDigits digits the units are not used: they may wrap.
    if (IsDigit(c)) {
      units_ += static_cast<std::uint64_t>(c - U'0') * scale_, scale_ *= 10;
      ++digits_;
    } else if (c == U'.') {
      ++points_;
      decimals_ = digits_;
    } else {
      exponent_ = true;
    }
  }
  void After(char32_t c) {
    if (IsDigit(c)) {
      units_ = units_ * 10 + (c - U'0');
      ++digits_;
      if (points_ > 0) ++decimals_;
    } else if (c == U'.') {
      ++points_;
    } else {
      exponent_ = true;
    }
  }
  // The operand's value: that of a plain decimal at once, otherwise by the
  // reading rule applied to the operand's text (signs, then digits and points).
  double Value(bool negative, TextView operand) const {
    double value = 0;
    if (exponent_ || digits_ == 0 || points_ > 1 || !PlainDecimalValue(units_, digits_, decimals_, value)) {
      return OperandValue(operand);
    }
    return negative ? -value : value;
  }

 private:
  std::uint64_t units_ = 0;
  std::uint64_t scale_ = 1;
  int digits_ = 0;
  int points_ = 0;
  int decimals_ = 0;
  bool exponent_ = false;  // a carried value with an exponent: the reading rule reads it
};

// A computed value as it goes back into the text, with its 15 digits: a
// negative one carries the value sign. A value of 10^99 or more fails.
Text SignedText(double value);

// The value of a text that must be one complete number, as in "6.*+4" where
// both sides of "*+" are multiplied (blanks are gone by then); anything else
// is an "other" failure.
double WholeNumber(TextView text);

// Index of the first `a` directly followed by `b`, at or after `from`.
inline std::size_t FindPair(TextView text, char32_t a, char32_t b, std::size_t from = 0) {
  for (std::size_t k = from; k + 1 < text.size(); ++k) {
    if (text[k] == a && text[k + 1] == b) return k;
  }
  return Text::npos;
}

// Index of the first `op` in `text` at or after `from`; npos for none.
inline std::size_t FindFrom(TextView text, char32_t op, std::size_t from) {
  for (std::size_t k = from; k < text.size(); ++k) {
    if (text[k] == op) return k;
  }
  return Text::npos;
}

// What the reduction looks for in its text: where each operator first stands
// and which pairs with a "+" the text may hold.
struct Landmarks {
  // Index of the first "^", "/" and "*", and of the first "+" and "-" after
  // the first character (a "+" or "-" in front is looked at where it stands);
  // npos for none.
  std::size_t power = Text::npos;
  std::size_t divide = Text::npos;
  std::size_t times = Text::npos;
  std::size_t plus = Text::npos;
  std::size_t minus = Text::npos;
  // Pairs that the text may hold (when false, it holds none): a "+" after
  // "+", "-", "*", "/", "^", "(" or a value sign, which the operator-plus
  // removal deletes, and the pairs the tidy rewrites.
  bool operatorPlus = false;
  bool plusMinus = false;   // "+-"
  bool plusPlus = false;    // "++"
  bool timesPlus = false;   // "*+"
  bool dividePlus = false;  // "/+"
  bool pointMinus = false;  // ".-", where the point of a whole number goes

  std::size_t& First(char32_t op) {
    switch (op) {
      case U'^': return power;
      case U'/': return divide;
      case U'*': return times;
      case U'+': return plus;
      default: return minus;
    }
  }

  // Notes the pair that the characters at k - 1 and k of `text` make, if it is one of the above.
  void NotePair(TextView text, std::size_t k) {
    if (k == 0 || k >= text.size()) return;
    const char32_t before = text[k - 1];
    if (text[k] == U'-') {
      plusMinus = plusMinus || before == U'+';
      pointMinus = pointMinus || before == U'.';
    } else if (text[k] == U'+') {
      operatorPlus = operatorPlus || TakesSign(before);
      plusPlus = plusPlus || before == U'+';
      timesPlus = timesPlus || before == U'*';
      dividePlus = dividePlus || before == U'/';
    }
  }
};

Landmarks FindLandmarks(TextView text);

// Whether `kept` tells what a fresh pass over `text` tells: the same first
// operators, and every pair the text holds (kept may name more).
bool Describes(const Landmarks& kept, TextView text);

}  // namespace suusiki
