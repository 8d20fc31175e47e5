// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary text to the calculate command.
//
// The input's first byte picks the current variable (or none); the rest is
// split at line feeds: the first line is typed into the formula box, the next
// ones become the definitions of A, B, C ... Any crash, sanitizer report or
// broken promise below is a finding.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/main_state.h"

namespace {

using suusiki::Text;

bool IsMessage(const Text& answer) {
  return answer == U"文法エラー！" || answer == U"文法エラー！自己変数" || answer == U"文法エラー！ｶｯｺが合わない" ||
         answer == U"文法エラー！0で除算";
}

// An answer line that shows a value is grouped digits, a point, a fraction and a space.
bool IsAnswerNumber(const Text& answer) {
  if (answer.size() < 3 || answer.back() != U' ') return false;
  std::size_t i = answer[0] == U'-' ? 1 : 0;
  bool point = false;
  for (; i + 1 < answer.size(); ++i) {
    const char32_t c = answer[i];
    if (c == U'.') {
      if (point) return false;
      point = true;
    } else if (!(suusiki::IsDigit(c) || (c == U',' && !point))) {
      return false;
    }
  }
  return point;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  suusiki::MainState state;
  const int current = static_cast<int>(data[0] % 27) - 1;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  Text typed;
  suusiki::VariableTable table = suusiki::EmptyTable();
  std::size_t begin = 0;
  for (int piece = 0; begin <= rest.size() && piece <= suusiki::kVariableCount; ++piece) {
    std::size_t end = rest.find('\n', begin);
    if (end == std::string_view::npos) end = rest.size();
    const Text text = suusiki::FromUtf8(rest.substr(begin, end - begin));
    if (piece == 0) {
      typed = text;
    } else {
      table[piece - 1] = suusiki::EntryFor(piece - 1, text);
    }
    begin = end + 1;
  }
  state.LoadTable(table);
  state.SelectRow(current);
  state.TypeInFormulaBox(typed);
  suusiki::SolverSteps(state).ShowAnswer(U"before");  // what the answer line showed

  const suusiki::Effects effects = state.Calculate();

  // The typed formula is stored whatever happens, when a variable is current.
  if (state.current() >= 0 && state.table()[state.current()] != suusiki::EntryFor(state.current(), typed)) {
    std::abort();
  }
  if (effects.beep != IsMessage(state.answerLine()) && effects.failure != suusiki::Failure::Other) std::abort();
  if (!effects.beep && !IsAnswerNumber(state.answerLine()) && state.answerLine() != U"before") std::abort();
  // The engine's own value sign never shows in a text that others read.
  for (const Text* text : {&state.answerLine(), &state.workingFormula(), &state.resultText()}) {
    if (text->find(suusiki::kValueSign) != Text::npos) std::abort();
  }
  return 0;
}
