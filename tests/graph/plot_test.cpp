// SPDX-License-Identifier: GPL-3.0-or-later
// Tick steps, tick labels, the automatic Y range and cutting lines to the plot.
#include "graph/plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace suusiki::graph {
namespace {

TEST(PlotTest, TickStepsAreOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double span;
    int maxSteps;
    double step;
  } cases[] = {
      {10, 5, 2},    {20, 7, 5},        {7, 10, 1},      {1, 10, 0.1},    {3, 3, 1},       {0.3, 3, 0.1}, {100, 4, 50},
      {720, 7, 200}, {12345, 10, 2000}, {0.03, 3, 0.01}, {1e-7, 5, 2e-8}, {4e12, 8, 5e11}, {0, 5, 1},     {-3, 5, 1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(TickStep(c.span, c.maxSteps), c.step) << c.span << " in " << c.maxSteps;
  }
}

TEST(PlotTest, TicksAreTheMultiplesOfTheStepInTheRange) {
  const struct {
    Range range;
    double step;
    std::vector<std::string> labels;
  } cases[] = {
      {{-1.05, 2.3}, 0.5, {"-1", "-0.5", "0", "0.5", "1", "1.5", "2"}},
      {{0, 1}, 0.2, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},  // both ends, with no drift in 0.6
      {{-359, 361}, 200, {"-200", "0", "200"}},
      {{900, 3100}, 1000, {"1,000", "2,000", "3,000"}},
      {{0.1, 0.35}, 0.1, {"0.1", "0.2", "0.3"}},
      {{1.00001, 1.00004}, 0.00001, {"1.00001", "1.00002", "1.00003", "1.00004"}},
      {{0.3, 0.4}, 0.5, {}},
      {{-1.05, 2.3}, 0, {}},            // no step: no ticks, not one at every point
      {{-1.05, 2.3}, HUGE_VAL, {}},     // nor a tick "nan" for a step too large to say
      {{1e19, 1e19 + 4096}, 1000, {}},  // nor a hang where counting the multiples can't go on
  };
  for (const auto& c : cases) {
    std::vector<std::string> labels;
    for (const double t : Ticks(c.range, c.step)) labels.push_back(ToUtf8(PlainNumber(t, c.step)));
    EXPECT_EQ(labels, c.labels) << c.range.low << " to " << c.range.high;
  }
}

TEST(PlotTest, PlainNumbersHaveTheDecimalsOfTheStep) {
  const struct {
    double value, step;
    const char* text;
  } cases[] = {
      {-1e-17, 0.5, "0"},  // no "-0"
      {2.5e-5, 5e-6, "0.000025"},
      {1234567.891, 1, "1,234,568"},
      {6.00000000232831, 0, "6.00000000232831"},               // no step: 15 significant digits
      {-3.97289171429786e-19, 0, "-3.97289171429786*10^-19"},  // as the answer line shows it
      {1234.5, 0, "1,234.5"},
      {-4, 0, "-4"},
      {0.1 + 0.2, 0.01, "0.3"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(PlainNumber(c.value, c.step)), c.text) << c.value;
}

std::vector<double> Values(double (*f)(double), double low, double high, int count) {
  std::vector<double> values;
  values.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) values.push_back(f(low + (i + 0.5) * (high - low) / count));
  return values;
}

double Degrees(double x) { return x * 3.14159265358979 / 180; }

TEST(PlotTest, TheAutomaticRangeShowsTheCurveAndLeavesFarOutliersOut) {
  const struct {
    const char* what;
    std::vector<double> values;
    Range within;    // the range lies inside this
    Range contains;  // and contains this
  } cases[] = {
      {"a parabola: all of it", Values([](double x) { return x * x - 8 * x + 12; }, 0, 20, 600), {-20, 270}, {-4, 251}},
      {"Tan over two turns: not the values by the poles",
       Values([](double x) { return std::tan(Degrees(x)); }, -359, 361, 600),
       {-60, 60},
       {-10, 10}},
      {"the constant 5, with the X axis", std::vector<double>(600, 5), {-0.3, 5.3}, {0, 5}},
      {"a line far from zero: zero is not taken in",
       Values([](double x) { return x + 1000; }, -9, 11, 600),
       {989, 1013},
       {991, 1011}},
      {"a line near zero: zero is taken in",
       Values([](double x) { return x + 13; }, -9, 11, 600),
       {-1.5, 26},
       {0, 23.9}},
      {"1/X: the spike goes", Values([](double x) { return 1 / x; }, -9, 11, 600), {-40, 40}, {-1, 1}},
      {"no values at all", {}, {-10, 10}, {-10, 10}},
  };
  for (const auto& c : cases) {
    const Range r = AutoRange(c.values);
    EXPECT_LE(c.within.low, r.low) << c.what;
    EXPECT_GE(c.within.high, r.high) << c.what;
    EXPECT_LE(r.low, c.contains.low) << c.what;
    EXPECT_GE(r.high, c.contains.high) << c.what;
  }
  EXPECT_EQ(AutoRange(std::vector<double>(10, 0)), (Range{-1, 1})) << "zero alone";
}

TEST(PlotTest, LinesAreCutToTheBox) {
  const Box box{0, 0, 100, 50};
  using Cut = std::optional<std::pair<Point, Point>>;
  const struct {
    Point a, b;
    Cut cut;
  } cases[] = {
      {{10, 10}, {90, 40}, std::pair{Point{10, 10}, Point{90, 40}}},    // inside: whole
      {{-50, 25}, {50, 25}, std::pair{Point{0, 25}, Point{50, 25}}},    // enters from the left
      {{50, -1e6}, {50, 1e6}, std::pair{Point{50, 0}, Point{50, 50}}},  // far beyond both edges
      {{-10, -10}, {110, 60}, std::pair{Point{-10 + 120.0 / 7, 0}, Point{-10 + 720.0 / 7, 50}}},  // top to bottom
      {{-10, 10}, {-1, 40}, std::nullopt},                                                        // left of the box
      {{120, 60}, {200, -10}, std::nullopt},                                                      // right of it
  };
  for (const auto& c : cases) {
    const Cut cut = Clip(c.a, c.b, box);
    ASSERT_EQ(cut.has_value(), c.cut.has_value()) << c.a.x << "," << c.a.y;
    if (!cut) continue;
    EXPECT_NEAR(cut->first.x, c.cut->first.x, 1e-9);
    EXPECT_NEAR(cut->first.y, c.cut->first.y, 1e-9);
    EXPECT_NEAR(cut->second.x, c.cut->second.x, 1e-9);
    EXPECT_NEAR(cut->second.y, c.cut->second.y, 1e-9);
  }
}

}  // namespace
}  // namespace suusiki::graph
