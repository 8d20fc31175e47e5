// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/reduction.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

#include "engine/arithmetic.h"
#include "engine/failure.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

bool IsOperator(char32_t c) { return c == U'+' || c == U'-' || c == U'*' || c == U'/'; }
// A character of a number's digits: a digit, a point, or the exponent mark of a
// value carried with one.
bool IsDigitOrPoint(char32_t c) { return IsDigit(c) || c == U'.' || IsExponentMark(c); }

// A "-" typed right after an operator, an opening bracket or another sign
// belongs to what follows: it is a sign, never a subtraction.
bool TakesSign(char32_t before) {
  return before == U'+' || before == U'-' || before == U'*' || before == U'/' || before == U'^' || before == U'(' ||
         before == kValueSign;
}

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
  std::ptrdiff_t depth = 0;
  bool signs = false;
  std::size_t out = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    char32_t c = t[i];
    if (c == U' ') continue;
    if (out > 0 && (c == U'+' || c == U'-') && TakesSign(t[out - 1])) {
      if (c == U'+') continue;
      c = kValueSign;
    }
    t[out++] = c;
    signs = signs || c == kValueSign;
    depth += (c == U'(' ? 1 : 0) - (c == U')' ? 1 : 0);
  }
  t.resize(out);
  if (signs) CancelSignPairs(t);
  // Two minuses typed at the very start cancel as well: "--4^2" is 16, the
  // same as "4^2", not the negative of the square of -4.
  if (t.size() >= 2 && t[0] == U'-' && t[1] == kValueSign) t.erase(0, 2);
  return depth;
}

// The value of an operand: any signs ("-" or value signs), then digits and points.
double OperandValue(TextView operand) {
  bool negative = false;
  bool signed_ = false;
  while (!operand.empty() && (operand.front() == U'-' || operand.front() == kValueSign)) {
    negative = !negative;
    signed_ = true;
    operand.remove_prefix(1);
  }
  // A sign with no number after it leaves the formula unfinished ("2*-").
  if (signed_ && operand.empty()) Fail(Failure::Syntax);
  const double value = ReadOrFail(operand);
  return negative ? -value : value;
}

