// SPDX-License-Identifier: GPL-3.0-or-later
#include "soroban/decimal.h"

#include <algorithm>
#include <cstddef>

namespace suusiki::soroban {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whole numbers as digit strings without leading zeros ("" is zero).
std::string StripLeadingZeros(std::string digits) {
  const auto first = digits.find_first_not_of('0');
  digits.erase(0, first == std::string::npos ? digits.size() : first);
  return digits;
}

int CompareWhole(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// a − b for a ≥ b.
std::string SubtractWhole(const std::string& a, const std::string& b) {
  std::string result = a;
  int borrow = 0;
  for (std::size_t i = 0; i < result.size(); ++i) {
    const std::size_t ai = result.size() - 1 - i;
    int digit = (result[ai] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
    borrow = digit < 0 ? 1 : 0;
    result[ai] = static_cast<char>('0' + digit + 10 * borrow);
  }
  return StripLeadingZeros(result);
}

// Whole digits of the quotient of `numerator` by `divisor` (not zero); *rest
// receives the remainder.
std::string DivideWhole(const std::string& numerator, const std::string& divisor, std::string* rest) {
  std::string quotient;
  std::string remainder;
  for (char digit : numerator) {
    remainder += digit;
    remainder = StripLeadingZeros(remainder);
    char count = '0';
    while (CompareWhole(remainder, divisor) >= 0) {
      remainder = SubtractWhole(remainder, divisor);
      ++count;
    }
    quotient += count;
  }
  *rest = remainder;
  return StripLeadingZeros(quotient);
}

}  // namespace

Decimal Decimal::Of(std::string digits, int decimals) {
  while (decimals > 0 && !digits.empty() && digits.back() == '0') {
    digits.pop_back();
    --decimals;
  }
  Decimal d;
  d.digits = StripLeadingZeros(std::move(digits));
  d.decimals = d.digits.empty() ? 0 : decimals;
  return d;
}

int Decimal::WholeDigits() const { return std::max(0, static_cast<int>(digits.size()) - decimals); }

int Decimal::DigitAt(int place) const {
  const long index = static_cast<long>(digits.size()) - 1 - decimals - place;
  if (index < 0 || index >= static_cast<long>(digits.size())) return 0;
  return digits[static_cast<std::size_t>(index)] - '0';
}

std::string Decimal::Text() const {
  if (IsZero()) return "0";
  const int whole = WholeDigits();
  std::string text = whole > 0 ? digits.substr(0, static_cast<std::size_t>(whole)) : "0";
  if (decimals > 0) {
    text += '.';
    text += std::string(static_cast<std::size_t>(std::max(0, decimals - static_cast<int>(digits.size()))), '0');
    text += digits.substr(static_cast<std::size_t>(whole));
  }
  return text;
}

std::string Decimal::GroupedText() const {
  const std::string plain = Text();
  const auto point = std::min(plain.find('.'), plain.size());
  std::string grouped;
  for (std::size_t i = 0; i < point; ++i) {
    if (i > 0 && (point - i) % 3 == 0) grouped += ',';
    grouped += plain[i];
  }
  return grouped + plain.substr(point);
}

int Compare(const Decimal& a, const Decimal& b) {
  const int scale = std::max(a.decimals, b.decimals);
  if (a.IsZero() || b.IsZero()) return (a.IsZero() ? 0 : 1) - (b.IsZero() ? 0 : 1);
  return CompareWhole(a.digits + std::string(static_cast<std::size_t>(scale - a.decimals), '0'),
                      b.digits + std::string(static_cast<std::size_t>(scale - b.decimals), '0'));
}

ReadResult ReadDecimal(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  ReadResult notANumber{Problem::NotANumber, {}};

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const auto point = text.find('.');
  std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return notANumber;

  // Commas only between groups of three: "1,234" but neither "1,2" nor ",123".
  std::string digits;
  if (whole.find(',') != std::string_view::npos) {
    std::size_t group = 0;
    bool first = true;
    for (std::size_t i = 0; i <= whole.size(); ++i) {
      if (i == whole.size() || whole[i] == ',') {
        if (group == 0 || group > 3 || (!first && group != 3)) return notANumber;
        first = false;
        group = 0;
      } else {
        ++group;
      }
    }
  }
  for (char c : whole) {
    if (c == ',') continue;
    if (!IsDigit(c)) return notANumber;
    digits += c;
  }
  for (char c : fraction) {
    if (!IsDigit(c)) return notANumber;
    digits += c;
  }
  ReadResult result{Problem::None, Decimal::Of(std::move(digits), static_cast<int>(fraction.size()))};
  if (negative && !result.value.IsZero()) return {Problem::BelowZero, {}};
  return result;
}

Decimal Multiply(const Decimal& a, const Decimal& b) {
  if (a.IsZero() || b.IsZero()) return {};
  std::string product(a.digits.size() + b.digits.size(), '0');
  for (std::size_t i = a.digits.size(); i-- > 0;) {
    int carry = 0;
    for (std::size_t j = b.digits.size(); j-- > 0;) {
      const std::size_t at = i + j + 1;
      const int sum = (product[at] - '0') + (a.digits[i] - '0') * (b.digits[j] - '0') + carry;
      product[at] = static_cast<char>('0' + sum % 10);
      carry = sum / 10;
    }
    product[i] = static_cast<char>(product[i] + carry);
  }
  return Decimal::Of(std::move(product), a.decimals + b.decimals);
}

Decimal Cut(const Decimal& a, int decimals, bool* exact) {
  decimals = std::max(0, decimals);
  *exact = a.decimals <= decimals;
  if (*exact) return a;
  const std::size_t drop = static_cast<std::size_t>(a.decimals - decimals);
  if (drop >= a.digits.size()) return {};
  return Decimal::Of(a.digits.substr(0, a.digits.size() - drop), decimals);
}

Decimal Divide(const Decimal& a, const Decimal& b, int decimals, bool* exact) {
  decimals = std::max(0, decimals);
  // a ÷ b = (A / 10^sa) ÷ (B / 10^sb); its first `decimals` decimals are the
  // whole quotient of A × 10^(sb + decimals) by B × 10^sa.
  const std::string numerator = a.digits + std::string(static_cast<std::size_t>(b.decimals + decimals), '0');
  const std::string divisor = b.digits + std::string(static_cast<std::size_t>(a.decimals), '0');
  std::string rest;
  std::string quotient = DivideWhole(numerator, divisor, &rest);
  *exact = rest.empty();
  return Decimal::Of(std::move(quotient), decimals);
}

}  // namespace suusiki::soroban
