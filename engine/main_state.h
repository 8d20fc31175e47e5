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

  // The variable table: entry i is the letter of index i, ": " and the definition.
  VariableTable table = EmptyTable();
  // The current variable, 0 to 25 for A to Z; -1 when the list reports no row.
  int current = 0;

  // Texts of the window's controls that the commands read and write.
  Text formulaBox;  // the formula box Text2
  Text listEdit;    // the edit field of the variable list Combo1
  Text answerLine;  // the answer line Label1
  Text variableLabel;  // Label2, the letter of the current variable

  Text entryText;       // the text stored by the latest commit
  Text workingFormula;  // the formula being rewritten
  Text resultText;      // the value text the operator reduction left

  // Stores `text` as the definition of variable `index` and writes the table to
  // the auto-save file; the list's edit field shows `text`. The formula box is
  // left alone. `index` must be 0 to 25.
  void CommitEntry(int index, TextView text);

  // The calculate command: stores the formula box as the current variable's
  // definition (and saves), expands every variable reference and Pi, evaluates
  // the functions from the rightmost call outward, reduces the rest and shows
  // the value in the answer line with 15 significant digits. Never throws.
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

  // After a table was loaded from a file: A becomes current and its definition
  // is shown; the answer line is left alone.
  void RefreshAfterLoading();

 private:
  void Save();
  void Expand();           // variable references and Pi, pass after pass
  void EvaluateFunctions();  // calls from the rightmost outward, then the rest

  AutoSave* autoSave_;
};

// The longest a formula may grow while its variables are expanded.
inline constexpr std::size_t kMaxExpandedLength = 500;

}  // namespace suusiki
