// SPDX-License-Identifier: GPL-3.0-or-later
// A at a point: the one way the Newton command and the graph get f(X). X gets
// the point as its definition, and A is calculated through the same state as
// the window, so every evaluation stores, saves and evaluates exactly as a
// click on "計算" would.
#pragma once

#include <optional>

#include "engine/main_state.h"
#include "engine/number_text.h"

namespace suusiki {

// The points X takes (the start point, each estimate plus h, the root, the
// graph's samples) are written with up to 15 decimals.
inline constexpr NumberPattern kPointPattern = NumberPattern::Parse("#0.###############");

// What A is worth where its calculation fails.
enum class FailedValue {
  // Legacy: the Newton command reads the result text whatever the calculation
  // did, so after a failure it reads what the reduction had left (the number
  // it stopped at, or 0 for an empty text). Its flat-step check and its
  // iteration limit end such a run with "計算不能！", as they always have.
  ResultText,
  // The graph: no value, a gap in the curve.
  None,
};

struct ValueAtX {
  std::optional<double> value;  // nullopt: none (and with ResultText: a result text beyond the range)
  Effects effects;              // how the calculation of A ended
};

// Stores `point` as the definition of X (and saves), makes A current with its
// definition in the formula box, and calculates A.
ValueAtX CalculateAAtX(MainState& state, TextView point, FailedValue failed);

}  // namespace suusiki
