// SPDX-License-Identifier: GPL-3.0-or-later
// Random formulas checked against exact decimal arithmetic.
//
// The generator writes formulas of decimals, "+ - * / ^" and brackets, with
// whole powers 0 to 3 and no minus typed before a number, so negative values
// only come from subtractions inside brackets. The exact evaluator reads them
// on big decimal numbers with ordinary precedence (powers from the left, then
// "/" and "*", then "+" and "-" from the left) and rounds each operation's
// result the way the number text of the reduction does: 15 significant digits,
// then at most 18 decimal places, halves away from zero. The calculate command
// takes every "+" before any "-", which only moves roundings around, so the two
// agree within the relative 1e-9 that the comparison allows.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace suusiki::exact {

// At most four operands (powers' exponents included) stand in any one bracket
// level. With every value below 1e15 a reduced group's text then stays well
// below the 100-character limit: four value texts of at most 21 characters.
std::string RandomFormula(std::mt19937_64& random);

enum class Outcome {
  kValue,           // a number
  kDivisionByZero,  // a non-zero number divided by zero
  kZeroByZero,      // zero divided by zero: a silent failure
  kOutOfRange,      // a value of 1e15 or more on the way: not compared
};

struct ExactValue {
  Outcome outcome = Outcome::kValue;
  std::string decimal;          // the value as plain decimal text, when there is one
  bool raisesNegative = false;  // a negative number is raised to a power on the way
};

// The value of a formula in the generator's grammar.
ExactValue Evaluate(std::string_view formula);

// The generated formulas compared with the calculate command.
struct Tally {
  int values = 0;                        // numbers that agree
  int divisionsByZero = 0;               // "0で除算" where exact arithmetic divides by zero
  int zeroByZero = 0;                    // silent failures where it divides zero by zero
  int outOfRange = 0;                    // formulas skipped for a value of 1e15 or more
  int negativePowers = 0;                // compared formulas that raise a negative value to a power
  std::vector<std::string> differences;  // formula, exact value and the engine's answer
};

// Compares `count` formulas from a generator seeded with `seed`.
Tally CompareWithCalculate(std::uint64_t seed, int count);

}  // namespace suusiki::exact
