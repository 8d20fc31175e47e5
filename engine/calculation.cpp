// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/calculation.h"

#include <array>
#include <cstdint>

#include "engine/arithmetic.h"
#include "engine/checks.h"
#include "engine/failure.h"
#include "engine/functions.h"
#include "engine/number_text.h"
#include "engine/pi.h"
#include "engine/reduction.h"

namespace suusiki {
namespace {

// A letter of either case followed by a follower: a reference still to expand.
// Lower-case letters count too, so a reference written twice in lower case is
// expanded on the next pass like an upper-case one.
bool HasReference(TextView formula) {
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    if (IsLetter(formula[i]) && IsFollower(formula[i + 1])) return true;
  }
  return false;
}

// One bit per letter A to Z that occurs in `text`, in either case, followed by
// a follower: the references still to expand.
std::uint32_t ReferencedLetters(TextView formula) {
  std::uint32_t letters = 0;
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    const char32_t c = formula[i];
    if (!IsLetter(c) || !IsFollower(formula[i + 1])) continue;
    letters |= 1u << (IsUpper(c) ? c - U'A' : c - U'a');
  }
  return letters;
}

bool HasLetter(TextView formula) {
  for (char32_t c : formula) {
    if (IsLetter(c)) return true;
  }
  return false;
}

// Shows `value` in `answerLine`, written in place.
void ShowAnswer(double value, Text& answerLine) {
  answerLine.clear();
  AppendAnswerText(value, answerLine);
}

// The first occurrences, in `formula`, of `upper` and of `lower` followed by
// each follower (as 1-based positions, 0 for none), in the order of kFollowers.
struct References {
  std::array<int, std::size(kFollowers)> upper{};
  std::array<int, std::size(kFollowers)> lower{};
};

References FindReferences(TextView formula, char32_t upper, char32_t lower) {
  References found;
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    const char32_t c = formula[i];
    if (c != upper && c != lower) continue;
    auto& first = c == upper ? found.upper : found.lower;
    for (std::size_t f = 0; f < std::size(kFollowers); ++f) {
      if (formula[i + 1] == kFollowers[f] && first[f] == 0) first[f] = static_cast<int>(i) + 1;
    }
  }
  return found;
}

// Variable references and Pi, pass after pass; false when the formula has no
// letters at all (and so nothing to expand).
bool Expand(const VariableTable& table, int current, Text& formula) {
  if (!HasLetter(formula)) {
    // No reference and no Pi: one pass that changes nothing, its length
    // measured with the blank it adds.
    if (formula.size() + 1 > kMaxExpandedLength) Fail(Failure::Syntax);
    return false;
  }
  for (;;) {
    formula.push_back(U' ');  // so that a letter or Pi at the very end has a follower
    SubstitutePi(formula);
    // The letters with a reference in the formula as it stands, found again
    // after each expansion: a letter without one is skipped.
    std::uint32_t referenced = ReferencedLetters(formula);
    for (int index = 0; index < kVariableCount; ++index) {
      if ((referenced & (1u << index)) == 0) continue;
      const auto upper = static_cast<char32_t>(U'A' + index);
      const auto lower = static_cast<char32_t>(U'a' + index);
      References found = FindReferences(formula, upper, lower);
      for (std::size_t f = 0; f < std::size(kFollowers); ++f) {
        // One occurrence per letter and follower each pass; the lower-case one wins.
        const int u = found.upper[f];
        const int l = found.lower[f];
        if (u == 0 && l == 0) continue;
        if (index == current) Fail(Failure::SelfReference);
        const int p = l > 0 ? l : u;
        const TextView definition = DefinitionView(table[static_cast<std::size_t>(index)]);
        const TextView inserted = definition.empty() ? TextView(U"0") : definition;
        // The letter becomes the definition in brackets, "(0)" for an empty one.
        const auto at = static_cast<std::size_t>(p - 1);
        formula[at] = U')';
        formula.insert(at, inserted);
        formula.insert(at, 1, U'(');
        // The rest of the formula holds no Pi before a follower any more, and
        // the brackets can't make one with it: only the definition (with its
        // closing bracket as a follower) may hold one.
        const std::size_t before = formula.size();
        SubstitutePi(formula, at, at + inserted.size() + 2);
        const std::size_t bracketed = inserted.size() + 2 + (formula.size() - before);
        found = FindReferences(formula, upper, lower);
        // New references can only lie in the brackets (as long as Pi's digits
        // made them); the one taken may stay marked, as this letter is not
        // looked at again in this pass.
        referenced |= ReferencedLetters(TextView(formula).substr(at, bracketed));
      }
    }
    if (formula.size() > kMaxExpandedLength) Fail(Failure::Syntax);
    if (formula.back() == U' ') formula.pop_back();
    if (!HasReference(formula)) return true;
  }
}

// Calls from the rightmost outward, then the rest; `letters` false when the
// formula has none.
void EvaluateFunctions(bool letters, Text& formula, Text& result, Text& answer) {
  for (;;) {
    Call call;
    // Without letters there is no call, and nothing the letter check refuses.
    if (!letters || !LocateRightmostCall(formula, call)) {
      if (letters && HasLetter(formula)) Fail(Failure::Syntax);
      // (A result beyond the range fails first and leaves the answer line alone.)
      ShowAnswer(ReduceOperators(formula, result), answer);
      return;
    }
    if (call.argument.size() == 1 && IsUpper(call.argument.front())) Fail(Failure::Syntax);
    const double argument = ReduceOperators(call.argument, result);
    // The function's value takes the place of the call as one signed number
    // with its 15 digits.
    Text value;
    if (!AppendValueText(ApplyFunction(call.function, argument), value)) Fail(Failure::Syntax);
    if (value.front() == U'-') value.front() = kValueSign;
    formula.replace(static_cast<std::size_t>(call.start - 1), static_cast<std::size_t>(call.end - call.start + 1),
                    value);
  }
}

}  // namespace

void RunCalculation(const VariableTable& table, int current, Text& formula, Text& result, Text& answer) {
  CheckAdjacency(formula);
  RepairOperatorPlus(formula);
  EvaluateFunctions(Expand(table, current, formula), formula, result, answer);
}

}  // namespace suusiki
