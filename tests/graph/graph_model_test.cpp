// SPDX-License-Identifier: GPL-3.0-or-later
// The graph model: what it reads, its first view, how the view moves, the
// Newton steps in pixels and the rows of their table.
#include "graph/graph_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/number_text.h"

namespace suusiki::graph {
namespace {

MainState& Define(MainState& state, int index, const char32_t* definition) {
  VariableTable table = state.table();
  table[static_cast<std::size_t>(index)] = EntryFor(index, definition);
  state.LoadTable(table);
  return state;
}

TEST(GraphModelTest, ReadsWhatThereIsToDraw) {
  const struct {
    const char32_t* a;
    Status status;
    bool message;
  } cases[] = {
      {U"", Status::EmptyA, true},
      {U"5*2", Status::NoX, true},
      {U"x^2-1", Status::NoX, true},  // a lower-case x is no equation, as for the Newton command
      {U"X^2-1", Status::Curve, false},
      {U"EXP(2)", Status::Curve, false},  // the X of EXP counts, as for the Newton command
  };
  for (const auto& c : cases) {
    MainState state;
    GraphModel model;
    model.Read(Define(state, 0, c.a), U"1");
    EXPECT_EQ(model.status(), c.status) << ToUtf8(c.a);
    EXPECT_EQ(model.StatusMessage().empty(), !c.message) << ToUtf8(c.a);
    EXPECT_EQ(model.Equation(), U"A: " + Text(c.a));
    if (c.status != Status::Curve) {
      EXPECT_TRUE(model.curve().pieces.empty()) << "only the axes";
      EXPECT_EQ(model.Message(), model.StatusMessage());
    }
  }
}

TEST(GraphModelTest, TheFirstViewIsAroundTheStartPoint) {
  const struct {
    const char32_t* a;
    const char32_t* start;
    Range x;
  } cases[] = {
      {U"X^2-8*X+12", U"10", {0, 20}},        {U"X^2-8*X+12", U"", {-9, 11}},  // an empty box is 1
      {U"X^2-8*X+12", U"-2.5", {-12.5, 7.5}}, {U"Tan(X)", U"1", {-359, 361}},  // angles: two turns
      {U"B-0.5+0*X", U"0", {-360, 360}},                                       // B is sin(X): through the variable
      {U"X+1", U"1E400", {-10, 10}},                                           // beyond a double: around 0
  };
  for (const auto& c : cases) {
    MainState state;
    Define(state, 1, U"sin(X)");
    GraphModel model;
    model.Read(Define(state, 0, c.a), c.start);
    EXPECT_EQ(model.xRange(), c.x) << ToUtf8(c.a) << " from " << ToUtf8(c.start);
    EXPECT_TRUE(model.atHome());
  }
}

TEST(GraphModelTest, TheFirstViewShowsTheCurveAndTheXAxis) {
  MainState state;
  GraphModel model;
  model.Resize(600, 400);
  model.Read(Define(state, 0, U"X^2-8*X+12"), U"10");
  EXPECT_TRUE(model.xAxisInView());
  EXPECT_TRUE(model.yAxisInView());
  EXPECT_LE(model.yRange().low, -4) << "the vertex";
  EXPECT_GE(model.yRange().high, 252) << "the value at 20";
  ASSERT_EQ(model.curve().pieces.size(), 1u);
  ASSERT_EQ(model.curve().crossings.size(), 2u);
  const std::vector<std::vector<Point>> lines = model.CurveLines();
  ASSERT_EQ(lines.size(), 1u);
  for (const Point& p : lines[0]) {
    EXPECT_GE(p.x, -4);
    EXPECT_LE(p.x, 604);
    EXPECT_GE(p.y, -4);
    EXPECT_LE(p.y, 404);
  }
}

// Moves of the view, each from the first view of X^2-2 around 1 (X from -9 to 11).
TEST(GraphModelTest, TheViewMovesAsTheUserAsks) {
  const struct {
    const char* what;
    void (*move)(GraphModel&);
    Range x;
    double yShare;  // the Y span afterwards, as a share of the first one
  } cases[] = {
      {"wheel closer at the left edge", [](GraphModel& m) { m.ZoomAt(0, 200, 0.5); }, {-9, 1}, 0.5},
      {"wheel away at the middle", [](GraphModel& m) { m.ZoomAt(300, 200, 2); }, {-19, 21}, 2},
      {"+", [](GraphModel& m) { m.Zoom(0.8); }, {-7, 9}, 0.8},
      {"−", [](GraphModel& m) { m.Zoom(1.25); }, {-11.5, 13.5}, 1.25},
      {"drag 60 pixels right", [](GraphModel& m) { m.Drag(60, 0); }, {-11, 9}, 1},
      {"drag up", [](GraphModel& m) { m.Drag(0, -100); }, {-9, 11}, 1},
      {"right arrow", [](GraphModel& m) { m.Step(1, 0); }, {-7, 13}, 1},
      {"left arrow twice", [](GraphModel& m) { m.Step(-2, 0); }, {-13, 7}, 1},
      {"up arrow", [](GraphModel& m) { m.Step(0, 1); }, {-9, 11}, 1},
      {"Home after moves",
       [](GraphModel& m) {
         m.Drag(30, 40);
         m.Zoom(0.1);
         m.Home();
       },
       {-9, 11},
       1},
      {"closer than a millionth",
       [](GraphModel& m) {
         for (int i = 0; i < 100; ++i) m.Zoom(0.5);
       },
       {1 - 5e-7, 1 + 5e-7},
       0},
  };
  for (const auto& c : cases) {
    MainState state;
    GraphModel model;
    model.Resize(600, 400);
    model.Read(Define(state, 0, U"X^2-2"), U"1");
    const Range y = model.yRange();
    c.move(model);
    EXPECT_NEAR(model.xRange().low, c.x.low, 1e-9) << c.what;
    EXPECT_NEAR(model.xRange().high, c.x.high, 1e-9) << c.what;
    if (c.yShare > 0) {
      EXPECT_NEAR(model.yRange().Span(), y.Span() * c.yShare, 1e-9) << c.what;
    }
  }
}

TEST(GraphModelTest, ZoomKeepsTheValueUnderTheCursor) {
  MainState state;
  GraphModel model;
  model.Resize(600, 400);
  model.Read(Define(state, 0, U"X^2-2"), U"1");
  const double x = model.XAt(123);
  const double y = model.YAt(77);
  model.ZoomAt(123, 77, 0.8);
  model.ZoomAt(123, 77, 0.8);
  EXPECT_NEAR(model.XAt(123), x, 1e-9);
  EXPECT_NEAR(model.YAt(77), y, 1e-9);
  EXPECT_FALSE(model.atHome());
  EXPECT_NEAR(model.PixelX(x), 123, 1e-9);
  EXPECT_NEAR(model.PixelY(y), 77, 1e-9);
}

TEST(GraphModelTest, TheCurveFollowsTheDefinitionsAndAMovedViewStays) {
  MainState state;
  GraphModel model;
  model.Resize(600, 400);
  Define(state, 0, U"X^2-8*X+12");
  model.Read(state, U"10");
  model.RunNewton(U"10");
  ASSERT_TRUE(model.newton().has_value());

  // Only X changed (as after the main window's Newton command): the steps stay.
  Define(state, 23, U"6.0");
  model.Read(state, U"10");
  EXPECT_TRUE(model.newton().has_value());

  // A new equation: the curve follows, the steps go, the first view follows it.
  Define(state, 0, U"X-3");
  model.Read(state, U"10");
  EXPECT_FALSE(model.newton().has_value());
  ASSERT_EQ(model.curve().crossings.size(), 1u);
  EXPECT_NEAR(model.curve().crossings[0], 3, 0.05);

  // A moved view stays; Home goes to the first view of what was read last.
  model.Step(1, 0);
  const Range moved = model.xRange();
  Define(state, 0, U"X-4");
  model.Read(state, U"1");
  EXPECT_EQ(model.xRange(), moved);
  EXPECT_NEAR(model.curve().crossings.at(0), 4, 0.05);
  model.Home();
  EXPECT_EQ(model.xRange(), (Range{-9, 11}));
}

TEST(GraphModelTest, TheNewtonStepsInPixelsAndInTheTable) {
  MainState state;
  GraphModel model;
  model.Resize(600, 400);
  model.Read(Define(state, 0, U"X^2-8*X+12"), U"10");
  EXPECT_TRUE(model.NewtonLines().empty());
  EXPECT_EQ(model.Message(), U"「ニュートン法」を押すと、始点 10 からの各段階を描きます。");
  model.RunNewton(U"10");
  const NewtonTrace& trace = *model.newton();

  const std::vector<StepLines> lines = model.NewtonLines();
  ASSERT_EQ(lines.size(), trace.steps.size() + 1) << "each estimate and the one the run ended on";
  EXPECT_NEAR(lines[0].point.x, model.PixelX(10), 1e-9);
  EXPECT_NEAR(lines[0].point.y, model.PixelY(32), 1e-9);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_TRUE(lines[i].tangent.has_value()) << i;
    // From the point on the curve down to the X axis at the next estimate.
    EXPECT_EQ(lines[i].tangent->first, lines[i].point);
    EXPECT_NEAR(lines[i].tangent->second.x, model.PixelX(trace.steps[i].next), 1e-9);
    EXPECT_NEAR(lines[i].tangent->second.y, model.PixelY(0), 1e-9);
    // Then up to the curve there: the next point.
    ASSERT_TRUE(lines[i].riser.has_value()) << i;
    EXPECT_NEAR(lines[i].riser->second.x, lines[i + 1].point.x, 1e-9);
    EXPECT_NEAR(lines[i].riser->second.y, lines[i + 1].point.y, 1e-6);
    EXPECT_EQ(lines[i].n, static_cast<int>(i));
  }
  EXPECT_TRUE(lines[0].numbered);
  EXPECT_FALSE(lines.back().numbered) << "the last points crowd at the root: one number there";

