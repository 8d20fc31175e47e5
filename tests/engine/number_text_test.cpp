// SPDX-License-Identifier: GPL-3.0-or-later
// The number text rule and the reading rule, including the rounding ties that a
// printf-based conversion would get wrong.
#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace suusiki {
namespace {

struct FormatCase {
  double value;
  const char* pattern;
  const char* expected;
};

class NumberTextTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberTextTest, WritesTheValueUnderThePattern) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(ToUtf8(NumberText(c.value, NumberPattern::Parse(c.pattern))), c.expected)
      << "value " << c.value << " pattern \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    AnswerLine, NumberTextTest,
    ::testing::Values(FormatCase{5, "#,0.################# ", "5. "}, FormatCase{0, "#,0.################# ", "0. "},
                      FormatCase{1234.5, "#,0.################# ", "1,234.5 "},
                      FormatCase{1.0 / 3, "#,0.################# ", "0.333333333333333 "},
                      FormatCase{2.0 / 3, "#,0.################# ", "0.666666666666667 "},
                      FormatCase{-1234567.25, "#,0.################# ", "-1,234,567.25 "},
                      FormatCase{123, "#,0.################# ", "123. "},
                      FormatCase{123456, "#,0.################# ", "123,456. "},
                      // Never an exponent: large values are written out in full.
                      FormatCase{1e20, "#0.##################", "100000000000000000000."},
                      FormatCase{1e21, "#,0.################# ", "1,000,000,000,000,000,000,000. "},
                      FormatCase{1.633123935319537e16, "#0.##############", "16331239353195400."},
                      FormatCase{std::numeric_limits<double>::max(), "#0.",
                                 "179769313486232000000000000000000000000000000000000000000000000000000000000000"
                                 "000000000000000000000000000000000000000000000000000000000000000000000000000000"
                                 "000000000000000000000000000000000000000000000000000000000000000000000000000000"
                                 "000000000000000000000000000000000000000000000000000000000000000000000000000."}));

INSTANTIATE_TEST_SUITE_P(FifteenDigits, NumberTextTest,
                         ::testing::Values(
                             // Ties at the 16th significant digit go away from zero (printf would go to even).
                             FormatCase{123456789012.3125, "0.#################", "123456789012.313"},
                             FormatCase{-123456789012.3125, "0.#################", "-123456789012.313"},
                             FormatCase{1000000000000005, "#0.", "1000000000000010."},
                             FormatCase{999999999999999.5, "#0.##", "1000000000000000."},
                             // Just below a tie stays below: the decision uses the exact expansion.
                             FormatCase{0.1234567890123449, "0.#################", "0.123456789012345"},
                             FormatCase{std::atan(1.0) * 4, "0.#################", "3.14159265358979"},
                             FormatCase{std::sqrt(2.0), "#0.##############", "1.4142135623731"},
                             FormatCase{0.1 + 0.2, "#0.##################", "0.3"}));

INSTANTIATE_TEST_SUITE_P(
    DecimalPlaces, NumberTextTest,
    ::testing::Values(FormatCase{2.5, "0.", "3."}, FormatCase{-2.5, "0.", "-3."}, FormatCase{0.125, "0.##", "0.13"},
                      // 1.005 is 1.00499999999999989... : 15 digits give 1.00500000000000, then two places 1.01.
                      FormatCase{1.005, "0.##", "1.01"}, FormatCase{0.004, "0.##", "0."},
                      // A value that rounds to zero has no minus sign.
                      FormatCase{-0.0000001, "0.###", "0."}, FormatCase{-0.0, "#,0.################# ", "0. "},
                      FormatCase{4.9e-324, "#0.##################", "0."}, FormatCase{0.995, "0.##", "1."},
                      FormatCase{std::exp(-30.0), "#0.##############", "0.00000000000009"},
                      FormatCase{1.0 / 3 * 1e-5, "#0.##################", "0.000003333333333333"},
                      FormatCase{99.95, "#,0.# ", "100. "}));

struct ReadCase {
  const char32_t* text;
  std::optional<double> expected;
};

class ReadNumberTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsTheLongestNumericPrefix) {
  const ReadCase& c = GetParam();
  const auto value = ReadNumber(c.text);
  ASSERT_EQ(value.has_value(), c.expected.has_value()) << ToUtf8(c.text);
  if (value) {
    EXPECT_EQ(*value, *c.expected) << ToUtf8(c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Decimal, ReadNumberTest,
                         ::testing::Values(ReadCase{U"5.", 5}, ReadCase{U"1,234.5", 1}, ReadCase{U"-.5", -0.5},
                                           ReadCase{U"+5", 5}, ReadCase{U"12abc", 12}, ReadCase{U"1.5.5", 1.5},
                                           ReadCase{U"3.14159265358979", 3.14159265358979}, ReadCase{U"0.1", 0.1},
                                           ReadCase{U"-0.5*3", -0.5}, ReadCase{U"1E3", 1000}, ReadCase{U"1e3", 1000},
                                           ReadCase{U"1D3", 1000}, ReadCase{U"2.5d-1", 0.25}, ReadCase{U"5E", 5},
                                           ReadCase{U"5E+", 5}, ReadCase{U"5E+x", 5}, ReadCase{U"1E-400", 0},
                                           ReadCase{U"0E99999", 0}, ReadCase{U"4.9E-324", 4.9e-324},
                                           ReadCase{U"1E400", std::nullopt}, ReadCase{U"-1E400", std::nullopt},
                                           ReadCase{U"1.79769313486232E308", std::nullopt},
                                           ReadCase{U"0.00001E309", 1e304}));

INSTANTIATE_TEST_SUITE_P(NoNumber, ReadNumberTest,
                         ::testing::Values(ReadCase{U"", 0}, ReadCase{U"-", 0}, ReadCase{U".", 0}, ReadCase{U"-.", 0},
                                           ReadCase{U"(5)", 0}, ReadCase{U"--5", 0}, ReadCase{U"１２", 0},
                                           ReadCase{U"E5", 0}));

INSTANTIATE_TEST_SUITE_P(Blanks, ReadNumberTest,
                         ::testing::Values(ReadCase{U"  1 2 3", 123}, ReadCase{U"1\t2\n3", 123}, ReadCase{U"- 5", -5},
                                           ReadCase{U"1 E 3", 1000}, ReadCase{U"1\r2", 1}, ReadCase{U"1\u30002", 1}));

INSTANTIATE_TEST_SUITE_P(HexAndOctal, ReadNumberTest,
                         ::testing::Values(ReadCase{U"&H1F", 31}, ReadCase{U"&hff", 255}, ReadCase{U"&HFFFF", 65535},
                                           ReadCase{U"&HA", 10}, ReadCase{U"&ha", 10}, ReadCase{U"&HFG", 15},
                                           ReadCase{U"&O17", 15}, ReadCase{U"&o78", 7}, ReadCase{U"&H", 0},
                                           ReadCase{U"&O", 0}, ReadCase{U"&", 0}, ReadCase{U"&X1", 0},
                                           ReadCase{U"&H 1 F", 31},
                                           ReadCase{U"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0}));

TEST(ReadNumberTest, HexBeyondTheDoubleRangeIsRefused) {
  EXPECT_FALSE(ReadNumber(U"&H" + Text(300, U'F')).has_value());
}

TEST(ShortestPlainTextTest, WritesPlainDecimalsThatReadBack) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {{24, "24"},          {0.1, "0.1"}, {-2.5, "-2.5"},      {1e21, "1000000000000000000000"},
               {1e-7, "0.0000001"}, {0, "0"},     {123.456, "123.456"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(ShortestPlainText(c.value)), c.expected);
    EXPECT_EQ(ReadNumber(ShortestPlainText(c.value)), c.value);
  }
}

TEST(NumberPatternTest, ReadsEveryPatternOfTheProgram) {
  EXPECT_EQ(kAnswerPattern.places, 17);
  EXPECT_TRUE(kAnswerPattern.grouping);
  EXPECT_TRUE(kAnswerPattern.trailingSpace);
  EXPECT_EQ(kReductionPattern.places, 18);
  EXPECT_FALSE(kReductionPattern.grouping);
  EXPECT_EQ(kFunctionPattern.places, 14);
  EXPECT_EQ(kPiPattern.places, 17);
  EXPECT_FALSE(kPiPattern.trailingSpace);
}

}  // namespace
}  // namespace suusiki
