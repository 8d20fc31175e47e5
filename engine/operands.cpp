// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/operands.h"

#include <algorithm>
#include <array>

#include "engine/arithmetic.h"
#include "engine/failure.h"

namespace suusiki {

namespace {

// Two value signs in a row cancel.
void CancelSignPairs(Text& t) {
  auto out = t.begin();
  for (auto in = t.begin(); in != t.end(); ++in) {
    if (*in == kValueSign && out != t.begin() && out[-1] == kValueSign) {
      --out;
    } else {
      *out++ = *in;
    }
  }
  t.erase(out, t.end());
}

// What a character is to the landmarks: one of the operators they look for,
// another character that takes a sign ("(" and the value sign), or neither.
enum LandmarkKind : unsigned char { kNeither, kPower, kDivide, kTimes, kPlus, kMinus, kTakesSign, kPointKind };
constexpr std::size_t kLandmarkKindCount = 8;

constexpr auto kLandmarkKinds = [] {
  std::array<LandmarkKind, 128> kinds{};
  kinds['^'] = kPower;
  kinds['/'] = kDivide;
  kinds['*'] = kTimes;
  kinds['+'] = kPlus;
  kinds['-'] = kMinus;
  kinds['('] = kTakesSign;
  kinds['.'] = kPointKind;
  return kinds;
}();

LandmarkKind LandmarkKindOf(char32_t c) {
  if (c < kLandmarkKinds.size()) return kLandmarkKinds[c];
  return c == kValueSign ? kTakesSign : kNeither;
}

// The pairs of Landmarks, as bits, that a character of one kind makes with
// one of another kind after it.
enum : unsigned {
  kOperatorPlusBit = 1,
  kPlusMinusBit = 2,
  kPlusPlusBit = 4,
  kTimesPlusBit = 8,
  kDividePlusBit = 16,
  kPointMinusBit = 32,
};
constexpr auto kPairBits = [] {
  std::array<std::array<unsigned char, kLandmarkKindCount>, kLandmarkKindCount> bits{};
  for (std::size_t before = kPower; before <= kTakesSign; ++before) bits[before][kPlus] = kOperatorPlusBit;
  bits[kPlus][kMinus] = kPlusMinusBit;
  bits[kPlus][kPlus] |= kPlusPlusBit;
  bits[kTimes][kPlus] |= kTimesPlusBit;
  bits[kDivide][kPlus] |= kDividePlusBit;
  bits[kPointKind][kMinus] = kPointMinusBit;
  return bits;
}();

// What a character is to MarkTypedSigns.
enum SignKind : unsigned char {
  kOtherCharacter,
  kBlank,
  kPoint,
  kPlusSign,
  kMinusSign,
  kOtherOperator,  // "*", "/" and "^"
  kOpening,
  kClosing,
  kValueSignKind,
};
constexpr std::size_t kSignKindCount = 9;

constexpr auto kSignKinds = [] {
  std::array<SignKind, 128> kinds{};
  kinds[' '] = kBlank;
  kinds['.'] = kPoint;
  kinds['+'] = kPlusSign;
  kinds['-'] = kMinusSign;
  kinds['*'] = kinds['/'] = kinds['^'] = kOtherOperator;
  kinds['('] = kOpening;
  kinds[')'] = kClosing;
  return kinds;
}();

SignKind SignKindOf(char32_t c) {
  if (c < kSignKinds.size()) return kSignKinds[c];
  return c == kValueSign ? kValueSignKind : kOtherCharacter;
}

constexpr std::array<std::ptrdiff_t, kSignKindCount> kDepthChange = {0, 0, 0, 0, 0, 0, 1, -1, 0};

// Whether a character of one kind before one of another gives MarkTypedSigns
// something to do: a blank, a point before a minus, a sign typed after what
// takes one, two value signs in a row.
constexpr auto kMarked = [] {
  std::array<std::array<unsigned char, kSignKindCount>, kSignKindCount> marked{};
  for (auto& after : marked) after[kBlank] = 1;
  marked[kPoint][kMinusSign] = 1;
  for (const SignKind before : {kPlusSign, kMinusSign, kOtherOperator, kOpening, kValueSignKind}) {
    marked[before][kPlusSign] = marked[before][kMinusSign] = 1;
  }
  marked[kValueSignKind][kValueSignKind] = 1;
  return marked;
}();

}  // namespace

// Every "-" typed as a sign becomes a value sign, so that the sign tidy can't
// make it a subtraction ("1+-3" stays the sum of 1 and -3). A "-" at the very
// start stays as typed: it is the minus of the formula's first power. A "+"
// typed as a sign after an operator, a bracket or a sign changes nothing and
// goes, also in a variable's definition ("2*+3*+4*+5" is 120, "1-+2-+3" is -4,
// "Abs(+2)*Abs(+3)" is 6). Blanks count for nothing in a number ("2 3" reads
// as 23), so they go too: left in, "1+- 2" gave 1.2.
//
// Returns the number of "(" less the number of ")", counted on the way.
std::ptrdiff_t MarkTypedSigns(Text& t) {
  // Most formulas hold nothing to mark: one pass without a branch a
  // character tells, and counts the brackets.
  std::ptrdiff_t depth = 0;
  unsigned marks = 0;
  SignKind before = kOtherCharacter;
  for (const char32_t c : t) {
    const SignKind kind = SignKindOf(c);
    marks |= kMarked[before][kind];
    depth += kDepthChange[kind];
    before = kind;
  }
  if (marks == 0) return depth;
  depth = 0;
  bool signs = false;
  std::size_t out = 0;
  std::size_t leading = 0;  // the minuses typed at the very start
  for (std::size_t i = 0; i < t.size(); ++i) {
    char32_t c = t[i];
    if (c == U' ') continue;
    // A point before a minus goes before the minus is read: "3-.-7" is "3--7".
    if (c == U'-') {
      while (out > 0 && t[out - 1] == U'.') --out;
    }
    if (out > 0 && (c == U'+' || c == U'-') && TakesSign(t[out - 1])) {
      if (c == U'+') continue;
      c = kValueSign;
      if (leading == out) ++leading;
    } else if (out == 0 && c == U'-') {
      leading = 1;
    }
    t[out++] = c;
    signs = signs || c == kValueSign;
    depth += (c == U'(' ? 1 : 0) - (c == U')' ? 1 : 0);
  }
  t.resize(out);
  // The minuses typed at the very start cancel in pairs, before anything else
  // does: "--4^2" is 16, the same as "4^2", "---4^2" is "-4^2", and "--" before
  // a function's negative value leaves that value alone (--Sin(0-30)^2 is 0.25).
  if (leading >= 2) t.erase(leading % 2, leading - leading % 2);
  if (signs) CancelSignPairs(t);
  return depth;
}

// The value of an operand: any signs ("-" or value signs), then digits and points.
double OperandValue(TextView operand) {
  bool negative = false;
  bool withSign = false;
  while (!operand.empty() && (operand.front() == U'-' || operand.front() == kValueSign)) {
    negative = !negative;
    withSign = true;
    operand.remove_prefix(1);
  }
  // A sign with no number after it leaves the formula unfinished ("2*-").
  if (withSign && operand.empty()) Fail(Failure::Syntax);
  const double value = ReadOrFail(operand);
  return negative ? -value : value;
}

// A computed value as it goes back into the text: a negative one carries the
// value sign.
Text SignedText(double value) {
  Text text;
  if (!AppendValueText(value, text)) Fail(Failure::Syntax);
  if (text.front() == U'-') text.front() = kValueSign;
  return text;
}

// The value of a text that must be one complete number, as in "6.*+4" where
// both sides of "*+" are multiplied; anything else is an "other" failure.
double WholeNumber(TextView text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == U'+' || text[i] == U'-' || text[i] == kValueSign)) ++i;
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  if (i < text.size() && text[i] == U'.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, digits = true;
  }
  if (digits && i < text.size() &&
      (text[i] == U'E' || text[i] == U'e' || text[i] == U'D' || text[i] == U'd' || IsExponentMark(text[i]))) {
    std::size_t j = i + 1;
    if (!IsExponentMark(text[i]) && j < text.size() && (text[j] == U'+' || text[j] == U'-')) ++j;
    const std::size_t first = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > first) i = j;
  }
  if (!digits || i != text.size()) Fail(Failure::Other);
  return ReadOrFail(WithShownSigns(text));
}

