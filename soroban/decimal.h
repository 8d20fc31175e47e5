// SPDX-License-Identifier: GPL-3.0-or-later
// Non-negative decimal numbers held as strings of digits. The rods of the
// soroban hold more digits than a double, so nothing here passes through
// binary floating point: reading, multiplying and dividing are exact.
#pragma once

#include <string>
#include <string_view>

namespace suusiki::soroban {

// Why a number was refused, by the reader, the board or an operation.
enum class Problem {
  None,
  NotANumber,
  BelowZero,        // a negative number, or a difference below zero
  TooManyDigits,    // more whole digits than the rods left of the decimals
  TooManyDecimals,  // more decimals than the rods right of the unit rod
  TooLarge,         // a sum or a product beyond the leftmost rod
  DivisionByZero,
};

// digits × 10^−decimals. Always normalised: no leading zeros, no trailing zeros
// among the decimals; zero has no digits and no decimals.
struct Decimal {
  std::string digits;
  int decimals = 0;

  // Normalises `digits` (ASCII digits only) scaled by 10^−decimals.
  static Decimal Of(std::string digits, int decimals);

  bool IsZero() const { return digits.empty(); }
  // How many digits stand before the point (0 for 0.5).
  int WholeDigits() const;
  // The digit at 10^place; 0 beyond the number.
  int DigitAt(int place) const;
  // "1234.5", "0.001", "0": no grouping, no trailing point.
  std::string Text() const;
  // "1,234.5": commas between groups of three whole digits.
  std::string GroupedText() const;

  bool operator==(const Decimal&) const = default;
};

// −1, 0 or 1 as a is less than, equal to or greater than b.
int Compare(const Decimal& a, const Decimal& b);

struct ReadResult {
  Problem problem = Problem::None;  // None, NotANumber or BelowZero
  Decimal value;
};

// Reads a number as people write it and as the calculator's answer line shows
// it: blanks around it, a sign, commas between groups of three whole digits, a
// trailing point ("-3.", "1,234.5", " 0.25 "). No exponents. A minus sign on a
// number other than zero is Problem::BelowZero.
ReadResult ReadDecimal(std::string_view text);

// The exact product.
Decimal Multiply(const Decimal& a, const Decimal& b);

// a cut (towards zero) to at most `decimals` decimals; *exact tells whether
// nothing was cut.
Decimal Cut(const Decimal& a, int decimals, bool* exact);

// a ÷ b cut to at most `decimals` decimals; *exact tells whether the quotient
// ends there. b must not be zero.
Decimal Divide(const Decimal& a, const Decimal& b, int decimals, bool* exact);

}  // namespace suusiki::soroban
