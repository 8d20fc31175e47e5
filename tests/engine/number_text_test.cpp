// SPDX-License-Identifier: GPL-3.0-or-later
// The number text rule and the reading rule, including the rounding ties that a
// printf-based conversion would get wrong.
#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

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

INSTANTIATE_TEST_SUITE_P(
    FifteenDigits, NumberTextTest,
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
        FormatCase{0.1 + 0.2, "#0.##################", "0.3"},
        // The shortest text that reads back has 16 or 17 digits: its 16th and 17th
        // decide when they are far from 50, 25 digits when near, the exact
        // expansion at 25 digits that are the half itself.
        FormatCase{1.0 / 7, "0.#################", "0.142857142857143"},
        FormatCase{0.1234567890123412, "0.#################", "0.123456789012341"},
        FormatCase{3.0 / 7, "0.#################", "0.428571428571429"},
        FormatCase{0.1234567890123451, "0.#################", "0.123456789012345"},
        FormatCase{0.1234567890123462, "0.#################", "0.123456789012346"},
        // 1000007708713284999999999967232 exactly: 25 digits round to the half,
        // the exact expansion lies below it.
        FormatCase{0x1.93e65fa64eb65p+99, "#0.", "1000007708713280000000000000000."},
        FormatCase{1.0000000000000049, "0.#################", "1."},
        FormatCase{9.9999999999999947, "0.#################", "9.99999999999999"},
        FormatCase{9.9999999999999982, "0.#################", "10."},
        // 1e23 is 99999999999999991611392 as a double; 1e-5 a little more than 1e-5.
        FormatCase{1e23, "#,0.", "100,000,000,000,000,000,000,000."},
        FormatCase{1e-5, "#0.##################", "0.00001"},
        // The edges of the range cut in integer arithmetic, 1e-7 to below 1e15.
        FormatCase{1e-7, "0.##############################", "0.0000001"},
        FormatCase{9.9999999999999995e-8, "0.##############################", "0.0000001"},
        FormatCase{1.2345678901234567e-7, "0.##############################", "0.000000123456789012346"},
        FormatCase{999999999999999.875, "0.", "1000000000000000."},
        FormatCase{999999999999999.375, "0.", "999999999999999."}, FormatCase{1e15 + 2, "0.", "1000000000000000."},
        // Below the normal range of doubles.
        FormatCase{2.2250738585072009e-308, "0.#", "0."}));

// Cuts `value`'s exact decimal expansion to 15 significant digits, halves away
// from zero, and writes them as "digits e exponent" (the way the slow, sure
// path of the number text rule sees them).
std::string ExactCut(double value) {
  char buf[800];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 766);
  std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
  const char* e = std::find(buf, r.ptr, 'e');
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, exponent);
  if (buf[16] >= '5') {
    int i = 14;
    for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (i < 0) {
      digits = "1" + digits.substr(0, 14);
      ++exponent;
    } else {
      ++digits[i];
    }
  }
  return digits + "e" + std::to_string(exponent);
}

// The same from the number text with 400 decimal places: nothing is cut but
// the 15 digits.
std::string CutOfNumberText(double value) {
  static const NumberPattern kAllPlaces = NumberPattern::Parse("0." + std::string(400, '#'));
  std::string text = ToUtf8(NumberText(std::fabs(value), kAllPlaces));
  const auto point = text.find('.');
  std::string digits = text.substr(0, point) + text.substr(point + 1);
  int exponent = static_cast<int>(point) - 1;
  const auto first = digits.find_first_not_of('0');
  if (first == std::string::npos) return "0";
  exponent -= static_cast<int>(first);
  digits = digits.substr(first);
  digits.resize(15, '0');
  return digits + "e" + std::to_string(exponent);
}

