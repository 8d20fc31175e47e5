// SPDX-License-Identifier: GPL-3.0-or-later
// The big decimal numbers of the exact evaluator, and the operations of the
// reduction on them, each result rounded as the reduction rounds it: 15
// significant digits, halves away from zero, at any magnitude.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/engine/exact_arithmetic.h"

namespace suusiki::exact {

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

// Plain decimal text without trailing zeros after the point ("-0.25", "64"),
// or a mantissa and an exponent below 1e-9 and from 1e21 on ("3.5e-19").
std::string ToText(const Decimal& value);

// The operations on values, one at a time. Each result carries a bound of how
// far the engine's value may lie from it. The engine reads its operands' digits
// into doubles and rounds each result to a double before it cuts it to 15
// digits: where those roundings may cut the digits the other way, the two
// values differ by a unit of the 15th digit, and where a sum cancels most
// digits of its operands, by their binary errors. A calculation on whose way
// the bound grows past kUncertain is uncertain, and so is one whose value may
// lie on either side of 1e99 or of the double range. A failure throws Failed.
class Arithmetic {
 public:
  Decimal Product(const Decimal& a, const Decimal& b);
  Decimal Quotient(const Decimal& a, const Decimal& b);
  Decimal Sum(const Decimal& a, Decimal b, bool subtract);
  Decimal Power(const Decimal& a, int k);
  Decimal ExpOf(const Decimal& argument);
  // Abs, and Int or Fix (toward zero), which the engine works out exactly on
  // its double and cuts to 15 digits; its Int and Fix differ where a whole
  // number lies within the value's error.
  Decimal AbsOf(const Decimal& argument);
  Decimal WholeOf(const Decimal& argument, bool towardZero);

  bool raisedNegative = false;  // a negative value was raised to a power
  bool uncertain = false;       // see above: the engine may come to another outcome

 private:
  Decimal Zero(double error);
  Decimal Rounded(bool negative, const Natural& p, const Natural& q, double error);
};

}  // namespace suusiki::exact