  const std::vector<StepRow> rows = model.NewtonRows();
  ASSERT_EQ(rows.size(), lines.size());
  EXPECT_EQ(rows[0], (StepRow{U"0", U"10", U"32"}));
  EXPECT_EQ(rows.back().n, Ascii(std::to_string(trace.steps.size())));
  EXPECT_NEAR(*ReadNumber(rows.back().x), 6, 1e-5);
  EXPECT_NEAR(*ReadNumber(rows.back().ax), 0, 1e-4);
  EXPECT_EQ(model.Message(), trace.Message());
}

TEST(GraphModelTest, AFailedRunListsWhereItStopped) {
  const struct {
    const char32_t* a;
    std::size_t rows;
    const char32_t* lastAx;
  } cases[] = {
      {U"X^2+1", 51, nullptr},  // the limit: fifty steps and where they led
      {U"X*0+1", 1, U"1"},      // flat: the start point alone
      {U"X^2-4", 0, nullptr},   // from a start beyond a double: nothing to list
  };
  for (const auto& c : cases) {
    MainState state;
    GraphModel model;
    const TextView start = c.rows == 0 ? U"1E400" : U"1";
    model.Read(Define(state, 0, c.a), start);
    model.RunNewton(start);
    const std::vector<StepRow> rows = model.NewtonRows();
    ASSERT_EQ(rows.size(), c.rows) << ToUtf8(c.a);
    if (c.lastAx != nullptr) {
      EXPECT_EQ(rows.back().ax, c.lastAx) << ToUtf8(c.a);
    }
  }
}

TEST(GraphModelTest, TheCursorIsReadToAPixel) {
  MainState state;
  GraphModel model;
  model.Resize(200, 100);
  model.Read(Define(state, 0, U"X*2"), U"0");  // X from -10 to 10: a tenth of a unit per pixel
  const Text text = model.CoordinatesAt(151, 50);
  EXPECT_EQ(text.substr(0, text.find(U'　')), U"X = 5.1");
  EXPECT_NE(text.find(U"A(X) = 10.2"), Text::npos) << "A at the X shown: " << ToUtf8(text);
  model.Read(Define(state, 0, U"Sqr(X)"), U"0");
  EXPECT_NE(model.CoordinatesAt(10, 50).find(U"A(X) = なし"), Text::npos) << "A fails left of 0";
}

}  // namespace
}  // namespace suusiki::graph
