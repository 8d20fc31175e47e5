// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/reduction.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

#include "engine/arithmetic.h"
#include "engine/failure.h"
#include "engine/number_text.h"
#include "engine/operands.h"

namespace suusiki {
namespace {

// A 0-based index as a 1-based position, 0 for none.
int Position(std::size_t index) { return index == Text::npos ? 0 : static_cast<int>(index) + 1; }

// The working texts of a reduction, kept from one reduction to the next so
// that a calculation rewrites its texts without asking for memory.
struct WorkingTexts {
  Text groups;  // the whole text, its groups replaced by their values one by one
  Text value;   // a value and the head after it, where the right operand is empty
};

WorkingTexts& KeptWorkingTexts() {
  thread_local WorkingTexts texts;
  return texts;
}

// Whether a digit or a point stands at index i of t.
bool NumberAt(const Text& t, int i) {
  return i >= 0 && i < static_cast<int>(t.size()) && IsDigitOrPoint(t[static_cast<std::size_t>(i)]);
}

// The digits of the value spliced into a group's text last, [first, last),
// and what they read as, so that an operation that takes it as an operand
// need not read its digits again; none when they are no plain decimal (they
// have an exponent). It is followed through the erasing of a "+" in front;
// any other rewrite but a splice forgets it.
struct Carried {
  std::size_t first = 0;
  std::size_t last = 0;
  PlainDigits plain;

  void Forget() { plain.decimals = -1; }
  const Carried* EndingAt(std::size_t index) const { return plain.decimals >= 0 && last == index ? this : nullptr; }
  const Carried* StartingAt(std::size_t index) const { return plain.decimals >= 0 && first == index ? this : nullptr; }
  // The value that the digits read as, with a sign when `negative`.
  double Value(bool negative) const {
    double value = 0;
    PlainDecimalValue(plain.units, plain.digits, plain.decimals, value);
    return negative ? -value : value;
  }
};

class Reduction {
 public:
  Reduction(Text& result, WorkingTexts& working) : r_(result), w_(working) {}

  // Group evaluation: brackets from the innermost out, then the rest. The
  // result is left with its signs shown as "-", also after a failure; returns
  // its value.
  double Evaluate(TextView text) {
    try {
      EvaluateGroups(text);
    } catch (...) {
      ShowSigns(r_);
      throw;
    }
    ShowSigns(r_);
    // A result that is the value spliced in last, with its sign, is not read again.
    const std::size_t sign = !r_.empty() && r_.front() == U'-' ? 1 : 0;
    if (const Carried* value = carried_.EndingAt(r_.size()); value != nullptr && value->first == sign) {
      return value->Value(sign == 1);
    }
    return ReadOrFail(r_);
  }

