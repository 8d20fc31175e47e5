// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/main_state.h"

#include <functional>
#include <new>

#include "engine/calculation.h"

namespace suusiki {

MainState::MainState(const MainState& other, AutoSave* autoSave)
    : autoSave_(autoSave),
      table_(other.table_),
      current_(other.current_),
      formulaBox_(other.formulaBox_),
      listEdit_(other.listEdit_),
      answerLine_(other.answerLine_),
      variableLabel_(other.variableLabel_),
      entryText_(other.entryText_),
      workingFormula_(other.workingFormula_),
      resultText_(other.resultText_) {}

void MainState::CommitEntry(int index, TextView text) {
  Text& entry = table_.at(static_cast<std::size_t>(index));
  const std::less<const char32_t*> before;
  const bool within =
      !text.empty() && !before(text.data(), entry.data()) && before(text.data(), entry.data() + entry.size());
  if (within) {
    entry = EntryFor(index, text);
  } else {
    // The entry's storage is reused.
    entry.assign(EmptyEntry(index));
    entry.append(text);
  }
  listEdit_.assign(text);
  Save();
}

void MainState::Save() {
  if (autoSave_ != nullptr) autoSave_->Save(table_);
}

Effects MainState::Calculate() {
  Effects effects;
  try {
    // First capture: the formula box becomes the current variable's definition.
    if (current_ >= 0) {
      entryText_ = formulaBox_;
      CommitEntry(current_, entryText_);
      workingFormula_ = entryText_;
    }
    if (formulaBox_.empty() || workingFormula_.empty()) {
      workingFormula_ = U"0";
      answerLine_ = U"0. ";
      return effects;
    }
    // Legacy: a second capture, the same store once more (the entry, the
    // list's edit field, the formula box and the working formula hold the
    // text already, so it comes down to saving the table again), then the
    // formula box has the focus. Without a current variable it gets as far as the edit field.
    if (current_ < 0 || current_ >= kVariableCount) {
      entryText_ = formulaBox_;
      listEdit_ = entryText_;
      Fail(Failure::NoVariable);
    }
    Save();
    effects.focus = Focus::FormulaBox;

    RunCalculation(table_, current_, workingFormula_, resultText_, answerLine_);
  } catch (const EngineError& error) {
    effects.failure = error.failure();
  } catch (const std::bad_alloc&) {
    effects.failure = Failure::Other;  // out of memory
  }
  if (effects.failure) {
    const Reaction reaction = ReactionTo(*effects.failure);
    if (reaction.message != nullptr) {
      try {
        answerLine_ = reaction.message;
      } catch (const std::bad_alloc&) {
        answerLine_.clear();  // no memory even for the message: at least no answer is shown
      }
    }
    effects.beep = reaction.beep;
    if (reaction.focusFormulaBox) effects.focus = Focus::FormulaBox;
  }
  // The rewritten formula is kept (the printout shows it) with "-" for its signs.
  ShowSigns(workingFormula_);
  return effects;
}

Effects MainState::SelectRow(int row) {
  current_ = row >= 0 && row < kVariableCount ? row : -1;
  if (current_ >= 0) {
    const Text& entry = table_[static_cast<std::size_t>(current_)];
    const Text definition = DefinitionOf(entry);
    workingFormula_ = definition.empty() ? Text(U"0") : definition;
    variableLabel_ = entry.substr(0, 3);
    listEdit_ = definition;
    formulaBox_ = definition;
  }
  Effects effects;
  effects.focus = Focus::FormulaBox;
  return effects;
}

Effects MainState::EnterInFormulaBox() { return Enter(formulaBox_, Focus::FormulaBox); }

Effects MainState::EnterInList() { return Enter(listEdit_, Focus::List); }

Effects MainState::Enter(const Text& box, Focus focus) {
  if (current_ < 0) return {};
  entryText_ = box;
  CommitEntry(current_, entryText_);
  workingFormula_ = entryText_;
  Effects effects = Calculate();
  effects.focus = focus;
  return effects;
}

Effects MainState::ClearAll() {
  table_ = EmptyTable();
  Save();
  listEdit_ = DefinitionOf(table_[0]);
  formulaBox_ = listEdit_;
  Effects effects = Calculate();
  effects.beep = true;
  effects.focus = Focus::FormulaBox;
  return effects;
}

void MainState::ClearEntry() {
  formulaBox_.clear();
  listEdit_.clear();
}

void MainState::LoadTable(const VariableTable& table) {
  table_ = table;
  RefreshAfterLoading();
}

void MainState::RefreshAfterLoading() {
  current_ = 0;
  listEdit_ = DefinitionOf(table_[0]);
  formulaBox_ = listEdit_;
  workingFormula_ = listEdit_;
  // Legacy: after a load the label shows "A:" without the space that a
  // selection of a row shows ("B: ").
  variableLabel_ = table_[0].substr(0, 2);
}

void MainState::StoreFormulaBox() {
  if (current_ < 0) return;
  entryText_ = formulaBox_;
  CommitEntry(current_, entryText_);
}

void MainState::StoreAndReturnToA(int index, TextView text) {
  entryText_ = Text(text);
  CommitEntry(index, entryText_);
  current_ = kVariableA;
  listEdit_ = DefinitionOf(table_[kVariableA]);
  formulaBox_ = listEdit_;
}

}  // namespace suusiki
