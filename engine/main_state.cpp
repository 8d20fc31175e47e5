// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/main_state.h"

#include <array>
#include <cstdint>
#include <new>

#include "engine/arithmetic.h"
#include "engine/checks.h"
#include "engine/number_text.h"
#include "engine/reduction.h"

namespace suusiki {
namespace {

// A letter of either case followed by a follower: a reference still to expand.
// Lower-case letters count too, so a reference written twice in lower case is
// expanded on the next pass like an upper-case one.
bool HasReference(TextView formula) {
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    if (IsLetter(formula[i]) && IsFollower(formula[i + 1])) return true;
  }
  return false;
}

// One bit per letter A to Z that occurs in `text`, in either case.
std::uint32_t LettersIn(TextView text) {
  std::uint32_t letters = 0;
  for (char32_t c : text) {
    if (IsUpper(c)) letters |= 1u << (c - U'A');
    if (IsLower(c)) letters |= 1u << (c - U'a');
  }
  return letters;
}

bool HasLetter(TextView formula) {
  for (char32_t c : formula) {
    if (IsLetter(c)) return true;
  }
  return false;
}

Text AnswerText(TextView formula) { return NumberText(ReadOrFail(formula), kAnswerPattern); }

}  // namespace

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
  table_.at(static_cast<std::size_t>(index)) = EntryFor(index, text);
  listEdit_ = Text(text);
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
      formulaBox_ = entryText_;
      workingFormula_ = entryText_;
    }
    if (formulaBox_.empty() || workingFormula_.empty()) {
      workingFormula_ = U"0";
      answerLine_ = U"0. ";
      return effects;
    }
    // Second capture: the same store once more, then the formula box has the focus.
    entryText_ = formulaBox_;
    listEdit_ = entryText_;
    if (current_ < 0 || current_ >= kVariableCount) Fail(Failure::Other);
    CommitEntry(current_, entryText_);
    formulaBox_ = listEdit_;
    workingFormula_ = entryText_;
    effects.focus = Focus::FormulaBox;

    CheckAdjacency(workingFormula_);
    RepairOperatorPlus(workingFormula_);
    Expand();
    EvaluateFunctions();
  } catch (const EngineError& error) {
    const Reaction reaction = ReactionTo(error.failure());
    if (reaction.message != nullptr) answerLine_ = reaction.message;
    effects.beep = reaction.beep;
    if (reaction.focusFormulaBox) effects.focus = Focus::FormulaBox;
    effects.failure = error.failure();
  } catch (const std::bad_alloc&) {
    effects.failure = Failure::Other;  // out of memory: ends silently like an overflow
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

Effects MainState::EnterInFormulaBox() {
  if (current_ < 0) return {};
  entryText_ = formulaBox_;
  CommitEntry(current_, entryText_);
  formulaBox_ = entryText_;
  workingFormula_ = entryText_;
  Effects effects = Calculate();
  effects.focus = Focus::FormulaBox;
  return effects;
}

Effects MainState::EnterInList() {
  if (current_ < 0) return {};
  entryText_ = listEdit_;
  CommitEntry(current_, entryText_);
  workingFormula_ = entryText_;
  Effects effects = Calculate();
  effects.focus = Focus::List;
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
  variableLabel_ = table_[0].substr(0, 2);
}

void MainState::Expand() {
  VariableTable definitions;
  std::array<std::uint32_t, kVariableCount> definitionLetters{};
  for (int i = 0; i < kVariableCount; ++i) {
    definitions[i] = DefinitionOf(table_[i]);
    definitionLetters[i] = LettersIn(definitions[i]);
  }

  Text& formula = workingFormula_;
  for (;;) {
    formula.push_back(U' ');  // so that a letter or Pi at the very end has a follower
    SubstitutePi(formula);
    // Letters that may occur in the formula: a letter that doesn't can be skipped.
    std::uint32_t present = LettersIn(formula);
    for (int index = 0; index < kVariableCount; ++index) {
      if ((present & (1u << index)) == 0) continue;
      const auto upper = static_cast<char32_t>(U'A' + index);
      const auto lower = static_cast<char32_t>(U'a' + index);
      for (char32_t follower : kFollowers) {
        // One occurrence per letter and follower each pass; the lower-case one wins.
        const char32_t upperRef[] = {upper, follower, 0};
        const char32_t lowerRef[] = {lower, follower, 0};
        const int u = InStr(formula, upperRef);
        const int l = InStr(formula, lowerRef);
        if (u == 0 && l == 0) continue;
        if (index == current_) Fail(Failure::SelfReference);
        const int p = l > 0 ? l : u;
        const Text& definition = definitions[index];
        formula = Left(formula, p - 1) + U"(" + (definition.empty() ? Text(U"0") : definition) + U")" +
                  Right(formula, static_cast<long long>(formula.size()) - p);
        present |= definitionLetters[index];
        SubstitutePi(formula);
      }
    }
    if (formula.size() > kMaxExpandedLength) Fail(Failure::Syntax);
    if (formula.back() == U' ') formula.pop_back();
    answerLine_ = AnswerText(formula);  // provisional, until the value is known
    if (!HasReference(formula)) return;
  }
}

void MainState::EvaluateFunctions() {
  Text& formula = workingFormula_;
  for (;;) {
    Call call;
    if (!LocateRightmostCall(formula, call)) {
      if (HasLetter(formula)) Fail(Failure::Syntax);
      ReduceOperators(formula, resultText_);
      answerLine_ = AnswerText(resultText_);
      return;
    }
    if (call.argument.size() == 1 && IsUpper(call.argument.front())) Fail(Failure::Syntax);
    ReduceOperators(call.argument, resultText_);
    // The function's value takes the place of the call as one signed number.
    Text value = NumberText(ApplyFunction(call.function, ReadOrFail(resultText_)), kFunctionPattern);
    if (value.front() == U'-') value.front() = kValueSign;
    formula.replace(static_cast<std::size_t>(call.start - 1), static_cast<std::size_t>(call.end - call.start + 1),
                    value);
    answerLine_ = AnswerText(WithShownSigns(formula));
  }
}

void SolverSteps::StoreFormulaBox() {
  if (state_.current_ < 0) return;
  state_.entryText_ = state_.formulaBox_;
  state_.CommitEntry(state_.current_, state_.entryText_);
  state_.formulaBox_ = state_.entryText_;
}

void SolverSteps::StoreAndReturnToA(int index, TextView text) {
  state_.entryText_ = Text(text);
  state_.CommitEntry(index, text);
  state_.current_ = 0;
  state_.listEdit_ = DefinitionOf(state_.table_[0]);
  state_.formulaBox_ = state_.listEdit_;
}

}  // namespace suusiki
