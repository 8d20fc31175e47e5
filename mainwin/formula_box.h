// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the formula box at its caret: the insert buttons, "BS" and "DEL".
// Offsets count characters, a full-width one as one; a selection is never
// replaced, its start is the caret.
#pragma once

#include "engine/text.h"

namespace suusiki {

struct BoxEdit {
  Text text;
  int caret = 0;
};

// `insertion` goes in at the caret; the caret ends up after it.
BoxEdit InsertAtCaret(TextView text, int caret, TextView insertion);
// The character before the caret goes; at the start nothing changes.
BoxEdit DeleteBeforeCaret(TextView text, int caret);
// The selection goes, or the character after the caret; at the end nothing changes.
BoxEdit DeleteAfterCaret(TextView text, int caret, int selectionLength);

}  // namespace suusiki
