// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/exact_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "engine/main_state.h"
#include "engine/number_text.h"

namespace suusiki::exact {
namespace {

// A natural number of any size: base 10^9 limbs, least significant first, no
// zero limb at the top (zero has none).
class Natural {
 public:
  Natural() = default;
  explicit Natural(std::uint64_t value) {
    for (; value != 0; value /= kBase) limbs_.push_back(static_cast<std::uint32_t>(value % kBase));
  }

  static Natural FromDigits(std::string_view digits) {
    Natural n;
    for (char c : digits) n = n.Times(10).Plus(static_cast<std::uint32_t>(c - '0'));
    return n;
  }

  static Natural Pow10(int exponent) {
    Natural n(1);
    for (; exponent >= 9; exponent -= 9) n = n.Times(kBase);
    std::uint32_t rest = 1;
    while (exponent-- > 0) rest *= 10;
    return n.Times(rest);
  }

  bool IsZero() const { return limbs_.empty(); }

  int DigitCount() const {
    if (limbs_.empty()) return 0;
    int count = 9 * static_cast<int>(limbs_.size() - 1);
    for (std::uint32_t top = limbs_.back(); top != 0; top /= 10) ++count;
    return count;
  }

  std::string ToString() const {
    if (limbs_.empty()) return "0";
    std::string text = std::to_string(limbs_.back());
    for (auto limb = limbs_.rbegin() + 1; limb != limbs_.rend(); ++limb) {
      const std::string part = std::to_string(*limb);
      text += std::string(9 - part.size(), '0') + part;
    }
    return text;
  }

  friend int Compare(const Natural& a, const Natural& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

  Natural Plus(std::uint32_t small) const { return *this + Natural(small); }

  Natural Times(std::uint32_t small) const {
    Natural product;
    std::uint64_t carry = 0;
    for (std::uint32_t limb : limbs_) {
      carry += static_cast<std::uint64_t>(limb) * small;
      product.limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
    for (; carry != 0; carry /= kBase) product.limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
    product.Trim();
    return product;
  }

  friend Natural operator+(const Natural& a, const Natural& b) {
    Natural sum;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < std::max(a.limbs_.size(), b.limbs_.size()) || carry != 0; ++i) {
      carry += i < a.limbs_.size() ? a.limbs_[i] : 0;
      carry += i < b.limbs_.size() ? b.limbs_[i] : 0;
      sum.limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
    sum.Trim();
    return sum;
  }

  // a - b for a >= b.
  friend Natural operator-(const Natural& a, const Natural& b) {
    if (Compare(a, b) < 0) throw std::logic_error("negative natural number");
    Natural difference;
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
      std::int64_t limb = static_cast<std::int64_t>(a.limbs_[i]) - borrow - (i < b.limbs_.size() ? b.limbs_[i] : 0);
      borrow = limb < 0 ? 1 : 0;
      difference.limbs_.push_back(static_cast<std::uint32_t>(limb + borrow * kBase));
    }
    difference.Trim();
    return difference;
  }

  friend Natural operator*(const Natural& a, const Natural& b) {
    if (a.IsZero() || b.IsZero()) return Natural();
    std::vector<std::uint64_t> sums(a.limbs_.size() + b.limbs_.size() + 1, 0);
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
      std::uint64_t carry = 0;
      for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
        carry += sums[i + j] + static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j];
        sums[i + j] = carry % kBase;
        carry /= kBase;
      }
      for (std::size_t k = i + b.limbs_.size(); carry != 0; ++k) {
        carry += sums[k];
        sums[k] = carry % kBase;
        carry /= kBase;
      }
    }
    Natural product;
    for (std::uint64_t limb : sums) product.limbs_.push_back(static_cast<std::uint32_t>(limb));
    product.Trim();
    return product;
  }

  // Long division, one limb of the quotient at a time (found by bisection).
  static void Divide(const Natural& a, const Natural& b, Natural& quotient, Natural& remainder) {
    if (b.IsZero()) throw std::logic_error("division by zero");
    quotient.limbs_.assign(a.limbs_.size(), 0);
    remainder = Natural();
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      remainder.limbs_.insert(remainder.limbs_.begin(), a.limbs_[i]);
      remainder.Trim();
      std::uint32_t low = 0;
      std::uint32_t high = kBase - 1;
      while (low < high) {
        const std::uint32_t middle = low + (high - low + 1) / 2;
        if (Compare(b.Times(middle), remainder) <= 0) {
          low = middle;
        } else {
          high = middle - 1;
        }
      }
      quotient.limbs_[i] = low;
      remainder = remainder - b.Times(low);
    }
    quotient.Trim();
  }

 private:
  static constexpr std::uint32_t kBase = 1000000000;

  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }

  std::vector<std::uint32_t> limbs_;
};

// (-1)^negative x digits x 10^-scale.
struct Decimal {
  bool negative = false;
  Natural digits;
  int scale = 0;
};

struct Failed {
  Outcome outcome;
};

