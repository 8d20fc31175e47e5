// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/reduction.h"

#include <algorithm>
#include <cmath>

#include "engine/arithmetic.h"
#include "engine/failure.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

bool IsOperator(char32_t c) { return c == U'+' || c == U'-' || c == U'*' || c == U'/'; }
bool IsDigitOrPoint(char32_t c) { return IsDigit(c) || c == U'.'; }

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
// "Abs(+2)*Abs(+3)" is 6).
void MarkTypedSigns(Text& t) {
  bool marked = false;
  std::size_t out = t.empty() ? 0 : 1;
  for (std::size_t i = 1; i < t.size(); ++i) {
    const char32_t before = t[out - 1];
    if (t[i] == U'+' && TakesSign(before)) continue;
    t[out] = t[i];
    if (t[out] == U'-' && TakesSign(before)) {
      t[out] = kValueSign;
      marked = true;
    }
    ++out;
  }
  t.resize(out);
  if (marked || t.find(kValueSign) != Text::npos) CancelSignPairs(t);
  // Two minuses typed at the very start cancel as well: "--4^2" is 16, the
  // same as "4^2", not the negative of the square of -4.
  if (t.size() >= 2 && t[0] == U'-' && t[1] == kValueSign) t.erase(0, 2);
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

// A computed value as it goes back into the text: a negative one carries the
// value sign.
Text SignedText(Text text) {
  if (!text.empty() && text.front() == U'-') text.front() = kValueSign;
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
  if (digits && i < text.size() && (text[i] == U'E' || text[i] == U'e' || text[i] == U'D' || text[i] == U'd')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == U'+' || text[j] == U'-')) ++j;
    const std::size_t first = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > first) i = j;
  }
  if (!digits || i != text.size()) Fail(Failure::Other);
  return ReadOrFail(WithShownSigns(text));
}

// Whether a digit or a point stands at index i of t.
bool NumberAt(const Text& t, int i) {
  return i >= 0 && i < static_cast<int>(t.size()) && IsDigitOrPoint(t[static_cast<std::size_t>(i)]);
}

class Reduction {
 public:
  explicit Reduction(Text& result) : r_(result) {}

  // Group evaluation: brackets from the innermost out, then the rest. The
  // result is left with its signs shown as "-", also after a failure.
  void Evaluate(Text t) {
    try {
      EvaluateGroups(std::move(t));
    } catch (...) {
      ShowSigns(r_);
      throw;
    }
    ShowSigns(r_);
  }

