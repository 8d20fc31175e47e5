// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/exact_arithmetic.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <utility>

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
  // log10 of the number (not zero), to about 15 digits.
  double Log10() const {
    const std::size_t n = limbs_.size();
    double top = limbs_[n - 1];
    if (n > 1) top = top * kBase + limbs_[n - 2];
    return std::log10(top) + 9.0 * static_cast<double>(n > 1 ? n - 2 : 0);
  }
  // The value of a number below 10^18.
  std::uint64_t Small() const {
    std::uint64_t value = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) value = value * kBase + limbs_[i];
    return value;
  }
  std::uint32_t LowestDigit() const { return limbs_.empty() ? 0 : limbs_.front() % 10; }

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

  // The quotient by a small divisor, and the remainder.
  Natural DividedBy(std::uint32_t divisor, std::uint32_t& remainder) const {
    Natural quotient;
    quotient.limbs_.resize(limbs_.size());
    std::uint64_t carry = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      carry = carry * kBase + limbs_[i];
      quotient.limbs_[i] = static_cast<std::uint32_t>(carry / divisor);
      carry %= divisor;
    }
    remainder = static_cast<std::uint32_t>(carry);
    quotient.Trim();
    return quotient;
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

  static Natural Raised(Natural base, int n) {
    Natural power(1);
    for (;;) {
      if (n % 2 == 1) power = power * base;
      n /= 2;
      if (n == 0) return power;
      base = base * base;
    }
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
      if (Compare(remainder, b) < 0) continue;  // a zero limb, found at once
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
  // A bound of the relative difference between the engine's value, worked
  // out in binary, and this one: 0 where the engine writes the same digits,
  // infinity for a zero that the engine may see as a tiny number.
  double error = 0;
};

struct Failed {
  Outcome outcome;
};

// The relative error of a double's rounding, and of reading a decimal into one.
constexpr double kUnit = DBL_EPSILON / 2;
// A value whose error bound grows past this is not compared.
constexpr double kUncertain = 1e-10;
// 2^1024 - 2^970, the least value that a double's rounding makes infinite,
// as 18 digits from 10^308 on: 1.797693134862315807... x 10^308.
constexpr std::uint64_t kDoubleLimit = 179769313486231581;
// 1e99 less half a unit of the 15th digit: the least value cut to 1e99, as 18
// digits from 10^98 on.
constexpr std::uint64_t kTooLargeLimit = 999999999999999500;
// The longest text of a value in a group: a sign, 15 digits, the point, an
// exponent of up to three digits and its marker, and a "+" that keeps the
// value apart from the number before it.
constexpr int kValueLength = 22;
// The engine ends the command when a group's text grows past this.
constexpr int kMaxGroupLength = 100;
constexpr std::size_t kMaxFormulaLength = 400;

// Whether a double holds the value exactly: 5^scale divides the digits and
// leaves an odd factor below 2^53.
bool Binary(const Decimal& value) {
  Natural n = value.digits;
  int scale = value.scale;
  std::uint32_t rest = 0;
  for (; scale > 0 && !n.IsZero() && n.LowestDigit() == 0; --scale) n = n.DividedBy(10, rest);
  if (n.IsZero()) return true;
  for (; scale > 0; --scale) {
    const Natural fifth = n.DividedBy(5, rest);
    if (rest != 0) return false;
    n = fifth;
  }
  while (n.DigitCount() > 16) {
    const Natural half = n.DividedBy(2, rest);
    if (rest != 0) return false;
    n = half;
  }
  while (n.LowestDigit() % 2 == 0) n = n.DividedBy(2, rest);
  return n.Small() < (std::uint64_t{1} << DBL_MANT_DIG);
}

// An operand's error once the engine reads it as a double.
double ReadError(const Decimal& value) { return value.error + (Binary(value) ? 0 : kUnit); }

