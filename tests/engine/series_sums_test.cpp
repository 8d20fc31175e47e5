// SPDX-License-Identifier: GPL-3.0-or-later
// The sums of the two series windows, from the texts of their boxes to the
// text they show.
#include "engine/series_sums.h"

#include <gtest/gtest.h>

#include <string>

namespace suusiki {
namespace {

const std::string kCannot = ToUtf8(kCannotCalculate);

std::string Sum(Text (*sum)(TextView, TextView, TextView), const char* a, const char* b, const char* c) {
  return ToUtf8(sum(FromUtf8(a), FromUtf8(b), FromUtf8(c)));
}

TEST(SeriesSumsTest, ArithmeticSeries) {
  const struct {
    const char *first, *last, *count;
    std::string shown;
  } cases[] = {
      {"1", "9", "5", "25. "},  // the window's example
      {"0.5", "1", "2", "1.5 "},
      {"1", "9", "", "0. "},
      {"", "", "", "0. "},
      {"12abc", "0", "2", "12. "},  // letters other than E and D end the number
      {"1E3", "0", "2", "1,000. "},
      {" 1 0", "0", "2", "10. "},  // blanks are ignored
      {"1", "9", "-5", "-25. "},
      {"1", "2", "0.5", "0.75 "},
      {"1000000", "1000000", "3", "3,000,000. "},
      {"1", "0", "0.6666666666666", "0.333333333 "},  // at most 9 decimals
      {"0.0000000004", "0", "1", "0. "},
      {"1E308", "1E308", "1", kCannot},  // the sum overflows
      {"1E308", "0", "2", kCannot},      // the product overflows before the division by 2
      {"1E400", "0", "1", kCannot},      // beyond the range of a double
      {"1", "9", "1E999", kCannot},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sum(&ArithmeticSeriesSum, c.first, c.last, c.count), c.shown)
        << c.first << " .. " << c.last << " x " << c.count;
  }
}

TEST(SeriesSumsTest, GeometricSeries) {
  const struct {
    const char *first, *ratio, *count;
    std::string shown;
  } cases[] = {
      {"3", "5", "4", "468. "},  // the window's example
      {"2", "1", "7", "14. "},   // ratio 1: n × a
      {"2", "1.0", "-3", "-6. "},
      {"1", "0.5", "3", "1.75 "},
      {"5", "0", "3", "5. "},
      {"5", "0", "0.5", "5. "},
      {"5", "", "3", "5. "},  // an empty ratio is 0
      {"1", "0.1", "3", "1.11 "},
      {"1", "-1", "3", "1. "},
      {"1", "-2", "4", "-5. "},
      {"1", "2", "0.5", "0.414213562373 "},         // at most 12 decimals
      {"1", "2", "50", "1,125,899,906,842,620. "},  // 15 significant digits, written out
      {"1", "-2", "0.5", kCannot},                  // a negative ratio with a fractional number of terms
      {"1", "0", "-1", kCannot},                    // a ratio of 0 with a negative number of terms
      {"1", "10", "400", kCannot},                  // the power overflows
      {"1E300", "1E5", "2", kCannot},               // times a overflows before the division by r − 1
      {"1E400", "2", "2", kCannot},                 // beyond the range of a double
      {"1", "1", "1E400", kCannot},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sum(&GeometricSeriesSum, c.first, c.ratio, c.count), c.shown)
        << c.first << " r " << c.ratio << " n " << c.count;
  }
}

}  // namespace
}  // namespace suusiki
