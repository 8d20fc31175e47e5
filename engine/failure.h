// SPDX-License-Identifier: GPL-3.0-or-later
// How a calculation can fail, and what the window does about each kind.
//
// Every failure ends the calculate command. The kind decides the answer line's
// message, the beep and whether the formula box takes the focus; that mapping
// lives here and nowhere else. Every failure of a calculation says so: none
// leaves a number in the answer line that could pass for its answer.
#pragma once

#include <stdexcept>

namespace suusiki {

enum class Failure {
  Syntax,            // a check failed, the length limits: beep, "文法エラー！"
  SelfReference,     // a variable reaches itself: beep, "文法エラー！自己変数"
  BracketMismatch,   // "(" and ")" counts differ: beep, "文法エラー！ｶｯｺが合わない"
  MisplacedBracket,  // ")" before "(", an empty "()": message, beep, focus to the formula box
  DivisionByZero,    // beep, "文法エラー！0で除算"
  InvalidArgument,   // a function or text cut outside its domain: beep, "文法エラー！", focus
  Overflow,          // a value beyond the range of a double: beep, "文法エラー！桁あふれ"
  Other,             // any other failure on the way: beep, "文法エラー！"
  NoVariable,        // no variable is current: nothing is calculated, the answer line stays
};

struct Reaction {
  const char32_t* message;  // new answer line text; nullptr keeps the answer line
  bool beep;
  bool focusFormulaBox;
};

constexpr Reaction ReactionTo(Failure failure) {
  switch (failure) {
    case Failure::Syntax: return {U"文法エラー！", true, false};
    case Failure::SelfReference: return {U"文法エラー！自己変数", true, false};
    case Failure::BracketMismatch: return {U"文法エラー！ｶｯｺが合わない", true, false};
    case Failure::MisplacedBracket: return {U"文法エラー！", true, true};
    case Failure::DivisionByZero: return {U"文法エラー！0で除算", true, false};
    case Failure::InvalidArgument: return {U"文法エラー！", true, true};
    case Failure::Overflow: return {U"文法エラー！桁あふれ", true, false};
    case Failure::Other: return {U"文法エラー！", true, false};
    case Failure::NoVariable: break;
  }
  return {nullptr, false, false};
}

// Thrown inside the calculate command to end it; caught by its one handler.
class EngineError : public std::exception {
 public:
  explicit EngineError(Failure failure) : failure_(failure) {}
  Failure failure() const { return failure_; }
  const char* what() const noexcept override { return "calculation failed"; }

 private:
  Failure failure_;
};

[[noreturn]] inline void Fail(Failure failure) { throw EngineError(failure); }

}  // namespace suusiki