// Set by Power when it raises a negative number: the formula then checks what
// the signs of computed values are for.
thread_local bool raisedNegative = false;

// p / q with halves rounded away from zero.
Natural RoundedQuotient(const Natural& p, const Natural& q) {
  Natural quotient;
  Natural remainder;
  Natural::Divide(p, q, quotient, remainder);
  return Compare(remainder.Times(2), q) >= 0 ? quotient.Plus(1) : quotient;
}

// The value p / q as the number text writes it: 15 significant digits, then
// at most 18 decimal places, halves away from zero both times.
Decimal Rounded(bool negative, const Natural& p, const Natural& q) {
  if (p.IsZero()) return {};
  // 10^e <= p / q < 10^(e + 1)
  int e = p.DigitCount() - q.DigitCount();
  if (e >= 0 ? Compare(p, q * Natural::Pow10(e)) < 0 : Compare(p * Natural::Pow10(-e), q) < 0) --e;
  int scale = 14 - e;  // p / q x 10^scale has 15 digits before the point
  Natural digits =
      scale >= 0 ? RoundedQuotient(p * Natural::Pow10(scale), q) : RoundedQuotient(p, q * Natural::Pow10(-scale));
  if (scale > 18) {
    digits = RoundedQuotient(digits, Natural::Pow10(scale - 18));
    scale = 18;
  }
  if (scale < 0) {
    digits = digits * Natural::Pow10(-scale);
    scale = 0;
  }
  // Every value on the way must stay below 1e15.
  if (digits.DigitCount() - scale > 15) throw Failed{Outcome::kOutOfRange};
  return {negative && !digits.IsZero(), digits, scale};
}

Decimal Sum(const Decimal& a, Decimal b, bool subtract) {
  if (subtract) b.negative = !b.negative;
  const int scale = std::max(a.scale, b.scale);
  const Natural x = a.digits * Natural::Pow10(scale - a.scale);
  const Natural y = b.digits * Natural::Pow10(scale - b.scale);
  if (a.negative == b.negative) return Rounded(a.negative, x + y, Natural::Pow10(scale));
  const bool xLarger = Compare(x, y) >= 0;
  return Rounded(xLarger ? a.negative : b.negative, xLarger ? x - y : y - x, Natural::Pow10(scale));
}

Decimal Product(const Decimal& a, const Decimal& b) {
  return Rounded(a.negative != b.negative, a.digits * b.digits, Natural::Pow10(a.scale + b.scale));
}

Decimal Quotient(const Decimal& a, const Decimal& b) {
  if (b.digits.IsZero()) throw Failed{a.digits.IsZero() ? Outcome::kZeroByZero : Outcome::kDivisionByZero};
  return Rounded(a.negative != b.negative, a.digits * Natural::Pow10(b.scale), b.digits * Natural::Pow10(a.scale));
}

// a^n for a whole n from 0 to 3, rounded once.
Decimal Power(const Decimal& a, int n) {
  if (a.negative) raisedNegative = true;
  if (n == 0) return {false, Natural(1), 0};
  Natural digits(1);
  for (int i = 0; i < n; ++i) digits = digits * a.digits;
  return Rounded(a.negative && n % 2 == 1, digits, Natural::Pow10(a.scale * n));
}

