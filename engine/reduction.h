// SPDX-License-Identifier: GPL-3.0-or-later
// The operator reduction: evaluates a text of decimal numbers, the operators
// "^", "/", "*", "+", "-" and brackets by rewriting it, one operation at a time.
//
// The innermost bracketed group is cut out and reduced: every "^" (from the
// left), then every "/", every "*", every "+" and every "-". Each operation reads
// its operands as number text on either side of the operator, computes in
// double precision and splices the value back as text with its 15 significant
// digits (see AppendValueText), at any magnitude.
//
// Signs: every value the reduction computes (an operation's result, a group's
// value) and every function value spliced in before it is one signed number,
// its minus written as kValueSign, wherever it lands: "^" raises the signed
// value and an operator before it meets a negative number. A "-" typed after
// an operator or "(" belongs to what follows (2*-3^2 is 18, 6/-(2) is -3); a
// "-" typed after a number or ")" subtracts what follows, a power taken of the
// number without the minus (3-2^0.5 is 3-1.414); a "-" that starts the text
// applies to the power of its first number (-2^2 is -4) and to nothing else.
#pragma once

#include "engine/text.h"

namespace suusiki {

// Reduces `text` and leaves its value, as number text with "-" for a minus, in
// `result`; returns the value that the reading rule gives that text (a text
// beyond the range of a double is an overflow). `result` is rewritten in
// place, so after a failure it holds the text as far as it got (its signs
// shown as "-" too). Fails with the failure kinds of the reduction (bracket
// mismatch, misplaced bracket, the length limit, division by zero, invalid
// argument, overflow, a value of 10^99 or more).
double ReduceOperators(TextView text, Text& result);

// The most operations one group may take. A real formula needs a handful; some
// texts with an empty operand would otherwise rewrite themselves for ever.
inline constexpr int kMaxOperationsPerGroup = 10000;

// A result text longer than this at its last operator search ends the command.
inline constexpr int kMaxResultLength = 100;

}  // namespace suusiki
