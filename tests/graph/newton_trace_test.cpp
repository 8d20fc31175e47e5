// SPDX-License-Identifier: GPL-3.0-or-later
// The Newton run of the graph: its steps, and the same result as the Newton
// command gives on the state itself, while that state stays untouched.
#include "graph/newton_trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/newton.h"
#include "tests/fakes.h"

namespace suusiki::graph {
namespace {

struct Solve {
  std::string a;
  std::string start;
  NewtonTrace::End end;
  std::size_t steps;  // iterations that computed a next estimate
};

void PrintTo(const Solve& r, std::ostream* os) { *os << r.a << " from \"" << r.start << '"'; }

class NewtonTraceTest : public ::testing::TestWithParam<Solve> {};

TEST_P(NewtonTraceTest, StepsToTheSameResultAsTheCommand) {
  const Solve& r = GetParam();
  RecordingSave save;
  MainState state(&save);
  VariableTable table = EmptyTable();
  table[0] = EntryFor(0, FromUtf8(r.a));
  table[23] = U"X: 123";
  state.LoadTable(table);
  state.SelectRow(4);  // another variable current, as in the window
  const VariableTable before = state.table();

  const NewtonTrace trace = TraceNewton(state, FromUtf8(r.start));

  EXPECT_EQ(state.table(), before) << "the run is on a copy";
  EXPECT_EQ(state.current(), 4);
  EXPECT_TRUE(save.saved.empty()) << "the copy saves nowhere";
  EXPECT_EQ(trace.end, r.end);
  EXPECT_EQ(trace.steps.size(), r.steps);
  EXPECT_EQ(trace.start, r.start.empty() ? U"1" : FromUtf8(r.start));
  for (std::size_t i = 0; i + 1 < trace.steps.size(); ++i) {
    EXPECT_EQ(trace.steps[i].next, trace.steps[i + 1].x) << "each step starts where the last one led";
  }

  // The command itself, on the state the window uses, from the same start.
  state.SelectRow(0);
  RecordingHost host;
  Text start = FromUtf8(r.start);
  RunNewtonCommand(state, start, host);
  EXPECT_EQ(trace.answerLine, state.answerLine());
  EXPECT_EQ(ToUtf8(trace.warning), host.warning());
  if (r.end == NewtonTrace::End::Root) {
    ASSERT_TRUE(trace.last().has_value());
    EXPECT_EQ(U"X=" + DefinitionOf(state.table()[23]) + U" ", trace.answerLine);
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, NewtonTraceTest,
                         ::testing::Values(Solve{"X^2-8*X+12", "10", NewtonTrace::End::Root, 6},
                                           Solve{"X^2-8*X+12", "1", NewtonTrace::End::Root, 5},
                                           Solve{"X^2-8*X+12", "", NewtonTrace::End::Root, 5},
                                           Solve{"Sin(X)-0.5", "10", NewtonTrace::End::Root, 4},
                                           Solve{"X^3+2*X^2+8", "1", NewtonTrace::End::Root, 30},
                                           Solve{"2*X-3", "1", NewtonTrace::End::Root, 2},
                                           // No real root: the limit.
                                           Solve{"X^2+1", "1", NewtonTrace::End::Limit, 50},
                                           // Flat: "計算不能！" before the first step.
                                           Solve{"X*0+1", "1", NewtonTrace::End::NotSolvable, 0},
                                           Solve{"X^2-4", "1E400", NewtonTrace::End::NotSolvable, 0},
                                           Solve{"x^2-4", "1", NewtonTrace::End::NoEquation, 0},
                                           Solve{"", "1", NewtonTrace::End::NoEquation, 0}));

TEST(NewtonTraceTest, TheParabolaFromTenStepsDownToSix) {
  MainState state;
  VariableTable table = EmptyTable();
  table[0] = U"A: X^2-8*X+12";
  state.LoadTable(table);
  const NewtonTrace trace = TraceNewton(state, U"10");
  ASSERT_FALSE(trace.steps.empty());
  EXPECT_EQ(trace.steps[0].x, 10);
  EXPECT_EQ(trace.steps[0].fx, 32);
  // The tangent at 10 (slope about 12) meets the axis near 7.33.
  EXPECT_NEAR(trace.steps[0].next, 10 - 32 / 12.0, 1e-3);
  for (const NewtonStep& s : trace.steps) {
    EXPECT_GT(s.x, 6 - 1e-5) << "from the right, every estimate stays right of the root";
    EXPECT_NEAR(s.fx, s.x * s.x - 8 * s.x + 12, 1e-9);
  }
  EXPECT_NEAR(*trace.last(), 6, 1e-5);
  EXPECT_EQ(trace.answerLine, U"X=6.0 ");
  EXPECT_EQ(trace.Message(), U"X=6.0（6 回の繰り返しで収束）");
}

TEST(NewtonTraceTest, MessagesSayWhyTheMethodStopped) {
  const struct {
    const char32_t* a;
    const char32_t* message;
  } cases[] = {
      {U"X^2+1", U"計算不能！（50 回の繰り返しで収束しません）"},
      {U"X*0+1", U"計算不能！（傾きが 0 か、次の点が求まりません）"},
      {U"5", U"変数Ａ欄に 方程式を X で入力せよ！"},
  };
  for (const auto& c : cases) {
    MainState state;
    VariableTable table = EmptyTable();
    table[0] = EntryFor(0, c.a);
    state.LoadTable(table);
    EXPECT_EQ(TraceNewton(state, U"1").Message(), c.message) << ToUtf8(c.a);
  }
}

}  // namespace
}  // namespace suusiki::graph
