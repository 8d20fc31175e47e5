// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds formulas to the calculate command and to exact decimal arithmetic.
//
// The input is the formula. Where the exact evaluator can judge it (its
// grammar reads it, and its outcome is certain), a fresh state calculates it;
// an answer that differs from the exact one (a value off by more than a
// relative 1e-9, an answer line that is not AnswerText of the value, another
// failure or message) is a finding, printed before the abort.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/main_state.h"
#include "tests/engine/exact_arithmetic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view formula(reinterpret_cast<const char*>(data), size);
  const suusiki::exact::ExactValue exact = suusiki::exact::Evaluate(formula);
  if (!suusiki::exact::Compared(exact)) return 0;
  suusiki::MainState state;
  state.TypeInFormulaBox(suusiki::FromUtf8(formula));
  const suusiki::Effects effects = state.Calculate();
  if (!suusiki::exact::Agrees(exact, state, effects)) {
    std::fprintf(stderr, "differs: %s\n", suusiki::exact::Difference(formula, exact, state).c_str());
    std::abort();
  }
  return 0;
}
