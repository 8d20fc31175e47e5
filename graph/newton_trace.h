// SPDX-License-Identifier: GPL-3.0-or-later
// The Newton command run on a private copy of the state, step by step: every
// estimate, A there, and where its tangent meets the X axis.
#pragma once

#include <optional>
#include <vector>

#include "engine/main_state.h"
#include "solver/newton.h"

namespace suusiki::graph {

// One iteration: from the estimate x, where A is fx, the tangent (the secant
// over x and x + h) meets the X axis at next.
struct NewtonStep {
  double x = 0;
  double fx = 0;
  double next = 0;
};

struct NewtonTrace {
  using End = NewtonEnd;

  Text start;  // the start point as the command took it: "1" for an empty box
  std::vector<NewtonStep> steps;
  Text answerLine;  // what the run left in the answer line ("X=6.0 " after a root)
  Text warning;     // the message box the run showed; empty when none
  End end = End::Root;

  // The estimate the run ended on: the root, or where the last step led.
  std::optional<double> last() const;
  // What the window says about the run: the root line or the message box's
  // text, with a word on why the method stopped.
  Text Message() const;
};

// Runs the Newton command from `startPoint` on a copy of `state` that saves
// nowhere, with A current and its stored definition in the formula box, and
// records each step.
NewtonTrace TraceNewton(const MainState& state, TextView startPoint);

}  // namespace suusiki::graph
