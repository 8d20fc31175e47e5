// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/pi.h"

#include <algorithm>

#include "engine/arithmetic.h"
#include "engine/number_text.h"

namespace suusiki {

const Text& PiText() {
  static const Text kText = NumberText(Pi(), kPiPattern);
  return kText;
}

namespace {

char32_t Lower(char32_t c) { return IsUpper(c) ? c + 32 : c; }

}  // namespace

void SubstitutePi(Text& formula) { SubstitutePi(formula, 0, formula.size()); }

void SubstitutePi(Text& formula, std::size_t from, std::size_t to) {
  // Occurrences of Pi with a follower never overlap, and the digits that replace
  // one can't form another, so replacing them all in one pass from the left
  // gives the same text as replacing them one at a time in any order.
  const auto at = [&formula](std::size_t i) {
    return Lower(formula[i]) == U'p' && Lower(formula[i + 1]) == U'i' && IsFollower(formula[i + 2]);
  };
  const std::size_t n = formula.size();
  to = std::min(to, n);
  std::size_t i = from;
  for (; i + 2 < to; ++i) {
    if (at(i)) break;
  }
  if (i + 2 >= to) return;
  Text out;
  out.reserve(n + 16);
  out.append(formula, 0, i);
  for (; i + 2 < to; ++i) {
    if (at(i)) {
      out += PiText();
      ++i;  // the "i" of Pi; the follower stays
    } else {
      out.push_back(formula[i]);
    }
  }
  out.append(formula, i);
  formula = std::move(out);
}

}  // namespace suusiki
