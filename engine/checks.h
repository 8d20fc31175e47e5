// SPDX-License-Identifier: GPL-3.0-or-later
// Checks and rewrites that run on the working formula before and during its
// evaluation: the adjacency checks, the operator-plus repair, the Pi digits and
// the location of the rightmost function call.
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

// The ten functions, in the order of their names' table.
enum class Function { Abs, Atn, Cos, Exp, Fix, Int, Log, Sin, Sqr, Tan };

struct Call {
  Function function;
  int start = 0;  // 1-based position of the name's first letter
  int end = 0;    // position of the ")" that closes the bracket after the name
  Text argument;  // the call without its three-letter name, brackets included
};

// Finds the rightmost function name (any letter case). Returns false when the
// formula names no function. A name that is followed by "(" without a matching
// ")" , or that ends the formula, fails with Failure::InvalidArgument; a name
// followed by anything else than "(" yields a call of the name and one character.
bool LocateRightmostCall(TextView formula, Call& call);

}  // namespace suusiki
