// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/checks.h"

#include <array>

#include "engine/failure.h"

namespace suusiki {

namespace {

// What a character is to the adjacency check.
enum Kind : unsigned char { kOther, kDigit, kLetter, kOpening, kClosing };

constexpr auto kKinds = [] {
  std::array<Kind, 128> kinds{};
  for (std::size_t c = '0'; c <= '9'; ++c) kinds[c] = kDigit;
  for (std::size_t c = 'A'; c <= 'Z'; ++c) kinds[c] = kLetter;
  for (std::size_t c = 'a'; c <= 'z'; ++c) kinds[c] = kLetter;
  kinds['('] = kOpening;
  kinds[')'] = kClosing;
  return kinds;
}();

Kind KindOf(char32_t c) { return c < kKinds.size() ? kKinds[c] : kOther; }

// Whether a character of the first kind must not stand right before one of
// the second: ")" before a letter or a digit, a digit before "(" or a letter,
// a letter before a digit.
constexpr auto kRejected = [] {
  std::array<std::array<bool, 5>, 5> rejected{};
  rejected[kClosing][kLetter] = rejected[kClosing][kDigit] = true;
  rejected[kDigit][kOpening] = rejected[kDigit][kLetter] = true;
  rejected[kLetter][kDigit] = true;
  return rejected;
}();

}  // namespace

void CheckAdjacency(TextView formula) {
  Kind before = kOther;
  for (const char32_t c : formula) {
    const Kind kind = KindOf(c);
    if (kRejected[before][kind]) Fail(Failure::Syntax);
    before = kind;
  }
}

namespace {

// True when `formula` starts with "+" or holds one of the pairs below.
bool HasOperatorPlus(TextView formula) {
  for (std::size_t k = 0; k < formula.size(); ++k) {
    if (formula[k] != U'+') continue;
    if (k == 0) return true;
    const char32_t before = formula[k - 1];
    if (before == U'+' || before == U'-' || before == U'*' || before == U'/' || before == U'^' || before == U'(') {
      return true;
    }
  }
  return false;
}

}  // namespace

void RepairOperatorPlus(Text& formula) {
  if (!HasOperatorPlus(formula)) return;
  static constexpr const char32_t* kPairs[] = {U"++", U"-+", U"*+", U"/+", U"^+", U"(+"};
  for (const char32_t* pair : kPairs) {
    const int p = InStr(formula, pair);
    if (p == 0) continue;
    if (p == 1) Fail(Failure::Syntax);
    formula = Left(formula, p) + Right(formula, static_cast<long long>(formula.size()) - p - 1);
  }
  if (!formula.empty() && formula.front() == U'+') formula.erase(0, 1);
}

}  // namespace suusiki
