// SPDX-License-Identifier: GPL-3.0-or-later
// The history of calculations, driven as the main window and suusiki-calc
// drive it: an entry for each calculate command and each Newton run, the last
// thousand kept, and the lines that are saved, printed and copied.
#include "history/history.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "solver/newton.h"
#include "tests/fakes.h"

namespace suusiki::history {
namespace {

ClockTime Noon() { return {12, 0, 0}; }

// 249 opening brackets, a digit or two, 249 closing ones: the longest formula
// that calculates, and one character more.
const std::string kLongest = std::string(249, '(') + "1" + std::string(249, ')');
const std::string kTooLong = std::string(249, '(') + "12" + std::string(249, ')');

struct Command {
  const char* name;
  std::vector<std::string> definitions;  // "C=58*3"
  char current;                          // the variable chosen in the list
  std::string typed;                     // into the formula box
  std::optional<std::string> newton;     // the start point of a Newton run instead of "計算"
  std::string variable, formula, answer;
  bool enter = false;  // Enter in the formula box instead of the button
};

TEST(HistoryTest, EachCommandAddsOneEntryAsItThenStands) {
  const Command runs[] = {
      {"a calculation", {}, 'A', "1+2", {}, "A", "1+2", "3. "},
      {"Enter in the box", {"C=58*3"}, 'B', "C/2", {}, "B", "C/2", "87. ", true},
      {"a failure's message", {}, 'D', "5/0", {}, "D", "5/0", "文法エラー！0で除算"},
      {"brackets that don't pair", {}, 'Z', "(1+2", {}, "Z", "(1+2", "文法エラー！ｶｯｺが合わない"},
      {"a self-reference", {}, 'B', "B+1", {}, "B", "B+1", "文法エラー！自己変数"},
      {"the longest formula", {}, 'A', kLongest, {}, "A", kLongest, "1. "},
      {"one character longer", {}, 'A', kTooLong, {}, "A", kTooLong, "文法エラー！"},
      {"text outside Shift-JIS", {}, 'A', "1+한😀", {}, "A", "1+한😀", "文法エラー！"},
      {"an empty formula", {"A=7"}, 'A', "", {}, "A", "", "0. "},
      // The Newton command: one entry for the whole run, for A's equation.
      {"a root", {"A=X^2-8*X+12"}, 'A', "X^2-8*X+12", "10", "A", "X^2-8*X+12", "X=6.0 "},
      {"a run from B", {"A=X^2-4"}, 'B', "7", "1", "A", "X^2-4", "X=2.0 "},
      {"no equation", {"A=5"}, 'A', "5", "1", "A", "5", "変数Ａ欄に 方程式を X で入力せよ！"},
      {"a flat step", {"A=X*0+1"}, 'A', "X*0+1", "1", "A", "X*0+1", "計算不能！"},
      {"a start that is no number", {"A=X-1"}, 'A', "X-1", "1E400", "A", "X-1", "計算不能！"},
  };
  for (const Command& r : runs) {
    MainState state;
    VariableTable table = EmptyTable();
    for (const std::string& d : r.definitions) table[d[0] - 'A'] = EntryFor(d[0] - 'A', FromUtf8(d.substr(2)));
    state.LoadTable(table);
    state.SelectRow(r.current - 'A');
    state.TypeInFormulaBox(FromUtf8(r.typed));
    History history(Noon);
    if (r.newton) {
      Text start = FromUtf8(*r.newton);
      RecordingHost host;
      history.AddNewtonRun(state, NewtonMessage(RunNewtonCommand(state, start, host)));
    } else {
      r.enter ? state.EnterInFormulaBox() : state.Calculate();
      history.AddCalculation(state);
    }
    ASSERT_EQ(history.entries().size(), 1u) << r.name;
    const Entry& e = history.entries().front();
    EXPECT_EQ(ToUtf8(e.variable), r.variable) << r.name;
    EXPECT_EQ(ToUtf8(e.formula), r.formula) << r.name;
    EXPECT_EQ(ToUtf8(e.answer), r.answer) << r.name;
    EXPECT_EQ(ToUtf8(Line(e)).substr(0, 9), "12:00:00\t") << r.name;
  }
}

// A history of `added` calculations, 1 to `added`, less those in `removed`.
History Made(int added, const std::vector<std::uint64_t>& removed = {}) {
  MainState state;
  History history(Noon);
  for (int i = 1; i <= added; ++i) {
    state.TypeInFormulaBox(Ascii(std::to_string(i)));
    state.Calculate();
    history.AddCalculation(state);
  }
  history.Remove(removed);
  return history;
}

std::vector<std::uint64_t> Ids(const History& history) {
  std::vector<std::uint64_t> ids;
  for (const Entry& e : history.entries()) ids.push_back(e.id);
  return ids;
}

TEST(HistoryTest, KeepsTheLastThousandAndRemovesWhatIsAskedFor) {
  const History full = Made(1001);
  ASSERT_EQ(full.entries().size(), History::kCapacity);
  EXPECT_EQ(full.entries().front().id, 2u) << "the oldest went";
  EXPECT_EQ(ToUtf8(full.entries().front().formula), "2");
  EXPECT_EQ(ToUtf8(full.entries().back().answer), "1,001. ");

  const struct {
    std::vector<std::uint64_t> removed, left;
  } cases[] = {
      {{2, 4}, {1, 3, 5}}, {{4, 2}, {1, 3, 5}}, {{9}, {1, 2, 3, 4, 5}}, {{}, {1, 2, 3, 4, 5}}, {{5, 1, 2, 3, 4}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Ids(Made(5, c.removed)), c.left) << c.removed.size();
  History history = Made(3, {3});
  history.Clear();
  history.AddCalculation(MainState());
  EXPECT_EQ(Ids(history), std::vector<std::uint64_t>{4}) << "an id is never given twice";
}

TEST(HistoryTest, LinesHoldFourTabSeparatedFields) {
  const struct {
    Entry entry;
    const char* line;
  } cases[] = {
      {{1, {9, 5, 3}, U"A", U"1+2", U"3. "}, "09:05:03\tA\t1+2\t3. "},
      {{1, {0, 0, 0}, U"Z", U"1/3", U"0.333333333333333 "}, "00:00:00\tZ\t1/3\t0.333333333333333 "},
      {{1, {23, 59, 59}, U"", U"5", U"文法エラー！"}, "23:59:59\t\t5\t文法エラー！"},  // no variable current
      {{1, {12, 0, 0}, U"B", U"1\t+2\r\n3", U"文法エラー！"}, "12:00:00\tB\t1 +2  3\t文法エラー！"},
      {{1, {12, 0, 0}, U"C", U"1+한😀", U"文法エラー！"}, "12:00:00\tC\t1+한😀\t文法エラー！"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(Line(c.entry)), c.line);

  const History history = Made(2);
  EXPECT_EQ(TabSeparatedText(history), "時刻\t変数\t数式\t答え\n12:00:00\tA\t1\t1. \n12:00:00\tA\t2\t2. \n");
  const std::vector<Text> page = PrintLines(history);
  ASSERT_EQ(page.size(), 5u);
  EXPECT_EQ(ToUtf8(page[1]), "　　計算の履歴");
  EXPECT_EQ(ToUtf8(page[4]), "　12:00:00　A: 2　= 2. ");
}

TEST(HistoryTest, TheTableFollowsTheHistory) {
  const struct {
    const char* name;
    std::vector<std::uint64_t> shown;
    int added;
    std::vector<std::uint64_t> removed;
    std::vector<std::size_t> removedRows;
    std::size_t firstAdded;
  } cases[] = {
      {"a new table", {}, 2, {}, {}, 0},
      {"nothing new", {1, 2}, 2, {}, {}, 2},
      {"a new entry", {1, 2}, 3, {}, {}, 2},
      {"the oldest went", {1, 2, 3}, 4, {1}, {0}, 2},
      {"rows removed", {1, 2, 3, 4}, 4, {2, 3}, {2, 1}, 2},
      {"cleared", {1, 2}, 2, {1, 2}, {1, 0}, 0},
      {"cleared, then one more", {1, 2}, 3, {1, 2}, {1, 0}, 0},
  };
  for (const auto& c : cases) {
    const TableUpdate update = UpdateTable(c.shown, Made(c.added, c.removed));
    EXPECT_EQ(update.removedRows, c.removedRows) << c.name;
    EXPECT_EQ(update.firstAdded, c.firstAdded) << c.name;
  }
}

}  // namespace
}  // namespace suusiki::history