// The text of `value` with at most `places` decimals, worked out from the
// exact 15-digit cut with decimal digits: halves away from zero again.
std::string ExpectedWithPlaces(double value, int places) {
  const std::string cut = ExactCut(value);
  std::string digits = cut.substr(0, 15);
  int exponent = std::stoi(cut.substr(16));  // of the first digit
  const int keep = exponent + places + 1;
  if (keep <= 0) {
    digits = keep == 0 && digits[0] >= '5' ? "1" : "";
    exponent = -places;
  } else if (keep < 15) {
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    for (int i = keep - 1; up; --i) {
      if (i < 0) {
        digits.insert(0, "1");
        ++exponent;
        break;
      }
      const bool carry = digits[static_cast<std::size_t>(i)] == '9';
      digits[static_cast<std::size_t>(i)] = carry ? '0' : static_cast<char>(digits[static_cast<std::size_t>(i)] + 1);
      if (!carry) break;
    }
  }
  if (digits.find_first_not_of('0') == std::string::npos) return "0.";
  std::string whole = "0";
  std::string fraction = digits;
  if (exponent >= 0) {
    digits.resize(std::max(digits.size(), static_cast<std::size_t>(exponent) + 1), '0');
    whole = digits.substr(0, static_cast<std::size_t>(exponent) + 1);
    fraction = digits.substr(static_cast<std::size_t>(exponent) + 1);
  } else {
    fraction.insert(0, static_cast<std::size_t>(-exponent - 1), '0');
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return (value < 0 ? "-" : "") + whole + "." + fraction;
}

TEST(NumberTextTest, CutsTheExactExpansionOfAnyDouble) {
  std::mt19937_64 random(14);
  int checked = 0;
  for (int i = 0; i < 60000; ++i) {
    double value = 0;
    if (i % 3 == 0) {
      const std::uint64_t bits = random();
      std::memcpy(&value, &bits, sizeof value);  // any double
    } else if (i % 3 == 1) {
      // A 16-digit decimal ending in 5 (a half at the 16th digit), moved a few units of the last place.
      const std::string half = std::to_string(100000000000000 + random() % 900000000000000) + "5e" +
                               std::to_string(static_cast<int>(random() % 80) - 50);
      value = std::nextafter(std::strtod(half.c_str(), nullptr), (random() % 2 != 0) ? 1e300 : -1e300);
      if (random() % 3 == 0) value = std::strtod(half.c_str(), nullptr);
    } else {
      value = static_cast<double>(random() % 2000001) / static_cast<double>(1 + random() % 99999);
    }
    if (!std::isfinite(value) || value == 0) continue;
    ASSERT_EQ(CutOfNumberText(value), ExactCut(value)) << std::hexfloat << value;
    // And then to any number of places.
    if (std::fabs(value) > 1e-25 && std::fabs(value) < 1e25) {
      const int places = static_cast<int>(random() % 26);
      ASSERT_EQ(
          ToUtf8(NumberText(value, NumberPattern::Parse("0." + std::string(static_cast<std::size_t>(places), '#')))),
          ExpectedWithPlaces(value, places))
          << std::hexfloat << value << " to " << places << " places";
    }
    ++checked;
  }
  EXPECT_GT(checked, 50000);
}

// The cut in integer arithmetic, which nearly every value takes, against the
// exact expansion: a million values of its range, a third of them next to a
// half at the 16th digit.
TEST(NumberTextTest, TheFastCutIsTheExactCut) {
  std::mt19937_64 random(20);
  for (int i = 0; i < 1000000; ++i) {
    double value = 0;
    const int exponent = static_cast<int>(random() % 23) - 8;  // 1e-8 to 1e15, a little beyond the range
    if (i % 3 == 0) {
      // A 16-digit decimal ending in 5, or a double next to it.
      const std::string half =
          std::to_string(100000000000000 + random() % 900000000000000) + "5e" + std::to_string(exponent - 15);
      value = std::strtod(half.c_str(), nullptr);
      for (int step = static_cast<int>(random() % 5) - 2; step != 0; step += step > 0 ? -1 : 1) {
        value = std::nextafter(value, step > 0 ? 1e300 : 0.0);
      }
    } else {
      value = std::ldexp(static_cast<double>(random() >> 11), -53) * std::pow(10.0, exponent);
    }
    if (!(value > 0)) continue;
    ASSERT_EQ(CutToSignificant(value), CutToSignificantExactly(value)) << std::hexfloat << value;
  }
}

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

// Values carried with an exponent mark: units times a power of ten, rounded
// once (2^53 + 1 units do not fit a double; read as 2^53 first, ten times
// them would be 16 less than the nearest double).
const Text kMarkedUnits = U"9007199254740993" + Text(1, kExponentUp) + U"1";
const Text kMarkedTiny = U"4.94065645841247" + Text(1, kExponentDown) + U"324";
const Text kMarkedNoDigits = U"5." + Text(1, kExponentUp);

TEST_P(ReadNumberTest, ReadsTheLongestNumericPrefix) {
  const ReadCase& c = GetParam();
  const auto value = ReadNumber(c.text);
  ASSERT_EQ(value.has_value(), c.expected.has_value()) << ToUtf8(c.text);
  if (value) {
    EXPECT_EQ(*value, *c.expected) << ToUtf8(c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, ReadNumberTest,
    ::testing::Values(ReadCase{U"5.", 5}, ReadCase{U"1,234.5", 1}, ReadCase{U"-.5", -0.5}, ReadCase{U"+5", 5},
                      ReadCase{U"12abc", 12}, ReadCase{U"1.5.5", 1.5}, ReadCase{U"3.14159265358979", 3.14159265358979},
                      ReadCase{U"0.1", 0.1}, ReadCase{U"-0.5*3", -0.5}, ReadCase{U"1E3", 1000}, ReadCase{U"1e3", 1000},
                      ReadCase{U"1D3", 1000}, ReadCase{U"2.5d-1", 0.25}, ReadCase{U"5E", 5}, ReadCase{U"5E+", 5},
                      ReadCase{U"5E+x", 5}, ReadCase{U"1E-400", 0}, ReadCase{U"0E99999", 0},
                      ReadCase{U"4.9E-324", 4.9e-324}, ReadCase{U"1E400", std::nullopt},
                      ReadCase{U"-1E400", std::nullopt}, ReadCase{U"1.79769313486232E308", std::nullopt},
                      ReadCase{U"0.00001E309", 1e304}, ReadCase{kMarkedUnits.c_str(), 90071992547409936.0},
                      ReadCase{kMarkedTiny.c_str(), 4.94065645841247e-324}, ReadCase{kMarkedNoDigits.c_str(), 5},
                      // Around the limits of the quick reading: 2^53 units, 22 decimals.
                      ReadCase{U"9007199254740992", 9007199254740992.0},
                      ReadCase{U"9007199254740993", 9007199254740992.0},
                      ReadCase{U"900719925474099.3", 900719925474099.3}, ReadCase{U"0.0000000000000000000001", 1e-22},
                      ReadCase{U"0.00000000000000000000001", 1e-23}, ReadCase{U"123456789.123456", 123456789.123456},
                      ReadCase{U"7.-3", 7}, ReadCase{U"+.25*", 0.25}));

TEST(ReadNumberTest, MinusZeroKeepsItsSign) {
  for (const char32_t* text : {U"-0", U"-0.000", U"-0E5", U"- 0"}) {
    const auto value = ReadNumber(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 0);
    EXPECT_TRUE(std::signbit(*value)) << ToUtf8(text);
  }
}

// Decimals of up to 19 digits with the point anywhere, up to 27 decimals, as
// the C library reads them (correctly rounded).
TEST(ReadNumberTest, ReadsDecimalsCorrectlyRounded) {
  std::mt19937_64 random(53);
  for (int i = 0; i < 50000; ++i) {
    std::string text = (random() % 4 == 0) ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 19);
    int point = static_cast<int>(random() % static_cast<unsigned>(digits + 6));
    if (random() % 3 == 0) {
      text += "0." + std::string(random() % 9, '0');  // a value below 1
      point = -1;
    }
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    const double expected = std::strtod(text.c_str(), nullptr);
    const auto value = ReadNumber(FromUtf8(text));
    ASSERT_TRUE(value.has_value()) << text;
    ASSERT_EQ(*value, expected) << text;
  }
}

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

// A calculation carries each value with its 15 digits: plain from 10^-3 to
// below 10^15, with an exponent (shown here as "E+" or "E-") beyond; nothing
// from 10^99 on. Each text reads back as the value cut to 15 digits.
TEST(ValueTextTest, CarriesFifteenDigitsAtEveryMagnitude) {
  const struct {
    double value;
    const char* expected;  // nullptr: not carried
    double readsAs;
  } cases[] = {
      {24, "24.", 24},
      {1500, "1500.", 1500},
      {-100000000000000, "-100000000000000.", -1e14},
      {-0.25, "-0.25", -0.25},
      {1.0 / 3, "0.333333333333333", 0.333333333333333},
      {0.1 + 0.2, "0.3", 0.3},
      {0.00123456789012345678, "0.00123456789012346", 0.00123456789012346},
      {0.001, "0.001", 0.001},
      {0.000999, "9.99E-4", 0.000999},
      {999999999999999, "999999999999999.", 999999999999999},
      {1e15, "1.E+15", 1e15},
      {-123456789012345678.0, "-1.23456789012346E+17", -1.23456789012346e17},
      {6.62607015e-34 * 299792458 / 500e-9, "3.97289171429786E-19", 3.97289171429786e-19},
      {std::exp(-10.0), "4.53999297624849E-5", 4.53999297624849e-5},
      {0, "0.", 0},
      {-0.0, "0.", 0},
      {4.9e-324, "4.94065645841247E-324", 4.94065645841247e-324},
      {2.2250738585072014e-308, "2.2250738585072E-308", 2.2250738585072e-308},
      {9.99999999999999e98, "9.99999999999999E+98", 9.99999999999999e98},
      {9.9999999999999995e98, nullptr, 0},  // cuts to 10^99
      {1e99, nullptr, 0},
      {-1e200, nullptr, 0},
  };
  for (const auto& c : cases) {
    Text text = U"x";
    const bool carried = AppendValueText(c.value, text);
    EXPECT_EQ(carried, c.expected != nullptr) << c.value;
    if (!carried) {
      EXPECT_EQ(text, U"x") << c.value;
      continue;
    }
    EXPECT_EQ(ToUtf8(WithShownSigns(text.substr(1))), c.expected) << c.value;
    EXPECT_EQ(ReadNumber(text.substr(1)), c.readsAs) << c.expected;
  }
}

// The answer line writes a value below 10^-9 with its 15 digits, in a form
// that gives the same value typed in, unless the pattern's 17 places hold it.
TEST(AnswerTextTest, ShowsTinyValuesWithTheirDigits) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {1234.5, "1,234.5 "},
      {0, "0. "},
      {-0.0, "0. "},
      {6.62607015e-34 * 299792458 / 500e-9, "3.97289171429786*10^-19 "},
      {-2.5e-10, "-0.00000000025 "},
      {-1.234567e-12, "-1.234567*10^-12 "},
      {4e-20, "4*10^-20 "},
      {1e-17, "0.00000000000000001 "},
      {1.5e-17, "1.5*10^-17 "},
      {1.2e-16, "0.00000000000000012 "},
      {1e-9, "0.000000001 "},
      {1.23456789012345e-9, "0.00000000123456789 "},
      {9.99999999999999e-10, "9.99999999999999*10^-10 "},
      {std::exp(-10.0), "0.00004539992976248 "},
      {4.9e-324, "4.94065645841247*10^-324 "},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(AnswerText(c.value)), c.expected) << c.value;
}

TEST(NumberPatternTest, ReadsEveryPatternOfTheProgram) {
  EXPECT_EQ(kAnswerPattern.places, 17);
  EXPECT_TRUE(kAnswerPattern.grouping);
  EXPECT_TRUE(kAnswerPattern.trailingSpace);
  EXPECT_EQ(NumberPattern::Parse("#0.##################").places, 18);
  EXPECT_FALSE(NumberPattern::Parse("#0.##").grouping);
  EXPECT_EQ(kPiPattern.places, 17);
  EXPECT_FALSE(kPiPattern.trailingSpace);
}

}  // namespace
}  // namespace suusiki
