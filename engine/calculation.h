// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate pipeline: the checks of the typed formula, the expansion of
// every variable reference and of Pi, the functions from the rightmost call
// outward, and the operator reduction of the rest. It works on texts alone;
// the main window's state (MainState) stores the formula, runs this and turns
// a failure into the window's reaction.
#pragma once

#include <cstddef>

#include "engine/text.h"
#include "engine/variable_table.h"

namespace suusiki {

// Calculates `formula`, the definition of variable `current` (0 to 25; -1 for
// none), with the definitions of `table`: the formula is rewritten in place
// (its references expanded, each call replaced by its value), `result` gets
// the value text the operator reduction leaves and `answer` the answer line's
// text of it. A failure throws EngineError, the texts holding what had been
// written by then.
void RunCalculation(const VariableTable& table, int current, Text& formula, Text& result, Text& answer);

// The longest a formula may grow while its variables are expanded.
inline constexpr std::size_t kMaxExpandedLength = 500;

}  // namespace suusiki
