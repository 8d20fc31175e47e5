// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/value_at_x.h"

#include <cmath>

namespace suusiki {

ValueAtX CalculateAAtX(MainState& state, TextView point, FailedValue failed) {
  state.StoreAndReturnToA(kVariableX, point);
  ValueAtX at;
  at.effects = state.Calculate();
  if (at.effects.failure && failed == FailedValue::None) return at;
  at.value = ReadNumber(state.resultText());
  if (failed == FailedValue::None && at.value && !std::isfinite(*at.value)) at.value.reset();
  return at;
}

}  // namespace suusiki
