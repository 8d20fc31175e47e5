// SPDX-License-Identifier: GPL-3.0-or-later
// The checks and the repair that run on the typed formula before it is
// expanded: the adjacency checks and the operator-plus repair.
#pragma once

#include "engine/text.h"

namespace suusiki {

// Rejects a number or a bracket written directly against a letter or a bracket:
// ")" before a letter, a digit before "(", ")" before a digit, a digit next to a
// letter. There is no implied multiplication. Fails with Failure::Syntax.
void CheckAdjacency(TextView formula);

// Deletes the "+" of the first "++", "-+", "*+", "/+", "^+" and "(+" (one
// occurrence of each pair), then one leading "+". A pair at the very start of
// the formula fails with Failure::Syntax.
void RepairOperatorPlus(Text& formula);

}  // namespace suusiki
