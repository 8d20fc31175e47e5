#include "engine/main_state.h"

#include <array>
#include <cstdint>

#include "engine/arithmetic.h"
#include "engine/checks.h"
#include "engine/number_text.h"
#include "engine/reduction.h"

namespace suusiki {
namespace {

// The characters that may follow a variable's letter for it to be expanded.
constexpr char32_t kFollowers[] = {U'+', U'-', U'*', U'/', U')', U'^', U' '};

bool IsFollower(char32_t c) {
  for (char32_t f : kFollowers) {
    if (c == f) return true;
  }
  return false;
}

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

void MainState::CommitEntry(int index, TextView text) {
  table.at(static_cast<std::size_t>(index)) = EntryFor(index, text);
  listEdit = Text(text);
  Save();
}

void MainState::Save() {
  if (autoSave_ != nullptr) autoSave_->Save(table);
}

Effects MainState::Calculate() {
  Effects effects;
  try {
    // First capture: the formula box becomes the current variable's definition.
    if (current >= 0) {
      entryText = formulaBox;
      CommitEntry(current, entryText);
      formulaBox = entryText;
      workingFormula = entryText;
    }
    if (formulaBox.empty() || workingFormula.empty()) {
      workingFormula = U"0";
      answerLine = U"0. ";
      return effects;
    }
    // Second capture: the same store once more, then the formula box has the focus.
    entryText = formulaBox;
    listEdit = entryText;
    if (current < 0 || current >= kVariableCount) Fail(Failure::Other);
    CommitEntry(current, entryText);
    formulaBox = listEdit;
    workingFormula = entryText;
    effects.focus = Focus::FormulaBox;

    CheckAdjacency(workingFormula);
    RepairOperatorPlus(workingFormula);
    Expand();
    EvaluateFunctions();
  } catch (const EngineError& error) {
    const Reaction reaction = ReactionTo(error.failure());
    if (reaction.message != nullptr) answerLine = reaction.message;
    effects.beep = reaction.beep;
    if (reaction.focusFormulaBox) effects.focus = Focus::FormulaBox;
    effects.failure = error.failure();
  } catch (const std::exception&) {
    effects.failure = Failure::Other;  // e.g. out of memory: ends silently like an overflow
  }
  // The rewritten formula is kept (the printout shows it) with "-" for its signs.
  ShowSigns(workingFormula);
  return effects;
}

Effects MainState::SelectRow(int row) {
  current = row >= 0 && row < kVariableCount ? row : -1;
  if (current >= 0) {
    const Text& entry = table[static_cast<std::size_t>(current)];
    const Text definition = DefinitionOf(entry);
    workingFormula = definition.empty() ? Text(U"0") : definition;
    variableLabel = entry.substr(0, 3);
    listEdit = definition;
    formulaBox = definition;
  }
  Effects effects;
  effects.focus = Focus::FormulaBox;
  return effects;
}

Effects MainState::EnterInFormulaBox() {
  if (current < 0) return {};
  entryText = formulaBox;
  CommitEntry(current, entryText);
  formulaBox = entryText;
  workingFormula = entryText;
  Effects effects = Calculate();
  effects.focus = Focus::FormulaBox;
  return effects;
}

Effects MainState::EnterInList() {
  if (current < 0) return {};
  entryText = listEdit;
  CommitEntry(current, entryText);
  workingFormula = entryText;
  Effects effects = Calculate();
  effects.focus = Focus::List;
  return effects;
}

Effects MainState::ClearAll() {
  table = EmptyTable();
  Save();
  listEdit = DefinitionOf(table[0]);
  formulaBox = listEdit;
  Effects effects = Calculate();
  effects.beep = true;
  effects.focus = Focus::FormulaBox;
  return effects;
}

void MainState::RefreshAfterLoading() {
  current = 0;
  listEdit = DefinitionOf(table[0]);
  formulaBox = listEdit;
  workingFormula = listEdit;
  variableLabel = table[0].substr(0, 2);
}

void MainState::Expand() {
  VariableTable definitions;
  std::array<std::uint32_t, kVariableCount> definitionLetters{};
  for (int i = 0; i < kVariableCount; ++i) {
    definitions[i] = DefinitionOf(table[i]);
    definitionLetters[i] = LettersIn(definitions[i]);
  }

  Text& formula = workingFormula;
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
        if (index == current) Fail(Failure::SelfReference);
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
    answerLine = AnswerText(formula);  // provisional, until the value is known
    if (!HasReference(formula)) return;
  }
}

void MainState::EvaluateFunctions() {
  Text& formula = workingFormula;
  for (;;) {
    Call call;
    if (!LocateRightmostCall(formula, call)) {
      if (HasLetter(formula)) Fail(Failure::Syntax);
      ReduceOperators(formula, resultText);
      answerLine = AnswerText(resultText);
      return;
    }
    if (call.argument.size() == 1 && IsUpper(call.argument.front())) Fail(Failure::Syntax);
    ReduceOperators(call.argument, resultText);
    // The function's value takes the place of the call as one signed number.
    Text value = NumberText(ApplyFunction(call.function, ReadOrFail(resultText)), kFunctionPattern);
    if (value.front() == U'-') value.front() = kValueSign;
    formula = Left(formula, call.start - 1) + value + Right(formula, static_cast<long long>(formula.size()) - call.end);
    answerLine = AnswerText(WithShownSigns(formula));
  }
}

}  // namespace suusiki
