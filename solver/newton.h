// SPDX-License-Identifier: GPL-3.0-or-later
// The Newton command: finds one real root of the equation f(X) = 0 written as
// the definition of variable A, from a start point.
//
// The solver has no evaluator of its own. To get f at a point it stores the
// point's text as the definition of X and runs the calculate command on A,
// through the same MainState as the window, so every evaluation stores, saves
// and evaluates exactly as a click on "計算" would; it then reads the value back
// from the result text. The slope is the secant over [x, x + h].
#pragma once

#include "engine/main_state.h"

namespace suusiki {

// What the Newton command needs of the window besides its state.
class NewtonHost {
 public:
  virtual ~NewtonHost() = default;
  // The answer line shows "計算中": let the window draw it (one yield).
  virtual void Yield() = 0;
  virtual void Beep() = 0;
  // A message box titled "Check" with the exclamation icon and an OK button.
  virtual void Warn(TextView message) = 0;
  // An iteration moved the estimate from `x`, where f is `fx`, to `next`, where
  // the secant through f at x and x + h meets zero. For an observer that
  // draws the steps; the window has nothing to do here.
  virtual void Iterated(double /*x*/, double /*fx*/, double /*next*/) {}
};

// The equation check: the definition of A names X. A plain search for the
// character: a lower-case x does not count, the X of an upper-case EXP does.
inline bool NamesX(TextView definition) { return definition.find(U'X') != TextView::npos; }

inline constexpr double kNewtonStep = 0.0001;        // h of the forward difference
inline constexpr double kNewtonTolerance = 0.00001;  // two estimates this close have converged
inline constexpr int kNewtonIterationLimit = 50;
inline constexpr double kNewtonDisplayNudge = 1E-08;

inline constexpr char32_t kNoEquationMessage[] = U"変数Ａ欄に 方程式を X で入力せよ！";
inline constexpr char32_t kNotSolvableMessage[] = U"計算不能！";

// How a run of the Newton command ended.
enum class NewtonEnd {
  Root,         // converged: the answer line shows the root
  NoEquation,   // A does not name X
  NotSolvable,  // a flat step, a failed step, a step out of range or a start point that is no number
  Limit,        // no convergence within the iteration limit
};

// The message box that a run ending with `end` showed; empty for a root,
// which the answer line shows instead.
constexpr TextView NewtonMessage(NewtonEnd end) {
  switch (end) {
    case NewtonEnd::Root: return {};
    case NewtonEnd::NoEquation: return kNoEquationMessage;
    case NewtonEnd::NotSolvable:
    case NewtonEnd::Limit: break;
  }
  return kNotSolvableMessage;
}

// Runs the Newton command (the button "ﾆｭｰﾄﾝ"). `startPoint` is the text of
// the start-point box; it becomes "1" when empty. On success the answer line
// shows "X=", the root and a space, and the root is the definition of X.
NewtonEnd RunNewtonCommand(MainState& state, Text& startPoint, NewtonHost& host);

}  // namespace suusiki
