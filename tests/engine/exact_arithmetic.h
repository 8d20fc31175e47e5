// SPDX-License-Identifier: GPL-3.0-or-later
// Random formulas checked against exact decimal arithmetic.
//
// The generator writes formulas of decimals, "+ - * / ^", brackets and, in its
// magnitudes mode, Exp calls, with whole exponents and no minus typed before a
// number except in an exponent ("10^-19"), so negative values only come from
// subtractions inside brackets; its leading-minus mode starts the formula with
// minuses and calls Abs, Int and Fix and refers to variables. The exact
// evaluator reads them on big decimal numbers in the order the calculate
// command works: function calls from the rightmost outward, then the bracket
// groups from the innermost out, and in each group every "^" from the left,
// every "/", every "*", every "+" and then every "-". Each operation's result
// is rounded as the reduction rounds it: 15 significant digits, halves away
// from zero, at any magnitude.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/main_state.h"

namespace suusiki::exact {

enum class Mode {
  Plain,       // 0 to 999 with up to three decimals, exponents 0 to 3
  Magnitudes,  // the same mixed with 10^-k, 10^k, Exp(0-k) and a/10^k: values from about 1e-300 to 1e99
  // Plain formulas that start with "-", "--" or "---" before a bracket, a call
  // of Abs, Int or Fix or a variable, often raised to a power; calls and
  // variables stand among the other operands too.
  LeadingMinus,
};

// The definitions of the variables B to F. The engine expands a reference as
// its definition in brackets, "(0)" for an empty one, and so does Evaluate.
using Definitions = std::array<std::string, 5>;

struct Formula {
  std::string text;
  Definitions definitions;  // plain formulas in the leading-minus mode, empty otherwise
};

// Plain and leading-minus formulas hold at most four operands (powers'
// exponents included) in any one bracket level, so that a reduced group's
// text stays below the 100-character limit: four value texts of at most 22
// characters. Magnitudes formulas, and the definitions of the leading-minus
// mode, hold up to five: one whose group might grow past the limit, or whose
// expansion past 400 characters, is drawn again. Each stays within 120
// characters.
Formula RandomFormula(std::mt19937_64& random, Mode mode = Mode::Plain);

enum class Outcome {
  Value,           // a number
  DivisionByZero,  // a number divided by zero, or zero raised to a negative power
  TooLarge,        // a value of 1e99 or more (cut to 15 digits) on the way
  Overflow,        // a value beyond the range of a double on the way
  OutOfRange,      // not compared: a value below 1e-300 on the way, or one on the edge of a limit
  NotAFormula,     // outside the evaluator's grammar, or a group that may grow past 100 characters
};

struct ExactValue {
  Outcome outcome = Outcome::Value;
  std::string decimal;           // the value as decimal text ("0.25", "3.5e-19"), when there is one
  bool raisesNegative = false;   // a negative number is raised to a power on the way
  bool negatesNegative = false;  // the minus at the start of the formula meets a negative power
  // The engine, which reads its operands into doubles, may come to another
  // outcome: a sum on the way cancels most of its operands' digits, leaving
  // their binary errors, or the value lies within such an error of 1e99 or
  // of the double range. Not compared.
  bool uncertain = false;
};

// The value of a formula in the evaluator's grammar:
//   formula = {"-"} level
//   level   = chain {("+" | "-" | "*" | "/") chain}
//   chain   = primary {"^" ["-"] whole}          a whole number of 1 to 3 digits
//   primary = number | "(" level ")" | name "(" level ")" | variable
//   name    = "Exp" | "Abs" | "Int" | "Fix"
// with numbers of digits and at most one point (20 characters at most), the
// names in any letter case, variables B to F in either case whose
// definitions are levels (with no variables), and 400 characters in all once
// they are expanded. The minuses at the start cancel in pairs; one that is
// left negates the first power of the formula, taken of its operand with its
// own sign (-(0-2)^2 is -4, -(0-2)^3 is 8), and nothing else.
ExactValue Evaluate(std::string_view formula, const Definitions& definitions = {});

// The calculate command run on `formula` by `state`, a fresh one, with the
// definitions of the variables B to F stored first.
Effects Calculate(MainState& state, std::string_view formula, const Definitions& definitions = {});

// Whether the calculate command's outcome is compared with `exact` at all.
bool Compared(const ExactValue& exact);

// Whether the calculate command just run agrees with `exact`: a value within a
// relative 1e-9 whose answer line is AnswerText of it, or the failure and
// message that the outcome calls for.
bool Agrees(const ExactValue& exact, const MainState& state, const Effects& effects);

// The formula and its definitions, the exact value and the answer line, for a report.
std::string Difference(std::string_view formula, const Definitions& definitions, const ExactValue& exact,
                       const MainState& state);

// The generated formulas compared with the calculate command.
struct Tally {
  int values = 0;                        // numbers that agree
  int tinyValues = 0;                    // of those, the ones of magnitude below 1e-9 (but not 0)
  int divisionsByZero = 0;               // "0で除算" where exact arithmetic divides by zero
  int tooLarge = 0;                      // "文法エラー！" where a value reaches 1e99
  int overflows = 0;                     // "桁あふれ" where a value leaves the double range
  int outOfRange = 0;                    // formulas skipped as out of range
  int uncertain = 0;                     // formulas skipped as uncertain
  int negativePowers = 0;                // compared formulas that raise a negative value to a power
  int negatedNegatives = 0;              // compared formulas whose minus at the start meets a negative power
  std::vector<std::string> differences;  // formula, exact value and the engine's answer
};

// Compares `count` formulas from a generator seeded with `seed`.
Tally CompareWithCalculate(std::uint64_t seed, int count, Mode mode = Mode::Plain);

}  // namespace suusiki::exact
