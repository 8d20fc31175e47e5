// SPDX-License-Identifier: GPL-3.0-or-later
// The printed variable list: the current variable with its formula and last
// result, a rule, and every variable that holds something.
#pragma once

#include <vector>

#include "engine/main_state.h"

namespace suusiki {

// The page's lines, without line ends.
std::vector<Text> PrintLines(const MainState& state);

}  // namespace suusiki