 private:
  void EvaluateGroups(TextView text) {
    Text& t = w_.groups;
    t.assign(text);
    if (MarkTypedSigns(t) != 0) Fail(Failure::BracketMismatch);
    // No ")" stands before the group last replaced: the search starts there.
    std::size_t unchanged = 0;
    for (;;) {
      const int c = Position(t.find(U')', unchanged));
      // The text holds as many "(" as ")": so it was typed, and each group
      // takes one of each away. With no ")" left there is no "(" either; a
      // ")" with no "(" before it is found by the search below.
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
      // A function's negative value after it stands against it too: "(2) Cos(180)".
      if (NumberAt(t, s - 2) || NumberAt(t, c) || (c < static_cast<int>(t.size()) && t[c] == kValueSign)) {
        Fail(Failure::MisplacedBracket);
      }
      // The group is what lies between the "(" at position s and the ")" at c.
      r_.assign(t, static_cast<std::size_t>(s), static_cast<std::size_t>(c - s - 1));
      Changed();
      ReduceGroup();
      // A sign with no number after it leaves the group unfinished: "(-)".
      if (std::none_of(r_.begin(), r_.end(), IsDigit)) Fail(Failure::Syntax);
      // The group's value, with its sign, takes the place of the group and its
      // brackets; a sign typed before the bracket negates it.
      t.replace(static_cast<std::size_t>(s - 1), static_cast<std::size_t>(c - s + 1), r_);
      unchanged = s >= 3 ? static_cast<std::size_t>(s - 3) : 0;
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
  void Changed() {
    known_ = false;
    carried_.Forget();
  }

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
    const char32_t front = value.empty() ? 0 : value.front();
    const auto follow = [&](std::size_t& first, char32_t op, std::size_t from) {
      // Worked out without branches where that can be done (npos is never before the tail).
      const std::size_t was = first;
      std::size_t now = was >= tail && was != Text::npos ? was - tail + valueEnd : was;
      if (was >= head && was < tail) now = FindFrom(r_, op, std::max(valueEnd, from));
      if (was >= head && front == op && head >= from) now = head;
      first = now;
    };
    follow(landmarks_.power, U'^', 0);
    follow(landmarks_.divide, U'/', 0);
    follow(landmarks_.times, U'*', 0);
    follow(landmarks_.plus, U'+', 1);
    follow(landmarks_.minus, U'-', 1);
    landmarks_.NotePair(r_, head);
    landmarks_.NotePair(r_, valueEnd);
  }

  // After the "+" in front of r_ was erased: everything moves one place to
  // the left, unless the "+" or "-" that stood second is now in front.
  void ErasedFront() {
    --carried_.first, --carried_.last;  // (a "+" stood before the digits)
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
    p = RemoveOperatorPlus(op, p);
    const Operation operation = Operands(op, p);
    // Legacy: the operation is worked out before an empty left operand is
    // refused, so "/0" with nothing before it is a division by zero and
    // "^" a power of 0; only then does the empty operand end the command as
    // a cut before the start of the text.
    const double value = Operate(op, operation.left, operation.right);
    if (operation.leftStart < 1) Fail(Failure::InvalidArgument);
    Splice(op, static_cast<std::size_t>(operation.leftStart - 1), static_cast<std::size_t>(operation.rightEnd), value);
    Tidy();
    return true;
  }

  // Operator-plus removal: one occurrence of each pair per search, when there
  // is one at all, then a "+" in front. Returns where `op` (at `p`) stands then.
  int RemoveOperatorPlus(char32_t op, int p) {
    if ((r_.empty() || r_.front() != U'+') && !Look().operatorPlus) return p;
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
    return p;
  }

  struct Operation {
    double left = 0;
    double right = 0;
    int leftStart = 0;  // 1-based position of the left operand's first character; 0 when it is empty
    int rightEnd = 0;   // position of the right operand's last character; 0 when it is empty
  };

  // The operands of the operator at `p`. Left: the digits and points before
  // the operator with the value sign before them, and for every operator but
  // "^" the one "-" before that: a subtraction is the addition of a negative
  // number. A power is taken of its base without a minus typed before it
  // (3-2^0.5 is 3-1.414). Right: any signs, then digits and points. The
  // digits of each operand are read as they are passed.
  Operation Operands(char32_t op, int p) const {
    const char32_t* const text = r_.data();
    // The operator's index; at position 0 (a "+" in front that was erased)
    // nothing stands on its left and the right operand starts the text.
    const bool leftOfText = p < 1;
    const std::size_t at = leftOfText ? Text::npos : static_cast<std::size_t>(p - 1);
    const Carried* const carriedLeft = leftOfText ? nullptr : carried_.EndingAt(at);
    std::size_t i = carriedLeft != nullptr ? carriedLeft->first : leftOfText ? 0 : at;
    OperandDigits leftDigits;
    if (carriedLeft == nullptr) {
      for (; i > 0 && IsDigitOrPoint(text[i - 1]); --i) leftDigits.Before(text[i - 1]);
    }
    bool leftNegative = false;
    if (i > 0 && text[i - 1] == kValueSign) --i, leftNegative = !leftNegative;
    if (op != U'^' && i > 0 && text[i - 1] == U'-') --i, leftNegative = !leftNegative;
    Operation operation;
    operation.leftStart = !leftOfText && i < at ? static_cast<int>(i) + 1 : 0;
    const auto length = static_cast<std::size_t>(length_);
    const std::size_t rightStart = at + 1;  // 0 when the operator is at position 0
    std::size_t k = rightStart;
    bool rightNegative = false;
    for (; k < length && (text[k] == U'-' || text[k] == kValueSign); ++k) rightNegative = !rightNegative;
    const Carried* const carriedRight = carried_.StartingAt(k);
    OperandDigits rightDigits;
    if (carriedRight != nullptr) {
      k = carriedRight->last;
    } else {
      for (; k < length && IsDigitOrPoint(text[k]); ++k) rightDigits.After(text[k]);
    }
    operation.rightEnd = k > rightStart ? static_cast<int>(k) : 0;
    if (carriedLeft != nullptr) {
      operation.left = carriedLeft->Value(leftNegative);
    } else {
      const TextView left = operation.leftStart > 0 ? TextView(text + i, at - i) : TextView();
      operation.left = leftDigits.Value(leftNegative, left);
    }
    if (carriedRight != nullptr) {
      operation.right = carriedRight->Value(rightNegative);
    } else {
      const TextView right = operation.rightEnd > 0 ? TextView(text + rightStart, k - rightStart) : TextView();
      operation.right = rightDigits.Value(rightNegative, right);
    }
    return operation;
  }

  // The text becomes head, value, tail: the head is what stands before the
  // left operand (`head` characters), the tail what follows the right one
  // (from `tail`; the whole text when the right operand is empty).
  void Splice(char32_t op, std::size_t head, std::size_t tail, double value) {
    // The value text goes in with one rewrite; a slot before it takes a "+".
    char32_t buffer[1 + kMaxValueTextLength];
    char32_t* text = buffer + 1;
    PlainDigits plain;
    std::size_t size = static_cast<std::size_t>(WriteValueText(value, text, &plain));
    if (size == 0) Fail(Failure::Syntax);  // beyond what the answer line shows

    const char32_t before = head > 0 ? r_[head - 1] : 0;
    if (text[0] == U'-') {
      if (head > 0 && IsDigitOrPoint(before)) {
        // After a number the minus is a subtraction again: the "-" that the
        // left operand took, given back (7-3+2 becomes 7-1.).
      } else if (head > 0 && before == kValueSign) {
        --head;  // two signs cancel
        ++text;
        --size;
      } else {
        text[0] = kValueSign;
      }
    } else if ((head > 0 && IsDigitOrPoint(before)) ||
               (op != U'^' && (head == 0 || !(IsOperator(before) || before == kValueSign)))) {
      // Keep it apart from the number before it. In front of the text the
      // tidy would erase it at once (unless the text is too long by then).
      if (head > 0 || length_ > kMaxResultLength) *--text = U'+', ++size;
    }
    const TextView valueText(text, size);
    if (tail > 0) {
      r_.replace(head, tail - head, text, size);
      Replaced(head, tail - head, valueText);
      carried_ = {head + (IsDigitOrPoint(text[0]) ? 0 : 1), head + size, plain};
    } else {
      // head, value, then the whole text: the head's copy goes in after the value.
      Text& inserted = w_.value;
      inserted.assign(valueText);
      inserted.append(r_, 0, head);
      r_.insert(head, inserted);
      Changed();
    }
  }

  void Tidy() {
    if (length_ > kMaxResultLength) Fail(Failure::Syntax);
    // Each rewrite runs when its pair is in the text; none of them makes a pair
    // that was not there before (deleting a "+" joins its neighbours, and the
    // one before it already stood before a "+"), so one look finds them all.
    const Landmarks& look = Look();
    const bool plusMinus = look.plusMinus;
    const bool plusPlus = look.plusPlus;
    const bool timesPlus = look.timesPlus;
    const bool dividePlus = look.dividePlus;
    bool changed = false;
    if (plusMinus) {
      for (int p; (p = InStr(r_, U"+-")) > 0; changed = true) r_.erase(static_cast<std::size_t>(p - 1), 1);
    }
    if (!r_.empty() && r_.front() == U'+') {
      r_.erase(0, 1);
      ErasedFront();
    }
    if (plusPlus) {
      for (int p; (p = InStr(r_, U"++")) > 0; changed = true) r_.erase(static_cast<std::size_t>(p - 1), 1);
    }
    if (timesPlus) {
      for (int p; (p = InStr(r_, U"*+")) > 0; changed = true) {
        r_ = SignedText(Operate(U'*', WholeNumber(Left(r_, p - 1)), WholeNumber(Mid(r_, p + 2))));
      }
    }
    if (dividePlus) {
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
    Landmarks& landmarks = Look();
    if (landmarks.minus != Text::npos && landmarks.pointMinus) ErasePointsBeforeMinus(landmarks);
  }
  void ErasePointsBeforeMinus(Landmarks& landmarks) {
    // The first pair can't start before the first "-" after the first
    // character; deleting a point can only make a new pair with the character
    // before it.
    bool erased = false;
    for (std::size_t p = landmarks.minus - 1; (p = FindPair(r_, U'.', U'-', p)) != Text::npos; p = p > 0 ? p - 1 : 0) {
      r_.erase(p, 1);
      erased = true;
    }
    if (erased) {
      Changed();
    } else {
      landmarks.pointMinus = false;  // the pair that was noted is gone
    }
  }

  Text& r_;
  WorkingTexts& w_;
  int length_ = 0;  // the result text's length at the last operator search
  int operations_ = 0;
  Landmarks landmarks_;
  bool known_ = false;  // whether landmarks_ describes r_ as it stands
  Carried carried_;
};

}  // namespace

double ReduceOperators(TextView text, Text& result) { return Reduction(result, KeptWorkingTexts()).Evaluate(text); }

}  // namespace suusiki
