// SPDX-License-Identifier: GPL-3.0-or-later
// The constant Pi in a formula, and the characters after which a variable's
// letter or Pi is replaced.
#pragma once

#include <cstddef>

#include "engine/text.h"

namespace suusiki {

// The characters that may follow a variable's letter or Pi for it to be
// replaced, in the order the expansion tries them.
inline constexpr char32_t kFollowers[] = {U'+', U'-', U'*', U'/', U')', U'^', U' '};
inline bool IsFollower(char32_t c) {
  for (char32_t f : kFollowers) {
    if (c == f) return true;
  }
  return false;
}

// The digits that stand for Pi: 4 x arctangent(1), 15 significant digits.
const Text& PiText();

// Replaces Pi, written in any letter case and followed by "+", "-", "*", "/",
// "^", a space or ")", by PiText(); the follower stays. Pi followed by anything
// else is left alone.
void SubstitutePi(Text& formula);
// The same for the occurrences that lie within the characters `from` to
// `to` - 1 (the follower included), when no other can be in the formula.
void SubstitutePi(Text& formula, std::size_t from, std::size_t to);

}  // namespace suusiki
