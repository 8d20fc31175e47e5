// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's state around a calculation: what each command stores and
// saves, what it shows and where the focus goes, and a private copy that
// calculates without touching the original.
#include "engine/main_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes.h"

namespace suusiki {
namespace {

TEST(CalculateCommandTest, StoresAndSavesTheEntryTwiceOnANormalRun) {
  RecordingSave save;
  MainState state(&save);
  state.SelectRow(1);
  state.TypeInFormulaBox(U"58*3");
  state.Calculate();
  ASSERT_EQ(save.saved.size(), 2u);
  EXPECT_EQ(save.saved[0], save.saved[1]);
  EXPECT_EQ(save.saved[0][1], U"B: 58*3");
  EXPECT_EQ(save.saved[0][0], U"A: ");
  EXPECT_EQ(state.listEdit(), U"58*3");
  EXPECT_EQ(state.formulaBox(), U"58*3");
  EXPECT_EQ(state.entryText(), U"58*3");
  EXPECT_EQ(state.resultText(), U"174.");
}

TEST(CalculateCommandTest, AnEmptyEntryIsSavedOnceAndShowsZero) {
  RecordingSave save;
  MainState state(&save);
  VariableTable table = EmptyTable();
  table[2] = U"C: 5";
  state.LoadTable(table);
  state.SelectRow(2);
  state.TypeInFormulaBox(U"");  // the user empties the formula box
  const Effects effects = state.Calculate();
  ASSERT_EQ(save.saved.size(), 1u);
  EXPECT_EQ(state.table()[2], U"C: ");
  EXPECT_EQ(state.answerLine(), U"0. ");
  EXPECT_EQ(state.workingFormula(), U"0");
  EXPECT_FALSE(effects.beep);
}

// With no row selected nothing is stored: a formula is refused quietly and
// leaves the answer line as it was; an empty formula box shows zero.
TEST(CalculateCommandTest, WithNoCurrentVariableNothingIsStored) {
  struct NoRowCase {
    const char32_t* formula;
    const char32_t* answer;
    std::optional<Failure> failure;
  };
  const NoRowCase cases[] = {
      {U"1+1", U"7. ", Failure::NoVariable},
      {U"", U"0. ", std::nullopt},
  };
  for (const NoRowCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.formula));
    RecordingSave save;
    MainState state(&save);
    state.SelectRow(0);   // leaves a working formula ("0")
    state.SelectRow(-1);  // then the list reports no row
    state.TypeInFormulaBox(c.formula);
    state.ShowAnswer(U"7. ");  // what the answer line showed
    const Effects effects = state.Calculate();
    EXPECT_TRUE(save.saved.empty());
    EXPECT_EQ(state.answerLine(), c.answer);
    EXPECT_EQ(effects.failure, c.failure);
    EXPECT_FALSE(effects.beep);
    EXPECT_EQ(state.table(), EmptyTable());
  }
}

// The label before the formula box names the variable being edited.
TEST(CalculateCommandTest, TheLabelNamesTheVariable) {
  RecordingSave save;
  MainState state(&save);
  VariableTable table = EmptyTable();
  table[0] = U"A: 1+1";
  table[1] = U"B: 58*3";
  state.LoadTable(table);
  EXPECT_EQ(state.variableLabel(), U"A:");  // after loading: the letter and the colon
  state.SelectRow(1);
  EXPECT_EQ(state.variableLabel(), U"B: ");
  EXPECT_EQ(state.formulaBox(), U"58*3");
  state.SelectRow(25);
  EXPECT_EQ(state.variableLabel(), U"Z: ");
}

