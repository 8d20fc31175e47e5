// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of the printed variable list.
#include "mainwin/print_list.h"

#include <gtest/gtest.h>

namespace suusiki {
namespace {

const Text kRule = U"　" + Text(60, U'-');

TEST(PrintLinesTest, CurrentVariableResultRuleAndEveryDefinedVariable) {
  const struct {
    std::vector<std::pair<int, const char32_t*>> definitions;
    int current;
    const char32_t* formula;  // calculated in the current variable; nullptr: nothing calculated
    std::vector<Text> lines;
  } cases[] = {
      {{{1, U"C/2.2+67"}},
       0,
       U"58*3",
       {U"　", U"　　A: 58*3", U"   　　= 174. ", kRule, U"　　A: 58*3", U"　　B: C/2.2+67"}},
      // Before any calculation the result text is empty and prints as 0.
      {{}, 0, nullptr, {U"　", U"　　A: ", U"   　　= 0. ", kRule}},
      {{}, 2, U"12345.5", {U"　", U"　　C: 12345.5", U"   　　= 12,345.5 ", kRule, U"　　C: 12345.5"}},
      // A failed calculation prints what its result text holds, read as a number.
      {{}, 25, U"(1+2", {U"　", U"　　Z: (1+2", U"   　　= 0. ", kRule, U"　　Z: (1+2"}},
      // The formula as the function stage left it, its signs written "-".
      {{}, 0, U"Sin(0-30)*2", {U"　", U"　　A: -0.5*2", U"   　　= -1. ", kRule, U"　　A: Sin(0-30)*2"}},
      // A tiny value keeps its digits: an exponent in the formula, a power of ten in the result.
      {{},
       0,
       U"Exp(0-50)*2",
       {U"　", U"　　A: 1.92874984796392E-22*2", U"   　　= 3.85749969592784*10^-22 ", kRule, U"　　A: Exp(0-50)*2"}},
  };
  for (const auto& c : cases) {
    MainState state;
    VariableTable table = EmptyTable();
    for (const auto& [index, definition] : c.definitions) table[index] = EntryFor(index, definition);
    state.LoadTable(table);  // as at the start
    if (c.formula != nullptr) {
      state.SelectRow(c.current);
      state.TypeInFormulaBox(c.formula);
      state.Calculate();
    }
    EXPECT_EQ(PrintLines(state), c.lines) << (c.formula ? ToUtf8(c.formula) : "nothing calculated");
  }
}

}  // namespace
}  // namespace suusiki
