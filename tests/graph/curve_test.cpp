// SPDX-License-Identifier: GPL-3.0-or-later
// The curve of functions with known shapes: where it is drawn, where it has
// gaps, where it is not joined, and where it changes sign.
#include "graph/curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace suusiki::graph {
namespace {

// A state with `a` as the definition of A and the given others ("C=58*3").
std::unique_ptr<MainState> StateWith(const std::string& a, const std::vector<std::string>& others = {}) {
  auto state = std::make_unique<MainState>();
  VariableTable table = EmptyTable();
  table[0] = EntryFor(0, FromUtf8(a));
  for (const std::string& d : others) {
    const int index = d[0] - 'A';
    table[static_cast<std::size_t>(index)] = EntryFor(index, FromUtf8(d.substr(2)));
  }
  state->LoadTable(table);
  return state;
}

struct Shape {
  std::string a;
  Range x;
  double jumpHeight;
  std::size_t pieces;
  std::vector<double> crossings;        // where A changes sign, to a column
  std::vector<double> notJoinedAcross;  // no piece reaches over these
  Range defined;                        // the samples inside have a value, the others none
  std::vector<std::string> others = {};
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.a; }

class CurveTest : public ::testing::TestWithParam<Shape> {};

TEST_P(CurveTest, HasTheKnownShape) {
  const Shape& s = GetParam();
  const auto state = StateWith(s.a, s.others);
  Evaluator a(*state);
  constexpr int kColumns = 600;
  const Curve curve = SampleCurve(a, s.x, kColumns, s.jumpHeight);
  const double column = s.x.Span() / kColumns;

  ASSERT_EQ(curve.samples.size(), static_cast<std::size_t>(kColumns));
  for (const Sample& sample : curve.samples) {
    const bool inside = sample.x >= s.defined.low && sample.x <= s.defined.high;
    EXPECT_EQ(sample.y.has_value(), inside) << "X = " << sample.x;
  }
  EXPECT_EQ(curve.pieces.size(), s.pieces);
  ASSERT_EQ(curve.crossings.size(), s.crossings.size());
  for (std::size_t i = 0; i < s.crossings.size(); ++i) EXPECT_NEAR(curve.crossings[i], s.crossings[i], column);
  for (const std::vector<Point>& piece : curve.pieces) {
    for (const double x : s.notJoinedAcross) {
      EXPECT_FALSE(piece.front().x < x && x < piece.back().x) << "a piece reaches over " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CurveTest,
    ::testing::Values(
        // Two roots, the sign changes found.
        Shape{"X^2-2", {-3, 3}, 2, 1, {-std::sqrt(2.0), std::sqrt(2.0)}, {}, {-3, 3}},
        Shape{"X^2-8*X+12", {0, 20}, 60, 1, {2, 6}, {}, {0, 20}},
        // Poles at 90 and 270: three pieces, none across a pole, and no sign
        // change found at a pole.
        Shape{"Tan(X)", {0, 360}, 10, 3, {180}, {90, 270}, {0, 360}},
        Shape{"Tan(X)", {-359, 361}, 10, 5, {-180, 0, 180, 360}, {-270, -90, 90, 270}, {-359, 361}},
        // Zeros between the signs: the crossing is at the first zero.
        Shape{"Int(X)", {-1, 2}, 5, 1, {0}, {}, {-1, 2}},
        // Nothing left of 0.
        Shape{"Sqr(X)", {-2, 2}, 1, 1, {}, {}, {0, 2}}, Shape{"Log(X)", {-1, 3}, 1, 1, {1}, {}, {0, 3}},
        // A constant in X.
        Shape{"X*0+5", {-10, 10}, 1, 1, {}, {}, {-10, 10}},
        // A pole with a sign change: not joined.
        Shape{"1/X", {-1, 1}, 5, 2, {}, {0}, {-1, 1}},
        // Steep but continuous: joined however small the jump height.
        Shape{"X^3", {-10, 10}, 0.001, 1, {0}, {}, {-10, 10}},
        // Steps of Int: the risers are jumps.
        Shape{"Int(X)", {0, 3}, 0.5, 3, {}, {1, 2}, {0, 3}},
        // Exp grows beyond what a calculation may write (99 digits) at 99 Log(10).
        Shape{"Exp(X)", {200, 240}, 1e300, 1, {}, {}, {200, 227.95}},
        // Through other variables, as the main window expands them.
        Shape{"B*152/(C/4+85)-X", {100, 300}, 10, 1, {172.807923593916}, {}, {100, 300}, {"C=58*3", "B=C/2.2+67"}},
        // A that fails everywhere.
        Shape{"X/0", {-1, 1}, 1, 0, {}, {}, {2, 3}}));

TEST(EvaluatorTest, CalculatesAtEveryPointLikeTheMainWindow) {
  const auto state = StateWith("X^2-8*X+12");
  Evaluator a(*state);
  const struct {
    double x;
    std::optional<double> y;
  } cases[] = {
      {10, 32}, {6, 0}, {-2, 32}, {4, -4}, {0.5, 8.25}, {1e-20, 12}, {NAN, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(a.At(c.x), c.y) << c.x;

  // Where the calculation fails, the value is nothing.
  const auto failing = StateWith("1/(X-2)+Sqr(X-5)");
  Evaluator b(*failing);
  EXPECT_EQ(b.At(2), std::nullopt) << "a division by zero";
  EXPECT_EQ(b.At(3), std::nullopt) << "the root of a negative number";
  ASSERT_TRUE(b.At(9).has_value());
  EXPECT_NEAR(*b.At(9), 2 + 1 / 7.0, 1e-13);
}

}  // namespace
}  // namespace suusiki::graph
