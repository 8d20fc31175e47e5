// SPDX-License-Identifier: GPL-3.0-or-later
// The Newton command on the state the window uses, with the host answered by
// the test.
#include "solver/newton.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/number_text.h"
#include "tests/fakes.h"

namespace suusiki {
namespace {

struct Solve {
  std::string equation;
  std::string start;
  std::string answer;        // the answer line afterwards
  std::string warning = {};  // the message box, if any
  int beeps = 1;             // a root, a message box: one beep; each failed calculation one more
};

void PrintTo(const Solve& s, std::ostream* os) { *os << s.equation << " from \"" << s.start << '"'; }

class NewtonTest : public ::testing::TestWithParam<Solve> {};

TEST_P(NewtonTest, FindsTheRootOrSaysWhy) {
  const Solve& c = GetParam();
  RecordingSave save;
  MainState state(&save);
  RecordingHost host;
  host.state = &state;
  VariableTable table = EmptyTable();
  table[0] = EntryFor(0, FromUtf8(c.equation));
  state.LoadTable(table);
  state.TypeInFormulaBox(FromUtf8(c.equation));
  Text start = FromUtf8(c.start);

  const NewtonEnd end = RunNewtonCommand(state, start, host);

  EXPECT_EQ(ToUtf8(NewtonMessage(end)), c.warning) << "the outcome names the message shown";
  EXPECT_EQ(host.shownWhileYielding, std::vector<std::string>{"計算中　　　　　　　"});
  EXPECT_EQ(ToUtf8(state.answerLine()), c.answer);
  EXPECT_EQ(host.warnings.empty() ? "" : host.warnings.front(), c.warning);
  EXPECT_LE(host.warnings.size(), 1u);
  EXPECT_EQ(host.beeps, c.beeps);
  EXPECT_EQ(state.current(), 0);
  EXPECT_EQ(ToUtf8(state.formulaBox()), c.equation);
  EXPECT_EQ(ToUtf8(state.listEdit()), c.equation);
  EXPECT_EQ(ToUtf8(state.table()[0]), "A: " + c.equation);
  EXPECT_FALSE(save.saved.empty());
  EXPECT_EQ(save.saved.back(), state.table()) << "every store is saved";
  if (c.warning.empty()) {
    EXPECT_EQ("X: " + c.answer.substr(2, c.answer.size() - 3), ToUtf8(state.table()[23]))
        << "the root is the definition of X";
    EXPECT_EQ(ToUtf8(state.variableLabel()), "A: ");
  }
}

INSTANTIATE_TEST_SUITE_P(Roots, NewtonTest,
                         ::testing::Values(Solve{"X^2-8*X+12", "1", "X=2.0 "}, Solve{"X^2-8*X+12", "10", "X=6.0 "},
                                           Solve{"X^2-8*X+12", "", "X=2.0 "}, Solve{"X+3", "1", "X=-3.0 "},
                                           Solve{"2*X-3", "1", "X=1.50 "},
                                           Solve{"X^3+2*X^2+8", "1", "X=-2.93114247374587 "},
                                           // The nudge raises the eighth decimal of the root of 2 (6) to 7. f is
                                           // taken at the 13-place text of each estimate, so the run stops about
                                           // 8E-11 above the root, and a little above 0.25 for.
                                           Solve{"X^2-2", "1", "X=1.4142135724531 "},
                                           Solve{"X-0.25", "1", "X=0.250000010000017 "},
                                           Solve{"Sin(X)-0.5", "10", "X=30.0 "},
                                           // Every negative X is a negative number in f, also where it is raised.
                                           Solve{"X^3+X^2", "-2", "X=-1.0 "}, Solve{"X^2+X^2-8", "-3", "X=-2.0 "},
                                           // A start at the root: a root of 0 is nudged up.
                                           Solve{"X^2+X", "0", "X=0.0 "},
                                           // The first step is exactly the tolerance: the run goes on.
                                           Solve{"X^2+0.9999*X+0.00001", "0", "X=-0.000010011100022 "},
                                           // Each failed calculation beeps too: Log(X-5) fails before the
                                           // run, at 1, at 1.0001 and at 5.
                                           Solve{"Log(X-5)", "1", "X=5.0 ", "", 5}));

INSTANTIATE_TEST_SUITE_P(Failures, NewtonTest,
                         ::testing::Values(Solve{"X^2+1", "1", "1.43950624628438 ",
                                                 "計算不能！"},  // no real root: 50 iterations
                                           Solve{"x^2-4", "1", "", "変数Ａ欄に 方程式を X で入力せよ！"},
                                           Solve{"5", "1", "", "変数Ａ欄に 方程式を X で入力せよ！"},
                                           // Flat: f(x + h) equals f(x).
                                           Solve{"X*0+1", "1", "1. ", "計算不能！"},
                                           Solve{"EXP(2)+X*0", "1", "7.38905609893065 ", "計算不能！"},
                                           Solve{"X^2-4", "1E400", "", "計算不能！"}));

TEST(NewtonCommandTest, AnEmptyStartPointBecomesOne) {
  MainState state;
  RecordingHost host;
  host.state = &state;
  state.TypeInFormulaBox(U"X-1");
  Text start;
  RunNewtonCommand(state, start, host);
  EXPECT_EQ(start, U"1");
}

TEST(NewtonCommandTest, TheFormulaBeingEditedIsStoredBeforeAIsSelected) {
  // Records count by position: a hand-edited file may start A's with another letter.
  for (const char32_t* first : {U"A: X^2-8*X+12", U"Q: X^2-8*X+12"}) {
    RecordingSave save;
    MainState state(&save);
    RecordingHost host;
    host.state = &state;
    VariableTable table = EmptyTable();
    table[0] = first;
    state.LoadTable(table);
    state.SelectRow(1);
    state.TypeInFormulaBox(U"2*3");  // typed into B, not stored yet
    Text start = U"1";
    RunNewtonCommand(state, start, host);
    EXPECT_EQ(state.table()[1], U"B: 2*3");
    EXPECT_EQ(state.current(), 0);
    EXPECT_EQ(state.answerLine(), U"X=2.0 ");
    EXPECT_EQ(state.table()[0], U"A: X^2-8*X+12");
    EXPECT_EQ(state.variableLabel(), U"A: ");
  }
}

TEST(NewtonCommandTest, AtTheLimitXKeepsTheLastPointEvaluated) {
  MainState state;
  RecordingHost host;
  host.state = &state;
  state.TypeInFormulaBox(U"X^2+1");
  Text start = U"1";
  RunNewtonCommand(state, start, host);
  EXPECT_EQ(host.warnings, std::vector<std::string>{"計算不能！"});
  const Text x = DefinitionOf(state.table()[23]);
  EXPECT_FALSE(x.empty());
  // The answer line shows f at that point.
  const double point = *ReadNumber(x);
  EXPECT_NEAR(*ReadNumber(state.answerLine()), point * point + 1, 1e-9);
}

TEST(NewtonCommandTest, ErrorsInsideTheEquationAreReportedByTheCalculationOnly) {
  MainState state;
  RecordingHost host;
  host.state = &state;
  // The logarithm of a negative number fails in every evaluation; the solver
  // goes on with what the result text holds, the argument X-5.
  state.TypeInFormulaBox(U"Log(X-5)");
  Text start = U"1";
  RunNewtonCommand(state, start, host);
  EXPECT_GT(host.beeps, 2);
  EXPECT_TRUE(host.warnings.empty());
  EXPECT_EQ(state.answerLine(), U"X=5.0 ");
}

TEST(NewtonCommandTest, AnObserverSeesEveryStepAndChangesNothing) {
  struct Observer : RecordingHost {
    void Iterated(double x, double fx, double next) override { steps.push_back({x, fx, next}); }
    std::vector<std::array<double, 3>> steps;
  };
  const struct {
    const char32_t* equation;
    std::size_t steps;
    double firstFx;
  } cases[] = {
      {U"X^2-8*X+12", 6, 32},  // from 10 down to 6
      {U"X^2+1", 50, 101},     // the limit: every iteration that ran
      {U"X*0+1", 0, 0},        // flat from the start: no step
  };
  for (const auto& c : cases) {
    MainState observed;
    MainState plain;
    Observer observer;
    RecordingHost host;
    observer.state = &observed;
    host.state = &plain;
    observed.TypeInFormulaBox(c.equation);
    plain.TypeInFormulaBox(c.equation);
    Text start1 = U"10";
    Text start2 = U"10";
    RunNewtonCommand(observed, start1, observer);
    RunNewtonCommand(plain, start2, host);
    EXPECT_EQ(observed.answerLine(), plain.answerLine()) << ToUtf8(c.equation);
    EXPECT_EQ(observed.table(), plain.table()) << ToUtf8(c.equation);
    EXPECT_EQ(observer.warnings, host.warnings) << ToUtf8(c.equation);
    ASSERT_EQ(observer.steps.size(), c.steps) << ToUtf8(c.equation);
    if (c.steps == 0) continue;
    EXPECT_EQ(observer.steps[0][0], 10);
    EXPECT_EQ(observer.steps[0][1], c.firstFx);
    for (std::size_t i = 0; i + 1 < observer.steps.size(); ++i) {
      EXPECT_EQ(observer.steps[i][2], observer.steps[i + 1][0]) << "each step starts where the last one led";
    }
  }
}

}  // namespace
}  // namespace suusiki
