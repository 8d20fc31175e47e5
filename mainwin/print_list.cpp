// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/print_list.h"

#include "engine/number_text.h"

namespace suusiki {

std::vector<Text> PrintLines(const MainState& state) {
  std::vector<Text> lines;
  lines.emplace_back(U"　");  // a blank first line
  const bool known = state.current() >= 0 && state.current() < kVariableCount;
  const Text letter = known ? state.table()[static_cast<std::size_t>(state.current())].substr(0, 3) : Text();
  lines.push_back(U"　　" + letter + state.workingFormula());
  // The result as the answer line shows it; before any calculation the result
  // text is empty, which reads as 0.
  const auto result = ReadNumber(state.resultText());
  lines.push_back(U"   　　= " + (result ? AnswerText(*result) : state.resultText()));
  lines.push_back(U"　" + Text(60, U'-'));
  for (const Text& entry : state.table()) {
    if (entry.size() > 3) lines.push_back(U"　　" + entry);
  }
  return lines;
}

}  // namespace suusiki
