#include "engine/reduction.h"

#include <algorithm>
#include <cmath>

#include "engine/arithmetic.h"
#include "engine/failure.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

bool IsOperator(char32_t c) { return c == U'+' || c == U'-' || c == U'*' || c == U'/'; }

// The value of a text that must be one complete number, as in "6.*+4" where
// both sides of "*+" are multiplied; anything else is an "other" failure.
double WholeNumber(TextView text) {
  while (!text.empty() && text.front() == U' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == U' ') text.remove_suffix(1);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) ++i;
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
  return ReadOrFail(text);
}

class Reduction {
 public:
  Reduction(Text& result, bool formulaStartsWithMinus)
      : r_(result), formulaStartsWithMinus_(formulaStartsWithMinus) {}

  // Group evaluation: brackets from the innermost out, then the rest.
  void Evaluate(Text t) {
    if (std::count(t.begin(), t.end(), U'(') != std::count(t.begin(), t.end(), U')')) {
      Fail(Failure::BracketMismatch);
    }
    // "-(" becomes "-1*(", except after "^" in a text that does not start with "-".
    for (;;) {
      const int p = InStr(t, U"-(");
      if (p == 0) break;
      if (t.front() != U'-' && t[p - 2] == U'^') break;
      t = Left(t, p) + U"1*" + Mid(t, p + 1);
    }
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
      if (c == 1) Fail(Failure::InvalidArgument);  // nothing before the ")" to cut
      if (t[c - 2] == U'(') Fail(Failure::MisplacedBracket);  // "()"
      int s = c - 1;
      while (t[s - 1] != U'(') {
        if (s == 1) Fail(Failure::MisplacedBracket);
        --s;
      }
      r_ = Mid(t, s + 1, c - s - 1);
      ReduceGroup();
      t = Left(t, s - 1) + r_ + Right(t, n - c);
    }
  }

 private:
  void ReduceGroup() {
    operations_ = 0;
    RemovePointBeforeMinus();
    while (ReduceOne(U'^')) {}
    while (ReduceOne(U'/')) {}
    while (ReduceOne(U'*')) {}
    for (;;) {
      RemovePointBeforeMinus();
      if (!ReduceOne(U'+')) break;
    }
    while (ReduceOne(U'-')) {}
  }

  // Position of the operator to reduce next; a "-" at the start is a sign.
  int Find(char32_t op) const {
    const char32_t pattern[] = {op, 0};
    return op == U'-' && !r_.empty() && r_.front() == U'-' ? InStr(r_, pattern, 2) : InStr(r_, pattern);
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
      const int q = InStr(r_, pair);
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

    // Left operand: digits and points before the operator, with the one "-"
    // that stands directly before them.
    Text left;
    int leftStart = 0;
    char32_t last = 0;
    for (int i = p - 1; i >= 1; --i) {
      const char32_t c = r_[i - 1];
      if (last == U'-' && (IsDigit(c) || c == U'-' || c == U'.')) break;
      last = c;
      if (!IsNumberChar(c)) break;
      left.insert(left.begin(), c);
      leftStart = i;
    }
    // Right operand: any "-" signs, then digits and points; a "-" after a digit
    // or a point ends it.
    Text right;
    int rightEnd = 0;
    last = 0;
    for (int i = p + 1; i <= length_; ++i) {
      const char32_t c = r_[i - 1];
      if (c == U'-' && (last == U'.' || IsDigit(last))) break;
      last = c;
      if (!IsNumberChar(c)) break;
      right.push_back(c);
      rightEnd = i;
    }

    const double value = Operate(op, ReadOrFail(left), ReadOrFail(right));
    // An empty left operand makes this a cut before the start of the text.
    Text head = Left(r_, leftStart - 1);
    const Text tail = Right(r_, length_ - rightEnd);
    Text valueText = NumberText(value, kReductionPattern);

    if (op == U'^') {
      // The minus of a base belongs to the power: 3-2^2 is 3-4, and a formula
      // that starts with "-" keeps that minus in front of its power.
      if (formulaStartsWithMinus_ && (head.empty() || head.front() != U'-')) head.insert(head.begin(), U'-');
      if (!head.empty() && (IsDigit(head.back()) || head.back() == U'.') && IsDigit(valueText.front()) &&
          !left.empty() && left.front() == U'-') {
        valueText.insert(valueText.begin(), U'-');
      }
    } else if (valueText.front() != U'-' && (head.empty() || !IsOperator(head.back()))) {
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
      r_ = ShortestPlainText(Operate(U'*', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2))));
    }
    for (int p; (p = InStr(r_, U"/+")) > 0;) {
      r_ = ShortestPlainText(Operate(U'/', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2))));
    }
    if (r_.size() >= 2 && r_[0] == U'-' && r_[1] == U'.') r_ = U"-0" + Mid(r_, 2);
    if (!r_.empty() && r_.front() == U'.') r_.insert(r_.begin(), U'0');
  }

  // "5.-3" becomes "5-3": the point of a whole number goes before a minus.
  void RemovePointBeforeMinus() {
    for (int p; (p = InStr(r_, U".-")) > 0;) r_.erase(static_cast<std::size_t>(p - 1), 1);
  }

  Text& r_;
  const bool formulaStartsWithMinus_;
  int length_ = 0;  // the result text's length at the last operator search
  int operations_ = 0;
};

}  // namespace

void ReduceOperators(Text text, bool formulaStartsWithMinus, Text& result) {
  Reduction(result, formulaStartsWithMinus).Evaluate(std::move(text));
}

}  // namespace suusiki