// Plain decimal text without trailing zeros after the point ("-0.25", "64"),
// or a mantissa and an exponent below 1e-9 and from 1e21 on ("3.5e-19").
std::string ToText(const Decimal& value) {
  std::string digits = value.digits.ToString();
  if (value.digits.IsZero()) return "0";
  const std::string sign = value.negative ? "-" : "";
  const int exponent = static_cast<int>(digits.size()) - 1 - value.scale;
  if (exponent < -9 || exponent >= 21) {
    while (digits.back() == '0') digits.pop_back();
    if (digits.size() > 1) digits.insert(1, ".");
    return sign + digits + "e" + std::to_string(exponent);
  }
  if (value.scale > 0) {
    if (static_cast<int>(digits.size()) <= value.scale) {
      digits.insert(0, static_cast<std::size_t>(value.scale) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(value.scale), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return sign + digits;
}

// A formula read into its bracket levels. A chain is a number, a bracket or a
// call with the powers taken of it.
struct Chain {
  enum class Kind { kNumber, kGroup, kCall };
  Kind kind = Kind::kNumber;
  Decimal number;  // a number's value; a call's value once it is worked out
  int level = -1;  // the level in a bracket's or a call's brackets
  std::vector<int> exponents;
};

struct Level {
  std::vector<Chain> chains;
  std::string operators;  // operators[i] stands between chains[i] and chains[i + 1]
};

struct CallAt {
  std::size_t position;  // where its name starts in the formula
  int level;             // the level whose chain it is
  std::size_t chain;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // False when the text is not a formula of the grammar.
  bool Parse() { return text_.size() <= kMaxFormulaLength && ParseLevel() == 0 && at_ == text_.size(); }

  std::vector<Level> levels;
  std::vector<CallAt> calls;

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  bool AtExp() const {
    if (at_ + 4 > text_.size() || text_[at_ + 3] != '(') return false;
    const auto lower = [this](std::size_t i) { return static_cast<char>(std::tolower(text_[i])); };
    return lower(at_) == 'e' && lower(at_ + 1) == 'x' && lower(at_ + 2) == 'p';
  }

  // The index of the level, or -1. A group's text, as its operations rewrite
  // it, never grows past its chains' weights and operators: a value replaces
  // two chains or more, or one whose powers it took.
  int ParseLevel() {
    const int index = static_cast<int>(levels.size());
    levels.emplace_back();
    int length = 0;
    for (;;) {
      Chain chain;
      int weight = 0;
      if (!ParseChain(index, chain, weight)) return -1;
      levels[index].chains.push_back(std::move(chain));
      length += weight;
      const char c = Peek();
      if (c != '+' && c != '-' && c != '*' && c != '/') break;
      levels[index].operators.push_back(c);
      ++length;
      ++at_;
    }
    return length <= kMaxGroupLength ? index : -1;
  }

  bool ParseChain(int index, Chain& chain, int& weight) {
    int typed = 0;  // the chain's text with a value for a bracket or a call
    if (Peek() == '(' || AtExp()) {
      if (Peek() == '(') {
        chain.kind = Chain::Kind::kGroup;
      } else {
        chain.kind = Chain::Kind::kCall;
        calls.push_back({at_, index, levels[index].chains.size()});
        at_ += 3;
      }
      ++at_;
      chain.level = ParseLevel();
      if (chain.level < 0 || Peek() != ')') return false;
      ++at_;
      typed = kValueLength;
    } else if (!ParseNumber(chain.number, typed)) {
      return false;
    }
    int later = 0;  // the exponents after the first
    while (Peek() == '^') {
      const std::size_t start = at_++;
      const bool minus = Peek() == '-';
      if (minus) ++at_;
      int k = 0;
      int digits = 0;
      for (; Peek() >= '0' && Peek() <= '9' && digits <= 3; ++at_, ++digits) k = 10 * k + (Peek() - '0');
      if (digits == 0 || digits > 3) return false;
      later += chain.exponents.empty() ? 0 : static_cast<int>(at_ - start);
      typed += static_cast<int>(at_ - start);
      chain.exponents.push_back(minus ? -k : k);
    }
    // With powers, the value and the exponents still to take; a lone number
    // stays as typed, and one merged with others shares their value's length.
    if (!chain.exponents.empty()) {
      weight = std::max(typed, kValueLength + later);
    } else {
      weight = chain.kind == Chain::Kind::kNumber ? std::max(typed, kValueLength / 2) : kValueLength;
    }
    return true;
  }

  bool ParseNumber(Decimal& number, int& typed) {
    const std::size_t start = at_;
    std::string digits;
    bool point = false;
    while ((Peek() >= '0' && Peek() <= '9') || (Peek() == '.' && !point)) {
      if (Peek() == '.') {
        point = true;
      } else {
        digits.push_back(Peek());
        if (point) ++number.scale;
      }
      ++at_;
    }
    typed = static_cast<int>(at_ - start);
    if (digits.empty() || typed > 20) return false;
    number.digits = Natural::FromDigits(digits);
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// The calculate command's order: the calls from the rightmost (an inner call
// lies to the right of its outer one), then the groups from the innermost
// out, which is the order of their closing brackets; in each group every "^"
// from the left, then every "/", every "*", every "+" and every "-".
//
// Each result carries a bound of how far the engine's value may lie from it.
// The engine reads its operands' digits into doubles and rounds each result
// to a double before it cuts it to 15 digits: where those roundings may cut
// the digits the other way, the two values differ by a unit of the 15th
// digit, and where a sum cancels most digits of its operands, by their
// binary errors. A formula on whose way the bound grows past 1e-10 is
// uncertain, and so is one whose value may lie on either side of 1e99 or of
// the double range.
class Evaluator {
 public:
  explicit Evaluator(std::vector<Level>& levels) : levels_(levels) {}

  Decimal Formula(std::vector<CallAt> calls) {
    std::sort(calls.begin(), calls.end(), [](const CallAt& a, const CallAt& b) { return a.position > b.position; });
    for (const CallAt& call : calls) {
      Chain& chain = levels_[static_cast<std::size_t>(call.level)].chains[call.chain];
      chain.number = ExpOf(Reduce(chain.level));
    }
    return Reduce(0);
  }

  bool raisedNegative = false;
  bool uncertain = false;

 private:
  // A value of a group as its text holds it: the operator before it ('\0'
  // for the first) and the value with its own sign.
  struct Item {
    char before;
    Decimal value;
  };

  Decimal Reduce(int index) {
    const Level& level = levels_[static_cast<std::size_t>(index)];
    std::vector<Item> items;
    items.reserve(level.chains.size());
    for (std::size_t i = 0; i < level.chains.size(); ++i) {
      const Chain& chain = level.chains[i];
      items.push_back({i == 0 ? '\0' : level.operators[i - 1],
                       chain.kind == Chain::Kind::kGroup ? Reduce(chain.level) : chain.number});
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (int k : level.chains[i].exponents) items[i].value = Power(items[i].value, k);
    }
    Combine(items, '/');
    Combine(items, '*');
    Combine(items, '+');
    Decimal value = items.front().value;
    for (std::size_t i = 1; i < items.size(); ++i) value = Sum(value, items[i].value, true);
    return value;
  }

  // Every `op` from the left. Its left operand takes a "-" before it (a
  // subtraction is the addition of a negative number), and the result then
  // stands after a "-" when it is negative, after a "+" otherwise: so
  // a-b+c is a+(-b+c), and a "+" that follows is taken with a once more
  // when -b+c is not negative.
  void Combine(std::vector<Item>& items, char op) {
    for (std::size_t i = 1; i < items.size();) {
      if (items[i].before != op) {
        ++i;
        continue;
      }
      Item& left = items[i - 1];
      const bool takesMinus = left.before == '-';
      Decimal operand = left.value;
      if (takesMinus && !operand.digits.IsZero()) operand.negative = !operand.negative;
      Decimal value = op == '/'   ? Quotient(operand, items[i].value)
                      : op == '*' ? Product(operand, items[i].value)
                                  : Sum(operand, items[i].value, false);
      if (takesMinus) {
        left.before = value.negative ? '-' : '+';
        value.negative = false;
      }
      left.value = std::move(value);
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
      i = 1;
    }
  }

  // A zero result of an operation, as certain as the zero it came from.
  Decimal Zero(double error) {
    if (error > kUncertain) uncertain = true;
    return {false, Natural(), 0, error};
  }

  // The value p / q (not zero) as the reduction writes it: 15 significant
  // digits, halves away from zero, whatever its magnitude. The engine's
  // binary result lies within a relative `error` of p / q. A value of 1e99 or
  // more ends the calculation, and so does one beyond the double range.
  Decimal Rounded(bool negative, const Natural& p, const Natural& q, double error) {
    // 10^e <= p / q < 10^(e + 1)
    int e = p.DigitCount() - q.DigitCount();
    if (e >= 0 ? Compare(p, q * Natural::Pow10(e)) < 0 : Compare(p * Natural::Pow10(-e), q) < 0) --e;
    // p / q x 10^(17 - e) has 18 digits before the point: cut them, then
    // round the last three away from zero.
    const int shift = 17 - e;
    Natural eighteen;
    Natural rest;
    if (shift >= 0) {
      Natural::Divide(p * Natural::Pow10(shift), q, eighteen, rest);
    } else {
      Natural::Divide(p, q * Natural::Pow10(-shift), eighteen, rest);
    }
    const std::uint64_t cut = eighteen.Small();
    if (e < -300) throw Failed{Outcome::kOutOfRange};
    // The limits, where the engine's value may lie on the other side: 1e99 is
    // reached by the value cut to 15 digits, the double range is left by the
    // binary value itself.
    const double margin = error * 1e18 + 2;
    const auto distance = [cut](std::uint64_t limit) {
      return static_cast<double>(cut > limit ? cut - limit : limit - cut);
    };
    if ((e == 98 && distance(kTooLargeLimit) <= margin) || (e == 99 && distance(kTooLargeLimit / 10) <= margin / 10) ||
        (e == 308 && distance(kDoubleLimit) <= margin)) {
      throw Failed{Outcome::kOutOfRange};
    }
    if (e > 308 || (e == 308 && cut >= kDoubleLimit)) throw Failed{Outcome::kOverflow};
    std::uint64_t digits = (cut + 500) / 1000;
    if (digits == 1000000000000000) {  // 9.999999999999995 and up became 10
      digits /= 10;
      ++e;
    }
    if (e >= 99) throw Failed{Outcome::kTooLarge};
    // The engine cuts its binary value to the same digits unless it lies
    // nearer to the half between two of them than the error reaches.
    const std::uint64_t below = cut % 1000;
    const double half = below < 500 ? (499.0 - static_cast<double>(below)) / 1000 : (below - 500.0) / 1000;
    const double result = error == 0 || error * static_cast<double>(cut) / 1000 < half ? 0 : error + 1e-14;
    if (result > kUncertain) uncertain = true;
    int scale = 14 - e;
    Natural value(digits);
    if (scale < 0) {
      value = value * Natural::Pow10(-scale);
      scale = 0;
    }
    return {negative, value, scale, result};
  }

  Decimal Product(const Decimal& a, const Decimal& b) {
    if (a.digits.IsZero() || b.digits.IsZero()) {
      return Zero(std::max(a.digits.IsZero() ? a.error : 0, b.digits.IsZero() ? b.error : 0));
    }
    return Rounded(a.negative != b.negative, a.digits * b.digits, Natural::Pow10(a.scale + b.scale),
                   ReadError(a) + ReadError(b) + kUnit);
  }

  Decimal Quotient(const Decimal& a, const Decimal& b) {
    if (b.digits.IsZero()) {  // 0/0 as well
      if (b.error > 0) uncertain = true;
      throw Failed{Outcome::kDivisionByZero};
    }
    if (a.digits.IsZero()) return Zero(a.error);
    return Rounded(a.negative != b.negative, a.digits * Natural::Pow10(b.scale), b.digits * Natural::Pow10(a.scale),
                   ReadError(a) + ReadError(b) + kUnit);
  }

  Decimal Sum(const Decimal& a, Decimal b, bool subtract) {
    if (subtract) b.negative = !b.negative;
    const int scale = std::max(a.scale, b.scale);
    const Natural x = a.digits * Natural::Pow10(scale - a.scale);
    const Natural y = b.digits * Natural::Pow10(scale - b.scale);
    if (x.IsZero() || y.IsZero()) {
      if (x.IsZero() && y.IsZero()) return Zero(std::max(a.error, b.error));
      const Decimal& value = x.IsZero() ? b : a;
      return Rounded(value.negative, value.digits, Natural::Pow10(value.scale), ReadError(value) + kUnit);
    }
    if (a.negative == b.negative) {
      return Rounded(a.negative, x + y, Natural::Pow10(scale), std::max(ReadError(a), ReadError(b)) + kUnit);
    }
    const bool xLarger = Compare(x, y) >= 0;
    const Natural difference = xLarger ? x - y : y - x;
    // The same digits cancel to zero in the engine too; others leave their
    // binary errors, as large as the operands are against the difference.
    if (difference.IsZero()) return Zero(a.error == 0 && b.error == 0 ? 0 : HUGE_VAL);
    const double log = difference.Log10();
    const double error = std::pow(10.0, std::min(x.Log10() - log, 300.0)) * ReadError(a) +
                         std::pow(10.0, std::min(y.Log10() - log, 300.0)) * ReadError(b) + kUnit;
    return Rounded(xLarger ? a.negative : b.negative, difference, Natural::Pow10(scale), error);
  }

  // a^k for a whole k, rounded once: 1/a^-k for a negative k. The engine's
  // power of its binary operand multiplies the operand's error by |k|.
  Decimal Power(const Decimal& a, int k) {
    if (a.negative) raisedNegative = true;
    if (k == 0) return {false, Natural(1), 0, 0};
    if (a.digits.IsZero()) {
      if (k > 0) return Zero(a.error);
      if (a.error > 0) uncertain = true;
      throw Failed{Outcome::kDivisionByZero};
    }
    const int n = std::abs(k);
    // 10^(m - 1) <= |a| < 10^m; a^k far beyond either end is not worked out.
    const long long m = a.digits.DigitCount() - a.scale;
    const long long low = k > 0 ? n * (m - 1) : -n * m;
    const long long high = k > 0 ? n * m : -n * (m - 1);
    if (low >= 309) throw Failed{Outcome::kOverflow};
    if (high <= -301) throw Failed{Outcome::kOutOfRange};
    Natural p = Natural::Raised(a.digits, n);
    Natural q = Natural::Pow10(a.scale * n);
    if (k < 0) std::swap(p, q);
    return Rounded(a.negative && n % 2 == 1, p, q, n * ReadError(a) + 2 * kUnit);
  }

  // The value the engine gives Exp: the C library's exp of the argument read
  // as a double, that double's exact value cut to 15 digits.
  Decimal ExpOf(const Decimal& argument) {
    const double x = std::strtod(ToText(argument).c_str(), nullptr);
    const double y = std::exp(x);
    if (!std::isfinite(y)) throw Failed{Outcome::kOverflow};
    if (y < 1e-300) throw Failed{Outcome::kOutOfRange};  // 0 as well, where exp runs out of range
    int exponent = 0;
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(y, &exponent), DBL_MANT_DIG));
    exponent -= DBL_MANT_DIG;  // y = mantissa x 2^exponent
    Natural p(mantissa);
    Natural q(1);
    if (exponent >= 0) {
      p = p * Natural::Raised(Natural(2), exponent);
    } else {
      q = Natural::Raised(Natural(2), -exponent);
    }
    // The same argument gives the same double; another one, by its error
    // times the argument.
    double error = 0;
    if (std::isinf(argument.error)) {
      error = HUGE_VAL;
    } else if (argument.error > 0) {
      error = std::fabs(x) * (argument.error + 2 * kUnit) + 2 * kUnit;
    }
    return Rounded(false, p, q, error);
  }

  std::vector<Level>& levels_;
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

int Between(std::mt19937_64& random, int low, int high) { return low + Below(random, high - low + 1); }

std::string MagnitudeGroup(std::mt19937_64& random, int depth);

// An operand of the magnitudes mode: a number, a bracket (now and then raised
// to a power from -3 to 3), a factor far from 1, or a difference of two equal
// large terms.
std::string MagnitudeOperand(std::mt19937_64& random, int depth) {
  const int pick = Below(random, 10);
  if (depth < 3 && pick < 3) {
    std::string group = "(" + MagnitudeGroup(random, depth + 1) + ")";
    if (Below(random, 4) == 0) group += "^" + std::to_string(Between(random, -3, 3));
    return group;
  }
  switch (pick) {
    case 5: return "10^-" + std::to_string(Between(random, 1, 99));
    case 6: {
      // Now and then 1e99 or more, or beyond the range of a double.
      return "10^" + std::to_string(Below(random, 10) == 0 ? Between(random, 90, 420) : Between(random, 1, 60));
    }
    case 7: return "Exp(0-" + std::to_string(Between(random, 1, 400)) + ")";
    case 8: return Number(random) + "/10^" + std::to_string(Between(random, 1, 99));
    case 9: {
      // Equal large terms that cancel, next to others: the order of the sums shows.
      const std::string large =
          (Below(random, 2) == 0 ? Number(random) + "*" : "") + "10^" + std::to_string(Between(random, 15, 25));
      return large + "-" + large;
    }
    default: return Number(random);
  }
}

// One to five operands (two to five at the top); a formula whose group may
// grow past the engine's 100 characters is drawn again.
std::string MagnitudeGroup(std::mt19937_64& random, int depth) {
  const int operands = depth == 0 ? 2 + Below(random, 4) : 1 + Below(random, 5);
  std::string text = MagnitudeOperand(random, depth);
  for (int used = 1; used < operands; ++used) {
    text += "+-+-*/"[Below(random, 6)];
    text += MagnitudeOperand(random, depth);
  }
  return text;
}

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kValue: break;
    case Outcome::kDivisionByZero: return "division by zero";
    case Outcome::kTooLarge: return "1e99 or more";
    case Outcome::kOverflow: return "beyond the double range";
    case Outcome::kOutOfRange: return "out of range";
    case Outcome::kNotAFormula: return "not a formula";
  }
  return "";
}

}  // namespace

std::string RandomFormula(std::mt19937_64& random, Mode mode) {
  for (;;) {
    std::string formula = mode == Mode::kPlain ? Group(random, 0) : MagnitudeGroup(random, 0);
    if (formula.size() <= 120 && (mode == Mode::kPlain || Parser(formula).Parse())) return formula;
  }
}

ExactValue Evaluate(std::string_view formula) {
  Parser parser(formula);
  ExactValue exact;
  if (!parser.Parse()) {
    exact.outcome = Outcome::kNotAFormula;
    return exact;
  }
  Evaluator evaluator(parser.levels);
  try {
    exact.decimal = ToText(evaluator.Formula(parser.calls));
  } catch (const Failed& failed) {
    exact.outcome = failed.outcome;
  }
  exact.raisesNegative = evaluator.raisedNegative;
  exact.uncertain = evaluator.uncertain;
  return exact;
}

bool Compared(const ExactValue& exact) {
  return exact.outcome != Outcome::kOutOfRange && exact.outcome != Outcome::kNotAFormula && !exact.uncertain;
}

bool Agrees(const ExactValue& exact, const MainState& state, const Effects& effects) {
  const Text& answer = state.answerLine();
  switch (exact.outcome) {
    case Outcome::kValue: {
      const double expected = std::strtod(exact.decimal.c_str(), nullptr);
      const std::optional<double> value = ReadNumber(state.resultText());
      return !effects.failure && value && std::fabs(*value - expected) <= 1e-9 * std::fabs(expected) &&
             answer == AnswerText(*value);
    }
    case Outcome::kDivisionByZero:
      return effects.failure == Failure::DivisionByZero && effects.beep && answer == U"文法エラー！0で除算";
    case Outcome::kTooLarge: return effects.failure == Failure::Syntax && effects.beep && answer == U"文法エラー！";
    case Outcome::kOverflow:
      return effects.failure == Failure::Overflow && effects.beep && answer == U"文法エラー！桁あふれ";
    case Outcome::kOutOfRange:
    case Outcome::kNotAFormula: break;
  }
  return false;
}

std::string Difference(std::string_view formula, const ExactValue& exact, const MainState& state) {
  std::string text(formula);
  text += "  exact: ";
  text += exact.outcome == Outcome::kValue ? exact.decimal : OutcomeText(exact.outcome);
  text += "  answer line: " + ToUtf8(state.answerLine()) + "  result: " + ToUtf8(state.resultText());
  return text;
}

Tally CompareWithCalculate(std::uint64_t seed, int count, Mode mode) {
  std::mt19937_64 random(seed);
  Tally tally;
  for (int i = 0; i < count; ++i) {
    const std::string formula = RandomFormula(random, mode);
    const ExactValue exact = Evaluate(formula);
    MainState state;
    if (exact.outcome == Outcome::kNotAFormula) {
      tally.differences.push_back(Difference(formula, exact, state));
      continue;
    }
    if (!Compared(exact)) {
      ++(exact.outcome == Outcome::kOutOfRange ? tally.outOfRange : tally.uncertain);
      continue;
    }
    state.TypeInFormulaBox(FromUtf8(formula));
    const Effects effects = state.Calculate();
    tally.negativePowers += exact.raisesNegative ? 1 : 0;
    if (!Agrees(exact, state, effects)) {
      tally.differences.push_back(Difference(formula, exact, state));
      continue;
    }
    switch (exact.outcome) {
      case Outcome::kValue: {
        ++tally.values;
        const double value = std::fabs(std::strtod(exact.decimal.c_str(), nullptr));
        tally.tinyValues += value > 0 && value < 1e-9 ? 1 : 0;
        break;
      }
      case Outcome::kDivisionByZero: ++tally.divisionsByZero; break;
      case Outcome::kTooLarge: ++tally.tooLarge; break;
      case Outcome::kOverflow: ++tally.overflows; break;
      case Outcome::kOutOfRange:
      case Outcome::kNotAFormula: break;
    }
  }
  return tally;
}

}  // namespace suusiki::exact
