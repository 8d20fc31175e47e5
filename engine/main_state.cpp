// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/main_state.h"

#include <array>
#include <cstdint>
#include <functional>
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

// One bit per letter A to Z that occurs in `text`, in either case, followed by
// a follower: the references still to expand.
std::uint32_t ReferencedLetters(TextView formula) {
  std::uint32_t letters = 0;
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    const char32_t c = formula[i];
    if (!IsLetter(c) || !IsFollower(formula[i + 1])) continue;
    letters |= 1u << (IsUpper(c) ? c - U'A' : c - U'a');
  }
  return letters;
}

bool HasLetter(TextView formula) {
  for (char32_t c : formula) {
    if (IsLetter(c)) return true;
  }
  return false;
}

// Shows the value of `result` in `answerLine`, written in place; a number
// beyond the range fails first and leaves the line alone.
void ShowAnswer(TextView result, Text& answerLine) {
  const double value = ReadOrFail(result);
  answerLine.clear();
  AppendAnswerText(value, answerLine);
}

// The first occurrences, in `formula`, of `upper` and of `lower` followed by
// each follower (as 1-based positions, 0 for none), in the order of kFollowers.
struct References {
  std::array<int, std::size(kFollowers)> upper{};
  std::array<int, std::size(kFollowers)> lower{};
};

References FindReferences(TextView formula, char32_t upper, char32_t lower) {
  References found;
  for (std::size_t i = 0; i + 1 < formula.size(); ++i) {
    const char32_t c = formula[i];
    if (c != upper && c != lower) continue;
    auto& first = c == upper ? found.upper : found.lower;
    for (std::size_t f = 0; f < std::size(kFollowers); ++f) {
      if (formula[i + 1] == kFollowers[f] && first[f] == 0) first[f] = static_cast<int>(i) + 1;
    }
  }
  return found;
}

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
    // Second capture: the same store once more (the entry, the list's edit
    // field, the formula box and the working formula hold the text already,
    // so it comes down to saving the table again), then the formula box has
    // the focus. Without a current variable it gets as far as the edit field.
    if (current_ < 0 || current_ >= kVariableCount) {
      entryText_ = formulaBox_;
      listEdit_ = entryText_;
      Fail(Failure::NoVariable);
    }
    Save();
    effects.focus = Focus::FormulaBox;

    CheckAdjacency(workingFormula_);
    RepairOperatorPlus(workingFormula_);
    EvaluateFunctions(Expand());
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

bool MainState::Expand() {
  Text& formula = workingFormula_;
  if (!HasLetter(formula)) {
    // No reference and no Pi: one pass that changes nothing, its length
    // measured with the blank it adds.
    if (formula.size() + 1 > kMaxExpandedLength) Fail(Failure::Syntax);
    return false;
  }
  for (;;) {
    formula.push_back(U' ');  // so that a letter or Pi at the very end has a follower
    SubstitutePi(formula);
    // The letters with a reference in the formula as it stands, found again
    // after each expansion: a letter without one is skipped.
    std::uint32_t referenced = ReferencedLetters(formula);
    for (int index = 0; index < kVariableCount; ++index) {
      if ((referenced & (1u << index)) == 0) continue;
      const auto upper = static_cast<char32_t>(U'A' + index);
      const auto lower = static_cast<char32_t>(U'a' + index);
      References found = FindReferences(formula, upper, lower);
      for (std::size_t f = 0; f < std::size(kFollowers); ++f) {
        // One occurrence per letter and follower each pass; the lower-case one wins.
        const int u = found.upper[f];
        const int l = found.lower[f];
        if (u == 0 && l == 0) continue;
        if (index == current_) Fail(Failure::SelfReference);
        const int p = l > 0 ? l : u;
        const TextView definition = DefinitionView(table_[static_cast<std::size_t>(index)]);
        const TextView inserted = definition.empty() ? TextView(U"0") : definition;
        // The letter becomes the definition in brackets, "(0)" for an empty one.
        const auto at = static_cast<std::size_t>(p - 1);
        formula[at] = U')';
        formula.insert(at, inserted);
        formula.insert(at, 1, U'(');
        // The rest of the formula holds no Pi before a follower any more, and
        // the brackets can't make one with it: only the definition (with its
        // closing bracket as a follower) may hold one.
        const std::size_t before = formula.size();
        SubstitutePi(formula, at, at + inserted.size() + 2);
        const std::size_t bracketed = inserted.size() + 2 + (formula.size() - before);
        found = FindReferences(formula, upper, lower);
        // New references can only lie in the brackets (as long as Pi's digits
        // made them); the one taken may stay marked, as this letter is not
        // looked at again in this pass.
        referenced |= ReferencedLetters(TextView(formula).substr(at, bracketed));
      }
    }
    if (formula.size() > kMaxExpandedLength) Fail(Failure::Syntax);
    if (formula.back() == U' ') formula.pop_back();
    if (!HasReference(formula)) return true;
  }
}

void MainState::EvaluateFunctions(bool letters) {
  Text& formula = workingFormula_;
  for (;;) {
    Call call;
    // Without letters there is no call, and nothing the letter check refuses.
    if (!letters || !LocateRightmostCall(formula, call)) {
      if (letters && HasLetter(formula)) Fail(Failure::Syntax);
      ReduceOperators(formula, resultText_);
      ShowAnswer(resultText_, answerLine_);
      return;
    }
    if (call.argument.size() == 1 && IsUpper(call.argument.front())) Fail(Failure::Syntax);
    ReduceOperators(call.argument, resultText_);
    // The function's value takes the place of the call as one signed number
    // with its 15 digits.
    Text value;
    if (!AppendValueText(ApplyFunction(call.function, ReadOrFail(resultText_)), value)) Fail(Failure::Syntax);
    if (value.front() == U'-') value.front() = kValueSign;
    formula.replace(static_cast<std::size_t>(call.start - 1), static_cast<std::size_t>(call.end - call.start + 1),
                    value);
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
