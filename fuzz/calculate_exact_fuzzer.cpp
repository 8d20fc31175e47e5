// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds formulas to the calculate command and to exact decimal arithmetic.
//
// The input's first line is the formula, the lines after it (five at most)
// the definitions of the variables B, C, D, E and F. Where the exact
// evaluator can judge the formula (its grammar reads it, and its outcome is
// certain), a fresh state calculates it; an answer that differs from the exact
// one (a value off by more than a relative 1e-9, an answer line that is not
// AnswerText of the value, another failure or message) is a finding, printed
// before the abort.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/main_state.h"
#include "tests/engine/exact_arithmetic.h"

namespace {

// The text up to the next line break, which `rest` then starts after.
std::string_view NextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view formula = NextLine(rest);
  suusiki::exact::Definitions definitions;
  for (std::string& definition : definitions) definition = NextLine(rest);
  if (!rest.empty()) return 0;
  const suusiki::exact::ExactValue exact = suusiki::exact::Evaluate(formula, definitions);
  if (!suusiki::exact::Compared(exact)) return 0;
  suusiki::MainState state;
  const suusiki::Effects effects = suusiki::exact::Calculate(state, formula, definitions);
  if (!suusiki::exact::Agrees(exact, state, effects)) {
    std::fprintf(stderr, "differs: %s\n", suusiki::exact::Difference(formula, definitions, exact, state).c_str());
    std::abort();
  }
  return 0;
}