 private:
  void EvaluateGroups(Text t) {
    if (std::count(t.begin(), t.end(), U'(') != std::count(t.begin(), t.end(), U')')) {
      Fail(Failure::BracketMismatch);
    }
    // Blanks count for nothing in a number ("2 3" reads as 23), so they go
    // before the operators are read: left in, "1+- 2" gave 1.2.
    t.erase(std::remove(t.begin(), t.end(), U' '), t.end());
    MarkTypedSigns(t);
    for (;;) {
      const int n = static_cast<int>(t.size());
      const int c = InStr(t, U")");
      const int o = InStr(t, U"(");
      if ((c > 0 && o == 0) || (c == 0 && o > 0)) Fail(Failure::MisplacedBracket);
      if (c == 0) {
        r_ = t;
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
      r_ = Mid(t, s + 1, c - s - 1);
      ReduceGroup();
      // The group's value, with its sign, takes the place of the group; a sign
      // typed before the bracket negates it.
      t = Left(t, s - 1) + r_ + Right(t, n - c);
      if (s >= 2 && t.size() >= static_cast<std::size_t>(s) && t[s - 2] == kValueSign && t[s - 1] == kValueSign) {
        t.erase(static_cast<std::size_t>(s - 2), 2);
      }
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
    } else if (r_[1] == kValueSign && r_.size() > 2 && IsDigitOrPoint(r_[2])) {
      r_.erase(0, 2);
    }
  }

  // Position of the operator to reduce next; a "-" at the start is a sign.
  int Find(char32_t op) const {
    const char32_t pattern[] = {op, 0};
    return op == U'-' && !r_.empty() && r_.front() == U'-' ? InStr(r_, pattern, 2) : InStr(r_, pattern);
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
    if (op == U'-' && !r_.empty() && r_.front() == U'-' && InStr(r_, U"-", 2) == 0) {
      return false;  // a single negative number
    }
    int p = Find(op);
    if (p == 0) return false;
    if (++operations_ > kMaxOperationsPerGroup) Fail(Failure::Syntax);

    // Operator-plus removal: one occurrence of each pair per search.
    static constexpr const char32_t* kPairs[] = {U"++", U"-+", U"*+", U"/+", U"^+", U"(+"};
    for (const char32_t* pair : kPairs) {
      const int q = pair[0] == U'-' ? FindMinusPlus() : InStr(r_, pair);
      if (q == 0) continue;
      r_.erase(static_cast<std::size_t>(q), 1);
      p = Find(op);
      length_ = static_cast<int>(r_.size());
    }
    if (!r_.empty() && r_.front() == U'+') {
      r_.erase(0, 1);
      p = Find(op);
      length_ = static_cast<int>(r_.size());
    }

    // Left operand: the digits and points before the operator with the value
    // sign before them, and for every operator but "^" the one "-" before
    // that: a subtraction is the addition of a negative number. A power is
    // taken of its base without a minus typed before it (3-2^0.5 is 3-1.414).
    int i = p - 1;
    while (i >= 1 && IsDigitOrPoint(r_[i - 1])) --i;
    if (i >= 1 && r_[i - 1] == kValueSign) --i;
    if (op != U'^' && i >= 1 && r_[i - 1] == U'-') --i;
    const int leftStart = i < p - 1 ? i + 1 : 0;
    // Right operand: any signs, then digits and points.
    int j = p + 1;
    while (j <= length_ && (r_[j - 1] == U'-' || r_[j - 1] == kValueSign)) ++j;
    while (j <= length_ && IsDigitOrPoint(r_[j - 1])) ++j;
    const int rightEnd = j - 1 > p ? j - 1 : 0;

    const TextView left = leftStart > 0 ? TextView(r_).substr(leftStart - 1, p - leftStart) : TextView();
    const TextView right = rightEnd > 0 ? TextView(r_).substr(p, rightEnd - p) : TextView();
    const double value = Operate(op, OperandValue(left), OperandValue(right));
    // An empty left operand makes this a cut before the start of the text.
    Text head = Left(r_, leftStart - 1);
    const Text tail = Right(r_, length_ - rightEnd);
    Text valueText = NumberText(value, kReductionPattern);

    if (valueText.front() == U'-') {
      if (!head.empty() && IsDigitOrPoint(head.back())) {
        // After a number the minus is a subtraction again: the "-" that the
        // left operand took, given back (7-3+2 becomes 7-1.).
      } else if (!head.empty() && head.back() == kValueSign) {
        head.pop_back();  // two signs cancel
        valueText.erase(0, 1);
      } else {
        valueText.front() = kValueSign;
      }
    } else if ((!head.empty() && IsDigitOrPoint(head.back())) ||
               (op != U'^' && (head.empty() || !(IsOperator(head.back()) || head.back() == kValueSign)))) {
      valueText.insert(valueText.begin(), U'+');  // keep it apart from the number before it
    }
    r_ = head + valueText + tail;
    Tidy();
    return true;
  }

  void Tidy() {
    if (length_ > kMaxResultLength) Fail(Failure::Syntax);
    for (int p; (p = InStr(r_, U"+-")) > 0;) r_.erase(static_cast<std::size_t>(p - 1), 1);
    if (!r_.empty() && r_.front() == U'+') r_.erase(0, 1);
    for (int p; (p = InStr(r_, U"++")) > 0;) r_.erase(static_cast<std::size_t>(p - 1), 1);
    for (int p; (p = InStr(r_, U"*+")) > 0;) {
      r_ = SignedText(ShortestPlainText(Operate(U'*', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2)))));
    }
    for (int p; (p = InStr(r_, U"/+")) > 0;) {
      r_ = SignedText(ShortestPlainText(Operate(U'/', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2)))));
    }
    if (r_.size() >= 2 && (r_[0] == U'-' || r_[0] == kValueSign) && r_[1] == U'.') r_.insert(1, 1, U'0');
    if (!r_.empty() && r_.front() == U'.') r_.insert(r_.begin(), U'0');
  }

  // "5.-3" becomes "5-3": the point of a whole number goes before a minus.
  void RemovePointBeforeMinus() {
    for (int p; (p = InStr(r_, U".-")) > 0;) r_.erase(static_cast<std::size_t>(p - 1), 1);
  }

  Text& r_;
  int length_ = 0;  // the result text's length at the last operator search
  int operations_ = 0;
};

}  // namespace

void ReduceOperators(Text text, Text& result) { Reduction(result).Evaluate(std::move(text)); }

}  // namespace suusiki
