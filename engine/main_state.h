// SPDX-License-Identifier: GPL-3.0-or-later
// The state that lives as long as the main window, and the calculate command.
//
// The window is a thin view of this class: it copies the texts below into its
// controls after every command and does what the command's effects ask for (a
// beep, the focus to the formula box). The command-line tool and the tests run
// the very same commands without a window.
#pragma once

#include <optional>

#include "engine/failure.h"
#include "engine/text.h"
#include "engine/variable_table.h"

namespace suusiki {

// Where the variable table goes after every change. The window writes the
// auto-save file; the command-line tool and the tests choose for themselves.
class AutoSave {
 public:
  virtual ~AutoSave() = default;
  // Writes the whole table. Whatever happens to the write, the table in memory
  // stays as it is and the command goes on; the receiver keeps track of
  // failures and tells the user.
  virtual void Save(const VariableTable& table) = 0;
};

// Where the keyboard focus goes after a command; the caret goes to the end of
// the focused box's text.
enum class Focus { Unchanged, FormulaBox, List };

// What a command asks the window to do besides showing the new texts.
struct Effects {
  bool beep = false;
  Focus focus = Focus::Unchanged;
  std::optional<Failure> failure;  // how the calculation ended, when it failed
};

class MainState {
 public:
  explicit MainState(AutoSave* autoSave = nullptr) : autoSave_(autoSave) {}
  // A copy of `other`'s table and texts that saves to `autoSave`, or nowhere:
  // a private copy to calculate on leaves the other state and its file alone.
  MainState(const MainState& other, AutoSave* autoSave);
  // A plain copy would write the same auto-save file as the original.
  MainState(const MainState&) = delete;
  MainState& operator=(const MainState&) = delete;

  // The variable table: entry i is the letter of index i, ": " and the definition.
  const VariableTable& table() const { return table_; }
  // The current variable, 0 to 25 for A to Z; -1 when the list reports no row.
  int current() const { return current_; }

  // Texts of the window's controls that the commands read and write.
  const Text& formulaBox() const { return formulaBox_; }        // the formula box Text2
  const Text& listEdit() const { return listEdit_; }            // the edit field of the variable list Combo1
  const Text& answerLine() const { return answerLine_; }        // the answer line Label1
  const Text& variableLabel() const { return variableLabel_; }  // Label2, the letter of the current variable

  const Text& entryText() const { return entryText_; }            // the text stored by the latest commit
  const Text& workingFormula() const { return workingFormula_; }  // the formula as last set or rewritten
  const Text& resultText() const { return resultText_; }          // the value text the operator reduction left

  // What the user typed into the formula box or the list's edit field, taken
  // before a command runs.
  void TypeInFormulaBox(TextView text) { formulaBox_.assign(text); }
  void TypeInList(TextView text) { listEdit_.assign(text); }
  // CL: the formula box and the list's edit field are emptied; nothing is stored.
  void ClearEntry();

  // A table read from a file replaces the table, without a save; A becomes
  // current with its definition shown (see RefreshAfterLoading).
  void LoadTable(const VariableTable& table);
  // After a table was loaded from a file: A becomes current and its definition
  // is shown; the answer line is left alone.
  void RefreshAfterLoading();
  // The open command shows no answer for the table it opened.
  void ClearAnswerLine() { answerLine_.clear(); }

  // Stores `text` as the definition of variable `index` and writes the table to
  // the auto-save file; the list's edit field shows `text`. The formula box is
  // left alone. `index` must be 0 to 25.
  void CommitEntry(int index, TextView text);

  // The calculate command: stores the formula box as the current variable's
  // definition (and saves), expands every variable reference and Pi, evaluates
  // the functions from the rightmost call outward, reduces the rest and shows
  // the value in the answer line with 15 significant digits. A calculation
  // that fails ends with its message (see Failure), running out of memory
  // included; anything else is a fault and reaches the caller.
  Effects Calculate();

  // The variable list's selection of `row`, by the user or by the program:
  // that variable becomes current and its stored definition is shown in the
  // formula box and the list's edit field. An edit not yet stored is replaced.
  Effects SelectRow(int row);

  // Enter in the formula box: stores its text as the current variable's
  // definition, then calculates. Nothing happens with no variable current.
  Effects EnterInFormulaBox();

  // Enter in the list's edit field: stores the edit field's text, then
  // calculates, which stores the formula box's text once more.
  Effects EnterInList();

  // Clear all, once the user agreed: every definition becomes empty, then the
  // calculate command runs on the empty formula box.
  Effects ClearAll();

  // The steps that the Newton command and the graph take besides the commands
  // above, and through which tests set the scene.
  //
  // The answer line shows `text` ("計算中", the root, or nothing).
  void ShowAnswer(TextView text) { answerLine_ = Text(text); }
  // The current variable's label shows `text`.
  void ShowVariableLabel(TextView text) { variableLabel_ = Text(text); }
  // The formula box is stored as the current variable's definition (when one
  // is current), as a click on a command button does first.
  void StoreFormulaBox();
  // Stores `text` as the definition of variable `index` (and saves), then
  // makes A current again with its definition in the formula box and the
  // list's edit field.
  void StoreAndReturnToA(int index, TextView text);

 private:
  void Save();
  // Enter in the formula box or the list's edit field: stores `box`, then
  // calculates; the focus goes to `focus`.
  Effects Enter(const Text& box, Focus focus);

  AutoSave* autoSave_;
  VariableTable table_ = EmptyTable();
  int current_ = 0;
  Text formulaBox_;
  Text listEdit_;
  Text answerLine_;
  Text variableLabel_;
  Text entryText_;
  Text workingFormula_;
  Text resultText_;
};

}  // namespace suusiki
