// SPDX-License-Identifier: GPL-3.0-or-later
// Exact decimal numbers: reading what people and the calculator's answer line
// write, and products and quotients beyond the digits of a double.
#include "soroban/decimal.h"

#include <gtest/gtest.h>

#include <string>

namespace suusiki::soroban {
namespace {

Decimal Number(const std::string& text) {
  const ReadResult read = ReadDecimal(text);
  EXPECT_EQ(read.problem, Problem::None) << text;
  return read.value;
}

TEST(DecimalTest, ReadsNumbersAsWrittenAndRefusesTheRest) {
  const struct {
    const char* text;
    Problem problem;
    const char* value;  // Text() when read
  } cases[] = {
      {"1,234.5 ", Problem::None, "1234.5"},  // the answer line, trailing space and all
      {"3.", Problem::None, "3"},
      {"0.333333333333333", Problem::None, "0.333333333333333"},
      {"12,345,678", Problem::None, "12345678"},
      {" \t42\r\n", Problem::None, "42"},
      {".5", Problem::None, "0.5"},
      {"+7", Problem::None, "7"},
      {"007.500", Problem::None, "7.5"},
      {"0.000", Problem::None, "0"},
      {"-0.", Problem::None, "0"},
      {"123456789012345678901234567", Problem::None, "123456789012345678901234567"},
      {"-3.", Problem::BelowZero, "0"},
      {"-0.001", Problem::BelowZero, "0"},
      {"", Problem::NotANumber, "0"},
      {" ", Problem::NotANumber, "0"},
      {".", Problem::NotANumber, "0"},
      {"-", Problem::NotANumber, "0"},
      {"abc", Problem::NotANumber, "0"},
      {"12abc", Problem::NotANumber, "0"},
      {"1E5", Problem::NotANumber, "0"},
      {"1.2.3", Problem::NotANumber, "0"},
      {"1 000", Problem::NotANumber, "0"},
      {"1,5", Problem::NotANumber, "0"},  // a decimal comma is not taken for grouping
      {",123", Problem::NotANumber, "0"},
      {"1,2345", Problem::NotANumber, "0"},
      {"1234,567", Problem::NotANumber, "0"},
      {"1,234.567,8", Problem::NotANumber, "0"},
      {"--1", Problem::NotANumber, "0"},
      {"文法エラー！0で除算", Problem::NotANumber, "0"},
  };
  for (const auto& c : cases) {
    const ReadResult read = ReadDecimal(c.text);
    EXPECT_EQ(read.problem, c.problem) << c.text;
    EXPECT_EQ(read.value.Text(), c.value) << c.text;
  }
}

TEST(DecimalTest, TextsWithAndWithoutGrouping) {
  const struct {
    const char* number;
    const char* grouped;
    int wholeDigits;
  } cases[] = {
      {"0", "0", 0},
      {"0.001", "0.001", 0},
      {"999", "999", 3},
      {"1000", "1,000", 4},
      {"1234567.25", "1,234,567.25", 7},
      {"100000.0001", "100,000.0001", 6},
  };
  for (const auto& c : cases) {
    const Decimal d = Number(c.number);
    EXPECT_EQ(d.Text(), c.number);
    EXPECT_EQ(d.GroupedText(), c.grouped);
    EXPECT_EQ(d.WholeDigits(), c.wholeDigits) << c.number;
  }
}

TEST(DecimalTest, ComparesByValue) {
  const struct {
    const char *a, *b;
    int order;
  } cases[] = {
      {"1", "1.0", 0}, {"0.1", "0.09", 1}, {"99", "100", -1}, {"0", "0.0001", -1}, {"12.5", "12.49", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Compare(Number(c.a), Number(c.b)), c.order) << c.a << " vs " << c.b;
}

TEST(DecimalTest, ProductsAreExact) {
  const struct {
    const char *a, *b, *product;
  } cases[] = {
      {"12", "3", "36"},
      {"0.5", "0.5", "0.25"},
      {"1.5", "2", "3"},
      {"0", "123.4", "0"},
      {"99999999999999999999", "99999999999999999999", "9999999999999999999800000000000000000001"},
      {"0.1", "0.1", "0.01"},  // 0.010000000000000002 in doubles
      {"123456789.123456789", "1000", "123456789123.456789"},
  };
  for (const auto& c : cases) EXPECT_EQ(Multiply(Number(c.a), Number(c.b)).Text(), c.product) << c.a << " × " << c.b;
}

TEST(DecimalTest, QuotientsAreCutToTheDecimalsAsked) {
  const struct {
    const char *a, *b;
    int decimals;
    const char* quotient;
    bool exact;
  } cases[] = {
      {"1", "3", 10, "0.3333333333", false},
      {"2", "3", 10, "0.6666666666", false},  // cut, never rounded up
      {"10", "4", 10, "2.5", true},
      {"1", "8", 2, "0.12", false},
      {"1", "8", 3, "0.125", true},
      {"7", "0.5", 3, "14", true},
      {"0.001", "0.1", 5, "0.01", true},
      {"2", "3", 0, "0", false},
      {"98765432109876543210", "5", 0, "19753086421975308642", true},
      {"0", "7", 4, "0", true},
  };
  for (const auto& c : cases) {
    bool exact = !c.exact;
    EXPECT_EQ(Divide(Number(c.a), Number(c.b), c.decimals, &exact).Text(), c.quotient) << c.a << " ÷ " << c.b;
    EXPECT_EQ(exact, c.exact) << c.a << " ÷ " << c.b;
  }
}

TEST(DecimalTest, CutDropsDecimalsBeyondTheLimit) {
  const struct {
    const char* a;
    int decimals;
    const char* cut;
    bool exact;
  } cases[] = {
      {"1.23456", 2, "1.23", false}, {"1.2", 2, "1.2", true},      {"0.0009", 3, "0", false},
      {"5", 0, "5", true},           {"1.10001", 4, "1.1", false},
  };
  for (const auto& c : cases) {
    bool exact = !c.exact;
    EXPECT_EQ(Cut(Number(c.a), c.decimals, &exact).Text(), c.cut) << c.a;
    EXPECT_EQ(exact, c.exact) << c.a;
  }
}

}  // namespace
}  // namespace suusiki::soroban
