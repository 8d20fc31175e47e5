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
         answer == U"文法エラー！0で除算" || answer == U"文法エラー！桁あふれ";
}

// A value below 1e-9 that the answer pattern would cut: a digit, maybe a point
// and more digits, then "*10^-" and the exponent's digits ("4*10^-20").
bool IsTinyNumber(std::u32string_view number) {
  const std::size_t times = number.find(U"*10^-");
  if (times == std::u32string_view::npos || times == 0 || !suusiki::IsDigit(number[0])) return false;
  const std::u32string_view mantissa = number.substr(1, times - 1);
  const std::u32string_view exponent = number.substr(times + 5);
  if (!mantissa.empty() && (mantissa.size() < 2 || mantissa[0] != U'.')) return false;
  for (const char32_t c : mantissa.substr(mantissa.empty() ? 0 : 1)) {
    if (!suusiki::IsDigit(c)) return false;
  }
  for (const char32_t c : exponent) {
    if (!suusiki::IsDigit(c)) return false;
  }
  return !exponent.empty();
}

// An answer line that shows a value is grouped digits, a point, a fraction and
// a space, or a tiny number and a space.
bool IsAnswerNumber(const Text& answer) {
  if (answer.size() < 3 || answer.back() != U' ') return false;
  std::size_t i = answer[0] == U'-' ? 1 : 0;
  if (IsTinyNumber(std::u32string_view(answer).substr(i, answer.size() - 1 - i))) return true;
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
  state.ShowAnswer(U"before");  // what the answer line showed

  const suusiki::Effects effects = state.Calculate();

  // The typed formula is stored whatever happens, when a variable is current.
  if (state.current() >= 0 && state.table()[state.current()] != suusiki::EntryFor(state.current(), typed)) {
    std::abort();
  }
  // A beep and a message go together; a calculation either shows its value or
  // fails with a message, and only with no variable current is nothing
  // calculated and the answer line left alone.
  const Text& answer = state.answerLine();
  if (effects.beep != IsMessage(answer)) std::abort();
  if (!effects.failure && !IsAnswerNumber(answer)) std::abort();
  if (effects.failure == suusiki::Failure::NoVariable) {
    if (effects.beep || answer != U"before") std::abort();
  } else if (effects.failure && IsAnswerNumber(answer)) {
    std::abort();
  }
  // The engine's own value sign and exponent marks never show in a text that others read.
  for (const Text* text : {&answer, &state.workingFormula(), &state.resultText()}) {
    for (const char32_t mark : {suusiki::kValueSign, suusiki::kExponentUp, suusiki::kExponentDown}) {
      if (text->find(mark) != Text::npos) std::abort();
    }
  }
  return 0;
}
