// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command against exact decimal arithmetic on random formulas
// (bench/exact_check.cpp runs the same comparison on 20,000 of them).
#include "tests/engine/exact_arithmetic.h"

#include <gtest/gtest.h>

namespace suusiki::exact {
namespace {

TEST(ExactArithmeticTest, TheEvaluatorRoundsEachResultAsTheNumberTextDoes) {
  const struct {
    const char* formula;
    Outcome outcome;
    const char* decimal;
  } cases[] = {
      {"1/3", Outcome::kValue, "0.333333333333333"},
      {"2/3", Outcome::kValue, "0.666666666666667"},
      {"1/3*3", Outcome::kValue, "0.999999999999999"},
      // 15 significant digits first, then 18 decimal places.
      {"1/7/1000000", Outcome::kValue, "0.000000142857142857"},
      {"1/1000000000/1000000000/10", Outcome::kValue, "0"},
      {"2^3^2", Outcome::kValue, "64"},
      {"(0-2)^3", Outcome::kValue, "-8"},
      {"(1-3)^2+(2-5)^2", Outcome::kValue, "13"},
      {"7-3+2", Outcome::kValue, "6"},
      {"8/2*4", Outcome::kValue, "16"},
      {"0.1+0.2", Outcome::kValue, "0.3"},
      {"2.5^0", Outcome::kValue, "1"},
      {"5/(2-2)", Outcome::kDivisionByZero, ""},
      {"(2-2)/0", Outcome::kZeroByZero, ""},
      {"999^3^2", Outcome::kOutOfRange, ""},
  };
  for (const auto& c : cases) {
    const ExactValue value = Evaluate(c.formula);
    EXPECT_EQ(value.outcome, c.outcome) << c.formula;
    EXPECT_EQ(value.decimal, c.decimal) << c.formula;
  }
}

// A thousand formulas: with these, an engine that took a bracket's negative
// value for a subtraction gets at least one wrong.
TEST(ExactArithmeticTest, RandomFormulasAgreeWithExactArithmetic) {
  const Tally tally = CompareWithCalculate(15, 1000);
  for (const std::string& difference : tally.differences) ADD_FAILURE() << difference;
  // Mostly numbers, many of them through negative values raised to a power.
  EXPECT_GT(tally.values, 900);
  EXPECT_GT(tally.negativePowers, 80);
  EXPECT_GT(tally.divisionsByZero, 0);
  EXPECT_LT(tally.outOfRange, 60);
}

}  // namespace
}  // namespace suusiki::exact