Landmarks FindLandmarks(TextView text) {
  // One pass without a branch a character: the first index of each kind (the
  // kinds that are no operator share a slot nobody reads) and the pairs as bits.
  std::array<std::size_t, kLandmarkKindCount> first;
  first.fill(Text::npos);
  unsigned pairs = 0;
  if (!text.empty()) {
    LandmarkKind before = LandmarkKindOf(text[0]);
    // A "+" or "-" in front is looked at where it stands.
    if (before == kPower || before == kDivide || before == kTimes) first[before] = 0;
    for (std::size_t k = 1; k < text.size(); ++k) {
      const LandmarkKind kind = LandmarkKindOf(text[k]);
      pairs |= kPairBits[before][kind];
      first[kind] = std::min(first[kind], k);
      before = kind;
    }
  }
  Landmarks found;
  found.power = first[kPower];
  found.divide = first[kDivide];
  found.times = first[kTimes];
  found.plus = first[kPlus];
  found.minus = first[kMinus];
  found.operatorPlus = (pairs & kOperatorPlusBit) != 0;
  found.plusMinus = (pairs & kPlusMinusBit) != 0;
  found.plusPlus = (pairs & kPlusPlusBit) != 0;
  found.timesPlus = (pairs & kTimesPlusBit) != 0;
  found.dividePlus = (pairs & kDividePlusBit) != 0;
  found.pointMinus = (pairs & kPointMinusBit) != 0;
  return found;
}

bool Describes(const Landmarks& kept, TextView text) {
  const Landmarks fresh = FindLandmarks(text);
  return fresh.power == kept.power && fresh.divide == kept.divide && fresh.times == kept.times &&
         fresh.plus == kept.plus && fresh.minus == kept.minus && (!fresh.operatorPlus || kept.operatorPlus) &&
         (!fresh.plusMinus || kept.plusMinus) && (!fresh.plusPlus || kept.plusPlus) &&
         (!fresh.timesPlus || kept.timesPlus) && (!fresh.dividePlus || kept.dividePlus) &&
         (!fresh.pointMinus || kept.pointMinus);
}

}  // namespace suusiki
