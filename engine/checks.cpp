// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/checks.h"

#include <array>
#include <cmath>

#include "engine/arithmetic.h"
#include "engine/failure.h"
#include "engine/number_text.h"

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

const Text& PiText() {
  static const Text text = NumberText(Pi(), kPiPattern);
  return text;
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

namespace {

constexpr struct {
  char32_t name[3];
  Function function;
} kFunctions[] = {
    {{U'a', U'b', U's'}, Function::Abs}, {{U'a', U't', U'n'}, Function::Atn}, {{U'c', U'o', U's'}, Function::Cos},
    {{U'e', U'x', U'p'}, Function::Exp}, {{U'f', U'i', U'x'}, Function::Fix}, {{U'i', U'n', U't'}, Function::Int},
    {{U'l', U'o', U'g'}, Function::Log}, {{U's', U'i', U'n'}, Function::Sin}, {{U's', U'q', U'r'}, Function::Sqr},
    {{U't', U'a', U'n'}, Function::Tan},
};

// The function whose name, in any letter case, starts at index i.
const Function* NameAt(TextView formula, std::size_t i) {
  const char32_t a = Lower(formula[i]);
  const char32_t b = Lower(formula[i + 1]);
  const char32_t c = Lower(formula[i + 2]);
  for (const auto& f : kFunctions) {
    if (f.name[0] == a && f.name[1] == b && f.name[2] == c) return &f.function;
  }
  return nullptr;
}

}  // namespace

bool LocateRightmostCall(TextView formula, Call& call) {
  const int length = static_cast<int>(formula.size());
  // The name whose letters end nearest to the end of the formula: nested calls
  // are taken from the inside out, calls side by side from right to left.
  int start = 0;
  for (int i = length - 3; i >= 0; --i) {
    if (!IsLetter(formula[i])) continue;  // every name starts with a letter
    if (const Function* f = NameAt(formula, static_cast<std::size_t>(i))) {
      call.function = *f;
      start = i + 1;
      break;
    }
  }
  if (start == 0) return false;

  const int after = start + 3;  // the character right after the name
  if (after > length) Fail(Failure::InvalidArgument);
  int end = 0;
  if (formula[after - 1] != U'(') {
    end = after;
  } else {
    int open = 0;
    int close = 0;
    for (int k = after; k <= length; ++k) {
      const char32_t c = formula[k - 1];
      if (c == U'(') ++open;
      if (c == U')') ++close;
      if (close == open) {
        end = k;
        break;
      }
    }
    if (end == 0) Fail(Failure::InvalidArgument);
  }
  call.start = start;
  call.end = end;
  call.argument = Text(formula.substr(static_cast<std::size_t>(after - 1), static_cast<std::size_t>(end - after + 1)));
  return true;
}

}  // namespace suusiki
