// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/functions.h"

#include <iterator>

#include "engine/failure.h"

namespace suusiki {

namespace {

static_assert(std::size(kFunctionNames) == 10);
constexpr bool NamesInOrder() {
  for (std::size_t i = 0; i < std::size(kFunctionNames); ++i) {
    if (static_cast<std::size_t>(kFunctionNames[i].function) != i || kFunctionNames[i].name.size() != 3) return false;
  }
  return true;
}
static_assert(NamesInOrder(), "NameOf indexes the table by the function");

char32_t Lower(char32_t c) { return IsUpper(c) ? c + 32 : c; }
char32_t Lower(char c) { return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c + 32 : c); }

// The function whose name, in any letter case, starts at index i.
const Function* NameAt(TextView formula, std::size_t i) {
  const char32_t a = Lower(formula[i]);
  const char32_t b = Lower(formula[i + 1]);
  const char32_t c = Lower(formula[i + 2]);
  for (const auto& f : kFunctionNames) {
    if (Lower(f.name[0]) == a && Lower(f.name[1]) == b && Lower(f.name[2]) == c) return &f.function;
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
    // Legacy: a name not followed by "(" takes the one character after it as
    // its argument ("SinB" is the sine of B, "Sin." the sine of 0).
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
