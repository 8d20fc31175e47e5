// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/newton.h"

#include <cmath>
#include <optional>

#include "engine/number_text.h"

namespace suusiki {
namespace {

constexpr int kA = 0;
constexpr int kX = 23;

// The start point and the estimate plus h are written with up to 15 decimals,
// the next estimate with up to 13.
constexpr NumberPattern kPointPattern = NumberPattern::Parse("#0.###############");
constexpr NumberPattern kEstimatePattern = NumberPattern::Parse("#0.#############");

class Newton {
 public:
  Newton(MainState& state, NewtonHost& host) : steps_(state), host_(host) {}

  void Run(Text& startPoint) {
    steps_.ShowAnswer(U"計算中　　　　　　　");
    host_.Yield();

    // The definition being edited is kept, whichever variable is current.
    steps_.StoreFormulaBox();
    steps_.SelectRow(kA);

    if (!NamesX(state().formulaBox())) {
      host_.Beep();
      steps_.SelectRow(kA);
      steps_.ShowAnswer(U"");
      host_.Warn(kNoEquationMessage);
      return;
    }

    Calculate();
    steps_.ShowAnswer(U"");

    // An empty start point becomes "1" (appended: assigning U"1" trips a false -Wrestrict in GCC 12).
    if (startPoint.empty()) startPoint.push_back(U'1');
    Text point = startPoint;
    const std::optional<double> start = ReadNumber(point);
    if (!start) return GiveUp();
    double x = *start;
    steps_.ShowVariableLabel(U"A: ");

    for (int iteration = 1;; ++iteration) {
      if (iteration > kNewtonIterationLimit) return GiveUp();
      const std::optional<double> f1 = EvaluateAt(point);
      point = NumberText(x + kNewtonStep, kPointPattern);
      const std::optional<double> f2 = EvaluateAt(point);
      if (!f1 || !f2 || *f2 == *f1) return GiveUp();
      const double previous = x;
      const double step = kNewtonStep * *f1;
      x = previous - step / (*f2 - *f1);
      host_.Iterated(previous, *f1, x);
      if (!std::isfinite(x)) return GiveUp();
      if (std::fabs(x - previous) < kNewtonTolerance) break;
      point = NumberText(x, kEstimatePattern);
    }

    host_.Beep();
    const double nudge = x < 0 ? -kNewtonDisplayNudge : kNewtonDisplayNudge;
    Text root = NumberText(x + nudge, kPointPattern);
    // A run of six zeros is cut after its first zero: a whole root shows one.
    if (const int p = InStr(root, U"000000"); p > 0) root.resize(static_cast<std::size_t>(p));
    steps_.ShowAnswer(U"X=" + root + U" ");
    // The root becomes the definition of X, without a calculation.
    steps_.StoreAndReturnToA(kX, root);
  }

 private:
  const MainState& state() const { return steps_.state(); }

  // f at `point`: X becomes `point`, A is calculated, and the number is read
  // from the result text of the calculation.
  std::optional<double> EvaluateAt(TextView point) {
    steps_.StoreAndReturnToA(kX, point);
    Calculate();
    return ReadNumber(state().resultText());
  }

  void Calculate() {
    if (steps_.Calculate().beep) host_.Beep();
  }

  // No root within the iteration limit, a flat step or a step beyond the range
  // of a double: X keeps the last point evaluated.
  void GiveUp() {
    host_.Beep();
    host_.Warn(kNotSolvableMessage);
  }

  SolverSteps steps_;
  NewtonHost& host_;
};

}  // namespace

void RunNewtonCommand(MainState& state, Text& startPoint, NewtonHost& host) { Newton(state, host).Run(startPoint); }

}  // namespace suusiki
