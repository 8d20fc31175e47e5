// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command against exact decimal arithmetic on random formulas
// (bench/exact_check.cpp runs the same comparison on 20,000 of each mode).
#include "tests/engine/exact_arithmetic.h"

#include <gtest/gtest.h>

namespace suusiki::exact {
namespace {

TEST(ExactArithmeticTest, TheEvaluatorRoundsEachResultAsTheNumberTextDoes) {
  const struct {
    const char* formula;
    Outcome outcome;
    const char* decimal;
    bool uncertain = false;
    Definitions definitions = {};
  } cases[] = {
      {"1/3", Outcome::Value, "0.333333333333333"},
      {"2/3", Outcome::Value, "0.666666666666667"},
      {"1/3*3", Outcome::Value, "0.999999999999999"},
      // 15 significant digits at any magnitude, no cut of decimal places.
      {"1/7/1000000", Outcome::Value, "0.000000142857142857143"},
      {"1/1000000000/1000000000/10", Outcome::Value, "1e-19"},
      {"1/3/10^30", Outcome::Value, "3.33333333333333e-31"},
      {"1/10^20*10^20", Outcome::Value, "1"},
      {"6.62607015*10^-34*299792458/(500*10^-9)", Outcome::Value, "3.97289171429786e-19"},
      {"999^3^2", Outcome::Value, "994014980014994000"},
      {"10^98*9.99", Outcome::Value, "9.99e98"},
      {"10^-300", Outcome::Value, "1e-300"},
      {"2^3^2", Outcome::Value, "64"},
      {"10^-5^2", Outcome::Value, "1e-10"},
      {"2^-3", Outcome::Value, "0.125"},
      {"(0-2)^-3", Outcome::Value, "-0.125"},
      {"(0-2)^3", Outcome::Value, "-8"},
      {"(1-3)^2+(2-5)^2", Outcome::Value, "13"},
      // Every "+" first, with the signed term before it, then every "-".
      {"7-3+2", Outcome::Value, "6"},
      {"10^50-10^50+1", Outcome::Value, "0"},
      {"1-10^20+10^20", Outcome::Value, "1"},
      {"10^15-1+2+4", Outcome::Value, "1000000000000000"},
      {"8/2*4", Outcome::Value, "16"},
      {"0.1+0.2", Outcome::Value, "0.3"},
      {"0.1+0.2-0.3", Outcome::Value, "0"},
      {"2.5^0", Outcome::Value, "1"},
      {"Exp(0-50)", Outcome::Value, "1.92874984796392e-22"},
      {"Exp(1)^2", Outcome::Value, "7.38905609893068"},
      {"Int(0-2.5)+Fix(0-2.5)*10+Abs(0-2.5)*100", Outcome::Value, "227"},
      {"INT(2.5)-fix(0-1/3*3)+Int(0-1/3*3)", Outcome::Value, "1"},
      // A minus at the start takes the first power of its operand's signed
      // value, whatever the operand, and the minuses there cancel in pairs.
      {"-(0-2)^2", Outcome::Value, "-4"},
      {"-(0-2)^3", Outcome::Value, "8"},
      {"-(0-2)^-1", Outcome::Value, "0.5"},
      {"-(3)", Outcome::Value, "-3"},
      {"-(0-2)", Outcome::Value, "2"},
      {"--(0-2)^2", Outcome::Value, "4"},
      {"---(0-2)^2", Outcome::Value, "-4"},
      {"-(0-2)^2*3", Outcome::Value, "-12"},
      {"-(1-3)^2+5", Outcome::Value, "1"},
      {"-(2)^2-1", Outcome::Value, "-5"},
      {"-(0-2)^3-(0-3)^3", Outcome::Value, "35"},
      {"-Int(0-2.5)^2", Outcome::Value, "-9"},
      {"--Int(0-2.5)^2", Outcome::Value, "9"},
      {"-Abs(1-3)^2/4", Outcome::Value, "-1"},
      {"-Fix(0-7.5)", Outcome::Value, "7"},
      {"--Int(2-7.25)^3-1", Outcome::Value, "-217"},
      {"-B^2+1", Outcome::Value, "-8", false, {"0-3"}},
      {"--b^3*C", Outcome::Value, "-54", false, {"0-3", "2"}},
      {"-C^2+1", Outcome::Value, "1"},  // an empty definition is 0
      // What is left of a cancelling sum is the binary error of its operands.
      {"1/3*3-1", Outcome::Value, "-1e-15", true},
      {"3.00000000000001*5-15.0000000000001", Outcome::Value, "0", true},  // the product is a half
      {"Int(0.599999999999999*5)", Outcome::Value, "3", true},             // the engine's may be 2.99999999999999
      {"1/3-1/3", Outcome::Value, "0"},
      {"5/(2-2)", Outcome::DivisionByZero, ""},
      {"(2-2)/0", Outcome::DivisionByZero, ""},
      {"0^-2", Outcome::DivisionByZero, ""},
      {"10^98*10", Outcome::TooLarge, ""},
      {"10^300", Outcome::TooLarge, ""},
      {"10^400", Outcome::Overflow, ""},
      {"(10^98)^4", Outcome::Overflow, ""},
      // The first failure in the engine's order: powers, then calls first.
      {"1/0+10^400", Outcome::Overflow, ""},
      {"(1/0)+10^400", Outcome::DivisionByZero, ""},
      {"1/0+Exp(1000)", Outcome::Overflow, ""},
      {"10^-301", Outcome::OutOfRange, ""},
      {"Exp(0-800)", Outcome::OutOfRange, ""},
      // The limits, and values within the engine's binary error of them.
      {"9999999999999.99*10^86", Outcome::Value, "9.99999999999999e98"},
      {"9.999999999999995*10^98", Outcome::OutOfRange, ""},
      {"17976931348623/10^-295", Outcome::TooLarge, ""},
      {"17976931348624/10^-295", Outcome::Overflow, ""},
      {"17976931348623158/10^-292", Outcome::OutOfRange, ""},
      {"2*-3", Outcome::NotAFormula, ""},
      {"Sin(30)", Outcome::NotAFormula, ""},
      {"2^0.5", Outcome::NotAFormula, ""},
      {"2^99999999999", Outcome::NotAFormula, ""},
      {"(1+2", Outcome::NotAFormula, ""},
      {"-Abs(-2)", Outcome::NotAFormula, ""},
      {"A+1", Outcome::NotAFormula, ""},
      {"-B", Outcome::NotAFormula, "", false, {"C"}},
      // Six quotients of 17 characters: the engine's 100-character limit.
      {"1/3+1/7+1/9+1/11+1/13+1/17", Outcome::NotAFormula, ""},
  };
  for (const auto& c : cases) {
    const ExactValue value = Evaluate(c.formula, c.definitions);
    EXPECT_EQ(value.outcome, c.outcome) << c.formula;
    EXPECT_EQ(value.decimal, c.decimal) << c.formula;
    EXPECT_EQ(value.uncertain, c.uncertain) << c.formula;
  }
}

// A thousand formulas of each mode: with the plain ones, an engine that took
// a bracket's negative value for a subtraction gets at least one wrong; the
// magnitudes ones reach far below 1e-9, 1e99 and beyond the range of a
// double, and an engine that added from the left gets more than a dozen
// wrong; of the leading-minus ones, an engine that negated the first operand
// before its power gets a fifth wrong.
TEST(ExactArithmeticTest, RandomFormulasAgreeWithExactArithmetic) {
  const struct {
    Mode mode;
    int values;
    int negativePowers;
    int tinyValues;
    int tooLarge;
    int skipped;
    int negatedNegatives;
  } cases[] = {
      {Mode::Plain, 900, 80, 0, 0, 60, 0},
      {Mode::Magnitudes, 800, 20, 150, 50, 30, 0},
      {Mode::LeadingMinus, 900, 300, 0, 0, 30, 150},
  };
  for (const auto& c : cases) {
    const Tally tally = CompareWithCalculate(15, 1000, c.mode);
    for (const std::string& difference : tally.differences) ADD_FAILURE() << difference;
    EXPECT_GT(tally.values, c.values);
    EXPECT_GT(tally.negativePowers, c.negativePowers);
    EXPECT_GE(tally.tinyValues, c.tinyValues);
    EXPECT_GE(tally.tooLarge + tally.overflows, c.tooLarge);
    EXPECT_GT(tally.divisionsByZero, 0);
    EXPECT_LT(tally.outOfRange + tally.uncertain, c.skipped);
    EXPECT_GE(tally.negatedNegatives, c.negatedNegatives);
  }
}

}  // namespace
}  // namespace suusiki::exact
