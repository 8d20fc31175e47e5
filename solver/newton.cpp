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
  Newton(MainState& state, NewtonHost& host) : state_(state), host_(host) {}

  void Run(Text& startPoint) {
    state_.answerLine = U"計算中　　　　　　　";
    host_.Yield();

    // The definition being edited is kept, whichever variable is current.
    if (state_.current >= 0) {
      state_.entryText = state_.formulaBox;
      state_.CommitEntry(state_.current, state_.entryText);
      state_.formulaBox = state_.entryText;
    }
    state_.current = kA;
    state_.SelectRow(kA);

    // A plain search for the character X: a lower-case x does not count, the
    // X of an upper-case EXP does.
    if (state_.formulaBox.find(U'X') == Text::npos) {
      host_.Beep();
      state_.SelectRow(kA);
      state_.formulaBox = state_.listEdit;
      state_.answerLine.clear();
      host_.Warn(kNoEquationMessage);
      return;
    }

    Calculate();
    state_.answerLine.clear();

    if (startPoint.empty()) startPoint = U"1";
    state_.entryText = startPoint;
    const std::optional<double> start = ReadNumber(state_.entryText);
    if (!start) return GiveUp();
    double x = *start;
    state_.variableLabel = U"A: ";

    for (int iteration = 1;; ++iteration) {
      if (iteration > kNewtonIterationLimit) return GiveUp();
      const std::optional<double> f1 = EvaluateAt(state_.entryText);
      state_.entryText = NumberText(x + kNewtonStep, kPointPattern);
      const std::optional<double> f2 = EvaluateAt(state_.entryText);
      if (!f1 || !f2 || *f2 == *f1) return GiveUp();
      const double previous = x;
      const double step = kNewtonStep * *f1;
      x = previous - step / (*f2 - *f1);
      if (!std::isfinite(x)) return GiveUp();
      if (std::fabs(x - previous) < kNewtonTolerance) break;
      state_.entryText = NumberText(x, kEstimatePattern);
    }

    host_.Beep();
    const double nudge = x < 0 ? -kNewtonDisplayNudge : kNewtonDisplayNudge;
    Text root = NumberText(x + nudge, kPointPattern);
    // A run of six zeros is cut after its first zero: a whole root shows one.
    if (const int p = InStr(root, U"000000"); p > 0) root.resize(static_cast<std::size_t>(p));
    state_.answerLine = U"X=" + root + U" ";
    state_.entryText = root;
    Store(root);  // the root becomes the definition of X, without a calculation
  }

 private:
  // X becomes `point`; A is current again with its definition in the boxes.
  void Store(TextView point) {
    state_.CommitEntry(kX, point);
    state_.formulaBox = Text(point);
    state_.current = kA;
    state_.listEdit = DefinitionOf(state_.table[kA]);
    state_.formulaBox = state_.listEdit;
  }

  // f at `point`: the number read from the result text of the calculation.
  std::optional<double> EvaluateAt(TextView point) {
    Store(point);
    Calculate();
    return ReadNumber(state_.resultText);
  }

  void Calculate() {
    if (state_.Calculate().beep) host_.Beep();
  }

  // No root within the iteration limit, a flat step or a step beyond the range
  // of a double: X keeps the last point evaluated.
  void GiveUp() {
    host_.Beep();
    host_.Warn(kNotSolvableMessage);
  }

  MainState& state_;
  NewtonHost& host_;
};

}  // namespace

void RunNewtonCommand(MainState& state, Text& startPoint, NewtonHost& host) {
  Newton(state, host).Run(startPoint);
}

}  // namespace suusiki
