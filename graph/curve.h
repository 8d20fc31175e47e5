// SPDX-License-Identifier: GPL-3.0-or-later
// y = A(X) sampled through the calculate command: one sample per pixel column,
// cut into pieces where A fails or jumps, with the places where it changes sign.
#pragma once

#include <optional>
#include <vector>

#include "engine/main_state.h"
#include "graph/plot.h"

namespace suusiki::graph {

// A at a point, calculated on a private copy of a state: X's definition
// becomes the point's text, A is calculated and its value read from the result
// text, as the Newton command does. The copy saves nowhere, so the table it
// was copied from and its file stay as they are.
class Evaluator {
 public:
  // Copies `state` and makes A current on the copy with its stored definition.
  explicit Evaluator(const MainState& state);

  // A's value at X = `x`; nothing where the calculation fails (a syntax error,
  // a division by zero, an argument outside a function's domain, an overflow).
  std::optional<double> At(double x);
  // How many calculations ran, for the curious and the tests.
  long calculations() const { return calculations_; }

 private:
  MainState state_;
  long calculations_ = 0;
};

struct Sample {
  double x = 0;
  std::optional<double> y;
};

struct Curve {
  // The value at the middle of each pixel column, from the left.
  std::vector<Sample> samples;
  // Runs of samples to join with lines: a failure of A or a jump ends one.
  std::vector<std::vector<Point>> pieces;
  // Where A changes sign within a piece: between two samples of opposite
  // signs, or at the first of the zeros between them.
  std::vector<double> crossings;
};

// A over `x`, at the middle of each of `columns` columns.
std::vector<Sample> SampleColumns(Evaluator& a, const Range& x, int columns);

// Joins the samples into pieces. Where two neighbours differ by more than
// `jumpHeight`, the interval between them is halved a few times: a change that
// does not shrink with it is a jump (Tan across 90), and the curve is not
// joined there.
Curve Join(Evaluator& a, std::vector<Sample> samples, double jumpHeight);

inline Curve SampleCurve(Evaluator& a, const Range& x, int columns, double jumpHeight) {
  return Join(a, SampleColumns(a, x, columns), jumpHeight);
}

}  // namespace suusiki::graph