// Plain decimal text without trailing zeros after the point: "-0.25", "64".
std::string ToText(const Decimal& value) {
  std::string digits = value.digits.ToString();
  if (value.scale > 0) {
    if (static_cast<int>(digits.size()) <= value.scale) {
      digits.insert(0, static_cast<std::size_t>(value.scale) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(value.scale), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return (value.negative ? "-" : "") + digits;
}

// Ordinary precedence, powers from the left, with "/" binding tighter than
// "*" (a*b/c is a*(b/c), the same number):
//   expression = term {("+" | "-") term}
//   term       = quotients {"*" quotients}
//   quotients  = power {"/" power}
//   power      = primary {"^" digit}
//   primary    = number | "(" expression ")"
// Where a quotient falls below 1e-9 its 18 decimal places keep fewer than 10
// significant digits, so which product or quotient is rounded decides the
// ninth digit: left to right, 3 or 4 of 20,000 formulas differ by more than
// 1e-9 (and 0*5/0 divides zero by zero, where the engine divides 5 by zero).
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Decimal Formula() {
    Decimal value = Expression();
    if (at_ != text_.size()) throw std::invalid_argument("not a generated formula: " + std::string(text_));
    return value;
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  Decimal Expression() {
    Decimal value = Term();
    while (Peek() == '+' || Peek() == '-') {
      const bool subtract = text_[at_++] == '-';
      value = Sum(value, Term(), subtract);
    }
    return value;
  }

  Decimal Term() {
    Decimal value = Quotients();
    while (Peek() == '*') {
      ++at_;
      value = Product(value, Quotients());
    }
    return value;
  }

  Decimal Quotients() {
    Decimal value = PowerOf();
    while (Peek() == '/') {
      ++at_;
      value = Quotient(value, PowerOf());
    }
    return value;
  }

  Decimal PowerOf() {
    Decimal value = Primary();
    while (Peek() == '^') {
      ++at_;
      const char digit = Peek();
      if (digit < '0' || digit > '3') throw std::invalid_argument("an exponent is one digit 0 to 3");
      ++at_;
      value = Power(value, digit - '0');
    }
    return value;
  }

  Decimal Primary() {
    if (Peek() == '(') {
      ++at_;
      Decimal value = Expression();
      if (Peek() != ')') throw std::invalid_argument("unclosed bracket");
      ++at_;
      return value;
    }
    std::string digits;
    int scale = 0;
    bool point = false;
    while ((Peek() >= '0' && Peek() <= '9') || (Peek() == '.' && !point)) {
      if (Peek() == '.') {
        point = true;
      } else {
        digits.push_back(Peek());
        if (point) ++scale;
      }
      ++at_;
    }
    if (digits.empty()) throw std::invalid_argument("a number expected");
    return {false, Natural::FromDigits(digits), scale};
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

int Below(std::mt19937_64& random, int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

// 0 to 999 with up to three decimals; small numbers more often.
std::string Number(std::mt19937_64& random) {
  static constexpr int kLimits[] = {10, 10, 10, 100, 100, 100, 1000};
  std::string text = std::to_string(Below(random, kLimits[Below(random, 7)]));
  if (Below(random, 2) == 0) {
    text += '.';
    for (int places = 1 + Below(random, 3); places > 0; --places) text += static_cast<char>('0' + Below(random, 10));
  }
  return text;
}

std::string Group(std::mt19937_64& random, int depth);

std::string Operand(std::mt19937_64& random, int depth) {
  if (depth < 3 && Below(random, 3) == 0) return "(" + Group(random, depth + 1) + ")";
  return Number(random);
}

std::string Group(std::mt19937_64& random, int depth) {
  const int operands = depth == 0 ? 2 + Below(random, 3) : 1 + Below(random, 4);
  std::string text = Operand(random, depth);
  for (int used = 1; used < operands; ++used) {
    // A bracket's value raised to a power is what signs used to get wrong.
    const char op = text.back() == ')' && Below(random, 5) < 2 ? '^' : "+-*/^-"[Below(random, 6)];
    text += op;
    text += op == '^' ? std::string(1, static_cast<char>('0' + Below(random, 4))) : Operand(random, depth);
  }
  return text;
}

}  // namespace

std::string RandomFormula(std::mt19937_64& random) {
  for (;;) {
    std::string formula = Group(random, 0);
    if (formula.size() <= 120) return formula;
  }
}

ExactValue Evaluate(std::string_view formula) {
  raisedNegative = false;
  try {
    const Decimal value = Parser(formula).Formula();
    return {Outcome::kValue, ToText(value), raisedNegative};
  } catch (const Failed& failed) {
    return {failed.outcome, {}, raisedNegative};
  }
}

Tally CompareWithCalculate(std::uint64_t seed, int count) {
  std::mt19937_64 random(seed);
  Tally tally;
  for (int i = 0; i < count; ++i) {
    const std::string formula = RandomFormula(random);
    const ExactValue exact = Evaluate(formula);
    if (exact.outcome == Outcome::kOutOfRange) {
      ++tally.outOfRange;
      continue;
    }
    MainState state;
    state.TypeInFormulaBox(FromUtf8(formula));
    const Effects effects = state.Calculate();
    const std::string answer = ToUtf8(state.answerLine());

    tally.negativePowers += exact.raisesNegative ? 1 : 0;
    bool agrees = false;
    switch (exact.outcome) {
      case Outcome::kDivisionByZero:
        agrees = effects.failure == Failure::DivisionByZero && answer == "文法エラー！0で除算";
        tally.divisionsByZero += agrees ? 1 : 0;
        break;
      case Outcome::kZeroByZero:  // silent: the answer line keeps the provisional answer
        agrees = effects.failure == Failure::Other && !effects.beep;
        tally.zeroByZero += agrees ? 1 : 0;
        break;
      case Outcome::kValue: {
        const double expected = std::strtod(exact.decimal.c_str(), nullptr);
        const std::optional<double> value = ReadNumber(state.resultText());
        agrees = !effects.failure && value && std::fabs(*value - expected) <= 1e-9 * std::fabs(expected) &&
                 state.answerLine() == NumberText(*value, kAnswerPattern);
        tally.values += agrees ? 1 : 0;
        break;
      }
      case Outcome::kOutOfRange: break;
    }
    if (!agrees) {
      const char* kinds[] = {"", "division by zero", "zero divided by zero", ""};
      std::string difference = formula;
      difference += "  exact: " + exact.decimal + kinds[static_cast<int>(exact.outcome)];
      difference += "  answer line: " + answer;
      tally.differences.push_back(std::move(difference));
    }
  }
  return tally;
}

}  // namespace suusiki::exact
