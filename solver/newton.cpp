// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/newton.h"

#include <cmath>
#include <optional>

#include "engine/number_text.h"
#include "solver/value_at_x.h"

namespace suusiki {
namespace {

// The next estimate is written with up to 13 decimals (the start point and the
// estimate plus h with the 15 of every point).
constexpr NumberPattern kEstimatePattern = NumberPattern::Parse("#0.#############");

class Newton {
 public:
  Newton(MainState& state, NewtonHost& host) : state_(state), host_(host) {}

  NewtonEnd Run(Text& startPoint) {
    state_.ShowAnswer(U"計算中　　　　　　　");
    host_.Yield();

    // The definition being edited is kept, whichever variable is current.
    state_.StoreFormulaBox();
    state_.SelectRow(kVariableA);

    if (!NamesX(state().formulaBox())) {
      host_.Beep();
      state_.SelectRow(kVariableA);
      state_.ShowAnswer(U"");
      host_.Warn(kNoEquationMessage);
      return NewtonEnd::NoEquation;
    }

    Calculate();
    state_.ShowAnswer(U"");

    // An empty start point becomes "1" (appended: assigning U"1" trips a false -Wrestrict in GCC 12).
    if (startPoint.empty()) startPoint.push_back(U'1');
    Text point = startPoint;
    const std::optional<double> start = ReadNumber(point);
    if (!start) return GiveUp(NewtonEnd::NotSolvable);
    double x = *start;
    state_.ShowVariableLabel(U"A: ");

    for (int iteration = 1;; ++iteration) {
      if (iteration > kNewtonIterationLimit) return GiveUp(NewtonEnd::Limit);
      const std::optional<double> f1 = EvaluateAt(point);
      point = NumberText(x + kNewtonStep, kPointPattern);
      const std::optional<double> f2 = EvaluateAt(point);
      if (!f1 || !f2 || *f2 == *f1) return GiveUp(NewtonEnd::NotSolvable);
      const double previous = x;
      const double step = kNewtonStep * *f1;
      x = previous - step / (*f2 - *f1);
      host_.Iterated(previous, *f1, x);
      if (!std::isfinite(x)) return GiveUp(NewtonEnd::NotSolvable);
      if (std::fabs(x - previous) < kNewtonTolerance) break;
      point = NumberText(x, kEstimatePattern);
    }

    host_.Beep();
    const double nudge = x < 0 ? -kNewtonDisplayNudge : kNewtonDisplayNudge;
    Text root = NumberText(x + nudge, kPointPattern);
    // A run of six zeros is cut after its first zero: a whole root shows one.
    if (const int p = InStr(root, U"000000"); p > 0) root.resize(static_cast<std::size_t>(p));
    state_.ShowAnswer(U"X=" + root + U" ");
    // The root becomes the definition of X, without a calculation.
    state_.StoreAndReturnToA(kVariableX, root);
    return NewtonEnd::Root;
  }

 private:
  const MainState& state() const { return state_; }

  // f at `point`, read from the result text of A's calculation.
  std::optional<double> EvaluateAt(TextView point) {
    const ValueAtX at = CalculateAAtX(state_, point, FailedValue::ResultText);
    if (at.effects.beep) host_.Beep();
    return at.value;
  }

  void Calculate() {
    if (state_.Calculate().beep) host_.Beep();
  }

  // No root within the iteration limit, a flat step or a step beyond the range
  // of a double: X keeps the last point evaluated.
  NewtonEnd GiveUp(NewtonEnd end) {
    host_.Beep();
    host_.Warn(kNotSolvableMessage);
    return end;
  }

  MainState& state_;
  NewtonHost& host_;
};

}  // namespace

NewtonEnd RunNewtonCommand(MainState& state, Text& startPoint, NewtonHost& host) {
  return Newton(state, host).Run(startPoint);
}

}  // namespace suusiki