// Enter in the formula box or in the list's edit field, and clear all: each
// stores what its box holds, then calculates; with no row selected Enter does
// nothing.
TEST(CalculateCommandTest, EnterAndClearAllStoreThenCalculate) {
  const struct {
    const char* name;
    Effects (MainState::*command)();
    int row;
    const char32_t* firstSaved;  // the row's entry in the first table saved
    const char32_t* entry;       // the row's entry afterwards
    const char32_t* answer;
    bool beep;
    Focus focus;
    std::size_t saves;
  } cases[] = {
      {"Enter in the box", &MainState::EnterInFormulaBox, 1, U"B: 2*3", U"B: 2*3", U"6. ", false, Focus::FormulaBox, 3},
      {"Enter in the list", &MainState::EnterInList, 1, U"B: 7", U"B: 2*3", U"6. ", false, Focus::List, 3},
      {"Enter in the box, no row", &MainState::EnterInFormulaBox, -1, nullptr, U"B: 1+1", U"before", false,
       Focus::Unchanged, 0},
      {"Enter in the list, no row", &MainState::EnterInList, -1, nullptr, U"B: 1+1", U"before", false, Focus::Unchanged,
       0},
      {"Clear all", &MainState::ClearAll, 1, U"B: ", U"B: ", U"0. ", true, Focus::FormulaBox, 2},
  };
  for (const auto& c : cases) {
    RecordingSave save;
    MainState state(&save);
    VariableTable table = EmptyTable();
    table[1] = U"B: 1+1";
    state.LoadTable(table);
    state.SelectRow(c.row);
    state.TypeInFormulaBox(U"2*3");
    state.TypeInList(U"7");
    state.ShowAnswer(U"before");
    const Effects effects = (state.*c.command)();
    EXPECT_EQ(state.answerLine(), c.answer) << c.name;
    EXPECT_EQ(effects.beep, c.beep) << c.name;
    EXPECT_EQ(effects.focus, c.focus) << c.name;
    EXPECT_EQ(state.table()[1], c.entry) << c.name;
    ASSERT_EQ(save.saved.size(), c.saves) << c.name;
    if (c.saves > 0) {
      EXPECT_EQ(save.saved[0][1], c.firstSaved) << c.name;
    }
  }
}

TEST(CalculateCommandTest, AFailedCalculationKeepsTheStoredEntry) {
  RecordingSave save;
  MainState state(&save);
  state.TypeInFormulaBox(U"2A");
  state.Calculate();
  EXPECT_EQ(state.table()[0], U"A: 2A");
  ASSERT_FALSE(save.saved.empty());
  EXPECT_EQ(save.saved.back()[0], U"A: 2A");
}

TEST(CalculateCommandTest, LaterRunsSeeEarlierDefinitions) {
  MainState state;
  state.SelectRow(2);
  state.TypeInFormulaBox(U"58*3");
  state.Calculate();
  state.SelectRow(1);
  state.TypeInFormulaBox(U"C/2.2+67");
  state.Calculate();
  state.SelectRow(0);
  state.TypeInFormulaBox(U"B*152/(C/4+85)");
  state.Calculate();
  EXPECT_EQ(state.answerLine(), U"172.807923593916 ");
}

TEST(CalculateCommandTest, FullWidthTextIsStoredAsTyped) {
  MainState state;
  state.TypeInFormulaBox(U"１＋１");
  state.Calculate();
  EXPECT_EQ(state.table()[0], U"A: １＋１");
  EXPECT_EQ(state.answerLine(), U"0. ");
}

TEST(CalculateCommandTest, APrivateCopyCalculatesWithoutTouchingTheOriginalOrItsFile) {
  RecordingSave save;
  MainState original(&save);
  original.SelectRow(2);
  original.TypeInFormulaBox(U"58*3");
  original.Calculate();
  original.SelectRow(1);
  original.TypeInFormulaBox(U"C/2.2+67");  // typed, not stored yet
  const std::size_t saves = save.saved.size();

  MainState copy(original, nullptr);
  const auto texts = [](const MainState& s) {
    return std::vector<Text>{s.formulaBox(), s.listEdit(),       s.answerLine(), s.variableLabel(),
                             s.entryText(),  s.workingFormula(), s.resultText(), Text(1, U'A' + s.current())};
  };
  EXPECT_EQ(copy.table(), original.table());
  EXPECT_EQ(texts(copy), texts(original));

  const VariableTable before = original.table();
  const std::vector<Text> shownBefore = texts(original);
  copy.Calculate();  // stores B in the copy only
  copy.SelectRow(0);
  copy.TypeInFormulaBox(U"B*152/(C/4+85)");
  copy.Calculate();
  EXPECT_EQ(copy.answerLine(), U"172.807923593916 ");
  EXPECT_EQ(original.table(), before);
  EXPECT_EQ(texts(original), shownBefore);
  EXPECT_EQ(save.saved.size(), saves) << "the copy never writes the original's file";

  // A copy may save elsewhere.
  RecordingSave other;
  MainState saving(original, &other);
  saving.Calculate();
  EXPECT_EQ(save.saved.size(), saves);
  ASSERT_FALSE(other.saved.empty());
  EXPECT_EQ(other.saved.back()[1], U"B: C/2.2+67");
}

}  // namespace
}  // namespace suusiki