// The digits and points of an operand, collected while the operand is
// scanned (from its end back for a left operand, from its start on for a
// right one).
class Digits {
 public:
  void Before(char32_t c) {
    if (IsExponentMark(c)) {
      exponent_ = true;
    } else if (c == U'.') {
      ++points_;
      decimals_ = digits_;
    } else {
      if (digits_ < kMaxPlainDigits) units_ += static_cast<std::uint64_t>(c - U'0') * scale_, scale_ *= 10;
      ++digits_;
    }
  }
  void After(char32_t c) {
    if (IsExponentMark(c)) {
      exponent_ = true;
    } else if (c == U'.') {
      ++points_;
    } else {
      if (digits_ < kMaxPlainDigits) units_ = units_ * 10 + (c - U'0');
      ++digits_;
      if (points_ > 0) ++decimals_;
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
  while (!text.empty() && text.front() == U' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == U' ') text.remove_suffix(1);
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

// A 0-based index as a 1-based position, 0 for none.
int Position(std::size_t index) { return index == Text::npos ? 0 : static_cast<int>(index) + 1; }

// Index of the first `a` directly followed by `b`, at or after `from`.
std::size_t FindPair(TextView text, char32_t a, char32_t b, std::size_t from = 0) {
  for (std::size_t k = from; k + 1 < text.size(); ++k) {
    if (text[k] == a && text[k + 1] == b) return k;
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
    } else if (text[k] == U'+') {
      operatorPlus = operatorPlus || TakesSign(before);
      plusPlus = plusPlus || before == U'+';
      timesPlus = timesPlus || before == U'*';
      dividePlus = dividePlus || before == U'/';
    }
  }
};

// Index of the first `op` in `text` at or after `from`; npos for none.
std::size_t FindFrom(TextView text, char32_t op, std::size_t from) {
  for (std::size_t k = from; k < text.size(); ++k) {
    if (text[k] == op) return k;
  }
  return Text::npos;
}

Landmarks FindLandmarks(TextView text) {
  Landmarks found;
  const auto first = [](std::size_t& index, std::size_t k) {
    if (index == Text::npos) index = k;
  };
  for (std::size_t k = 0; k < text.size(); ++k) {
    switch (text[k]) {
      case U'^': first(found.power, k); break;
      case U'/': first(found.divide, k); break;
      case U'*': first(found.times, k); break;
      case U'-':
        if (k > 0) first(found.minus, k);
        found.NotePair(text, k);
        break;
      case U'+':
        if (k > 0) first(found.plus, k);
        found.NotePair(text, k);
        break;
      default: break;
    }
  }
  return found;
}

// Whether `kept` tells what a fresh pass over `text` tells: the same first
// operators, and every pair the text holds (kept may name more).
[[maybe_unused]] bool Describes(const Landmarks& kept, TextView text) {
  const Landmarks fresh = FindLandmarks(text);
  return fresh.power == kept.power && fresh.divide == kept.divide && fresh.times == kept.times &&
         fresh.plus == kept.plus && fresh.minus == kept.minus && (!fresh.operatorPlus || kept.operatorPlus) &&
         (!fresh.plusMinus || kept.plusMinus) && (!fresh.plusPlus || kept.plusPlus) &&
         (!fresh.timesPlus || kept.timesPlus) && (!fresh.dividePlus || kept.dividePlus);
}

// The working texts of a reduction, kept from one reduction to the next so
// that a calculation rewrites its texts without asking for memory.
struct WorkingTexts {
  Text groups;  // the whole text, its groups replaced by their values one by one
  Text value;   // an operation's value as number text
};

WorkingTexts& KeptWorkingTexts() {
  thread_local WorkingTexts texts;
  return texts;
}

// Whether a digit or a point stands at index i of t.
bool NumberAt(const Text& t, int i) {
  return i >= 0 && i < static_cast<int>(t.size()) && IsDigitOrPoint(t[static_cast<std::size_t>(i)]);
}

class Reduction {
 public:
  Reduction(Text& result, WorkingTexts& working) : r_(result), w_(working) {}

  // Group evaluation: brackets from the innermost out, then the rest. The
  // result is left with its signs shown as "-", also after a failure.
  void Evaluate(TextView text) {
    try {
      EvaluateGroups(text);
    } catch (...) {
      ShowSigns(r_);
      throw;
    }
    ShowSigns(r_);
  }

 private:
  void EvaluateGroups(TextView text) {
    Text& t = w_.groups;
    t.assign(text);
    if (MarkTypedSigns(t) != 0) Fail(Failure::BracketMismatch);
    for (;;) {
      const int c = Position(t.find(U')'));
      // Whether there is a "(" matters only when there is no ")" or it comes
      // first: after a later ")" a missing "(" is found by the search below.
      const int o = c <= 1 ? Position(t.find(U'(')) : 1;
      if ((c > 0 && o == 0) || (c == 0 && o > 0)) Fail(Failure::MisplacedBracket);
      if (c == 0) {
        r_.assign(t);
        Changed();
        ReduceGroup();
        Tidy();
        return;
      }
      if (c == 1) Fail(Failure::InvalidArgument);             // nothing before the ")" to cut
      if (t[c - 2] == U'(') Fail(Failure::MisplacedBracket);  // "()"
      int s = c - 1;
      while (t[s - 1] != U'(') {
        if (s == 1) Fail(Failure::MisplacedBracket);
        --s;
      }
      // A bracket's value must not stand against a number: "(3)(4)" would
      // read as 34 and "(2).5" as 2.5. There is no implied multiplication.
      if (NumberAt(t, s - 2) || NumberAt(t, c)) Fail(Failure::MisplacedBracket);
      // The group is what lies between the "(" at position s and the ")" at c.
      r_.assign(t, static_cast<std::size_t>(s), static_cast<std::size_t>(c - s - 1));
      Changed();
      ReduceGroup();
      // The group's value, with its sign, takes the place of the group and its
      // brackets; a sign typed before the bracket negates it.
      t.replace(static_cast<std::size_t>(s - 1), static_cast<std::size_t>(c - s + 1), r_);
      if (s >= 2 && t.size() >= static_cast<std::size_t>(s) && t[s - 2] == kValueSign && t[s - 1] == kValueSign) {
        t.erase(static_cast<std::size_t>(s - 2), 2);
      }
    }
  }

  // The landmarks of the text as it stands. Every rewrite of r_ either
  // updates them (Replaced, ErasedFront) or calls Changed(), after which the
  // next look makes one pass over the text again.
  Landmarks& Look() {
    if (!known_) {
      landmarks_ = FindLandmarks(r_);
      known_ = true;
    }
    assert(Describes(landmarks_, r_) && "the landmarks were not kept up to date with the text");
    return landmarks_;
  }
  void Changed() { known_ = false; }

  // After r_.replace(head, removed, value), where the value is number text
  // whose only operator, if any, stands in front ("+" or "-"): an operator
  // before the value stays where it was, one after it moves with the text, and
  // only one that stood in the replaced span is looked for again, after the
  // value. The pairs are those of before plus the two the value makes with its
  // neighbours.
  void Replaced(std::size_t head, std::size_t removed, TextView value) {
    if (!known_) return;
    const std::size_t tail = head + removed;
    const std::size_t valueEnd = head + value.size();
    for (const char32_t op : {U'^', U'/', U'*', U'+', U'-'}) {
      std::size_t& first = landmarks_.First(op);
      const std::size_t from = op == U'+' || op == U'-' ? 1 : 0;
      if (first != Text::npos && first < head) continue;
      if (!value.empty() && value.front() == op && head >= from) {
        first = head;
      } else if (first == Text::npos) {
        // none before, none after
      } else if (first >= tail) {
        first = first - tail + valueEnd;
      } else {
        first = FindFrom(r_, op, std::max(valueEnd, from));
      }
    }
    landmarks_.NotePair(r_, head);
    landmarks_.NotePair(r_, valueEnd);
  }

  // After the "+" in front of r_ was erased: everything moves one place to
  // the left, unless the "+" or "-" that stood second is now in front.
  void ErasedFront() {
    if (!known_) return;
    Landmarks& l = landmarks_;
    if (l.plus == 1 || l.minus == 1) {
      Changed();
      return;
    }
    for (std::size_t* first : {&l.power, &l.divide, &l.times, &l.plus, &l.minus}) {
      if (*first != Text::npos) --*first;
    }
  }

  void ReduceGroup() {
    operations_ = 0;
    RemovePointBeforeMinus();
    while (ReduceOne(U'^')) {}
    SignFirstNumber();
    while (ReduceOne(U'/')) {}
    while (ReduceOne(U'*')) {}
    for (;;) {
      RemovePointBeforeMinus();
      if (!ReduceOne(U'+')) break;
    }
    while (ReduceOne(U'-')) {}
  }

  // Once the powers are done, a "-" that starts the text (the minus typed at
  // the very start of the formula) has let the first power be taken without it
  // (-2^2 became -4.) and becomes the sign of the first number; before a value
  // sign it negates that value (-(0-2) is 2).
  void SignFirstNumber() {
    if (r_.size() < 2 || r_[0] != U'-') return;
    if (IsDigitOrPoint(r_[1])) {
      r_[0] = kValueSign;
      Changed();
    } else if (r_[1] == kValueSign && r_.size() > 2 && IsDigitOrPoint(r_[2])) {
      r_.erase(0, 2);
      Changed();
    }
  }

  // Position of the operator to reduce next; a "-" at the start is a sign.
  int Find(char32_t op) {
    if (op == U'+' && !r_.empty() && r_.front() == U'+') return 1;
    return Position(Look().First(op));
  }

  // Position of the first "-+", or of a value sign followed by "+".
  int FindMinusPlus() const {
    const int typed = InStr(r_, U"-+");
    const char32_t signPlus[] = {kValueSign, U'+', 0};
    const int sign = InStr(r_, signPlus);
    return typed == 0 || (sign > 0 && sign < typed) ? sign : typed;
  }

  // Reduces the first occurrence of `op`; false when there is none left.
  bool ReduceOne(char32_t op) {
    length_ = static_cast<int>(r_.size());
    if (op == U'-' && !r_.empty() && r_.front() == U'-' && Look().minus == Text::npos) {
      return false;  // a single negative number
    }
    int p = Find(op);
    if (p == 0) return false;
    if (++operations_ > kMaxOperationsPerGroup) Fail(Failure::Syntax);

    // Operator-plus removal: one occurrence of each pair per search, when
    // there is one at all.
    if ((!r_.empty() && r_.front() == U'+') || Look().operatorPlus) {
      static constexpr const char32_t* kPairs[] = {U"++", U"-+", U"*+", U"/+", U"^+", U"(+"};
      for (const char32_t* pair : kPairs) {
        const int q = pair[0] == U'-' ? FindMinusPlus() : InStr(r_, pair);
        if (q == 0) continue;
        r_.erase(static_cast<std::size_t>(q), 1);
        Changed();
        p = Find(op);
        length_ = static_cast<int>(r_.size());
      }
      if (!r_.empty() && r_.front() == U'+') {
        r_.erase(0, 1);
        Changed();
        p = Find(op);
        length_ = static_cast<int>(r_.size());
      }
    }

    // Left operand: the digits and points before the operator with the value
    // sign before them, and for every operator but "^" the one "-" before
    // that: a subtraction is the addition of a negative number. A power is
    // taken of its base without a minus typed before it (3-2^0.5 is 3-1.414).
    // The digits of each operand are read as they are passed.
    int i = p - 1;
    Digits leftDigits;
    for (; i >= 1 && IsDigitOrPoint(r_[i - 1]); --i) leftDigits.Before(r_[i - 1]);
    bool leftNegative = false;
    if (i >= 1 && r_[i - 1] == kValueSign) --i, leftNegative = !leftNegative;
    if (op != U'^' && i >= 1 && r_[i - 1] == U'-') --i, leftNegative = !leftNegative;
    const int leftStart = i < p - 1 ? i + 1 : 0;
    // Right operand: any signs, then digits and points.
    int j = p + 1;
    bool rightNegative = false;
    for (; j <= length_ && (r_[j - 1] == U'-' || r_[j - 1] == kValueSign); ++j) rightNegative = !rightNegative;
    Digits rightDigits;
    for (; j <= length_ && IsDigitOrPoint(r_[j - 1]); ++j) rightDigits.After(r_[j - 1]);
    const int rightEnd = j - 1 > p ? j - 1 : 0;

    const TextView left = leftStart > 0 ? TextView(r_).substr(leftStart - 1, p - leftStart) : TextView();
    const TextView right = rightEnd > 0 ? TextView(r_).substr(p, rightEnd - p) : TextView();
    const double value = Operate(op, leftDigits.Value(leftNegative, left), rightDigits.Value(rightNegative, right));
    // An empty left operand makes this a cut before the start of the text.
    if (leftStart < 1) Fail(Failure::InvalidArgument);
    // The text becomes head, value, tail: the head is what stands before the
    // left operand, the tail what follows the right one (the whole text when
    // the right operand is empty).
    std::size_t head = static_cast<std::size_t>(leftStart - 1);
    const auto tail = static_cast<std::size_t>(rightEnd);
    Text& valueText = w_.value;
    valueText.clear();
    if (!AppendValueText(value, valueText)) Fail(Failure::Syntax);  // beyond what the answer line shows

    const char32_t before = head > 0 ? r_[head - 1] : 0;
    if (valueText.front() == U'-') {
      if (head > 0 && IsDigitOrPoint(before)) {
        // After a number the minus is a subtraction again: the "-" that the
        // left operand took, given back (7-3+2 becomes 7-1.).
      } else if (head > 0 && before == kValueSign) {
        --head;  // two signs cancel
        valueText.erase(0, 1);
      } else {
        valueText.front() = kValueSign;
      }
    } else if ((head > 0 && IsDigitOrPoint(before)) ||
               (op != U'^' && (head == 0 || !(IsOperator(before) || before == kValueSign)))) {
      valueText.insert(valueText.begin(), U'+');  // keep it apart from the number before it
    }
    if (tail > 0) {
      r_.replace(head, tail - head, valueText);
      Replaced(head, tail - head, valueText);
    } else {
      // head, value, then the whole text: the head's copy goes in after the value.
      valueText.append(r_, 0, head);
      r_.insert(head, valueText);
      Changed();
    }
    Tidy();
    return true;
  }

  void Tidy() {
    if (length_ > kMaxResultLength) Fail(Failure::Syntax);
    // Each rewrite runs when its pair is in the text; none of them makes a pair
    // that was not there before (deleting a "+" joins its neighbours, and the
    // one before it already stood before a "+"), so one look finds them all.
    const Landmarks pairs = Look();
    bool changed = false;
    if (pairs.plusMinus) {
      for (int p; (p = InStr(r_, U"+-")) > 0; changed = true) r_.erase(static_cast<std::size_t>(p - 1), 1);
    }
    if (!r_.empty() && r_.front() == U'+') {
      r_.erase(0, 1);
      ErasedFront();
    }
    if (pairs.plusPlus) {
      for (int p; (p = InStr(r_, U"++")) > 0; changed = true) r_.erase(static_cast<std::size_t>(p - 1), 1);
    }
    if (pairs.timesPlus) {
      for (int p; (p = InStr(r_, U"*+")) > 0; changed = true) {
        r_ = SignedText(Operate(U'*', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2))));
      }
    }
    if (pairs.dividePlus) {
      for (int p; (p = InStr(r_, U"/+")) > 0; changed = true) {
        r_ = SignedText(Operate(U'/', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2))));
      }
    }
    if (r_.size() >= 2 && (r_[0] == U'-' || r_[0] == kValueSign) && r_[1] == U'.') {
      r_.insert(1, 1, U'0');
      changed = true;
    }
    if (!r_.empty() && r_.front() == U'.') {
      r_.insert(r_.begin(), U'0');
      changed = true;
    }
    if (changed) Changed();
  }

  // "5.-3" becomes "5-3": the point of a whole number goes before a minus.
  void RemovePointBeforeMinus() {
    // The first pair can't start before the first "-" after the first
    // character; deleting a point can only make a new pair with the character
    // before it.
    const std::size_t minus = Look().minus;
    if (minus == Text::npos) return;
    for (std::size_t p = minus - 1; (p = FindPair(r_, U'.', U'-', p)) != Text::npos; p = p > 0 ? p - 1 : 0) {
      r_.erase(p, 1);
      Changed();
    }
  }

  Text& r_;
  WorkingTexts& w_;
  int length_ = 0;  // the result text's length at the last operator search
  int operations_ = 0;
  Landmarks landmarks_;
  bool known_ = false;  // whether landmarks_ describes r_ as it stands
};

}  // namespace

void ReduceOperators(TextView text, Text& result) { Reduction(result, KeptWorkingTexts()).Evaluate(text); }

}  // namespace suusiki
