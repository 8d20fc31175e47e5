// The operator reduction: evaluates a text of decimal numbers, the operators
// "^", "/", "*", "+", "-" and brackets by rewriting it, one operation at a time.
//
// The innermost bracketed group is cut out and reduced: every "^" (from the
// left), then every "/", every "*", every "+" and every "-". Each operation reads
// its operands as number text on either side of the operator, computes in
// double precision and splices the value back as number text with at most 18
// decimal places. A "-" directly before a number's digits belongs to the number,
// so a subtraction is mostly the addition of a negative number.
#pragma once

#include "engine/text.h"

namespace suusiki {

// Reduces `text` and leaves its value, as number text, in `result`. `result` is
// rewritten in place, so after a failure it holds the text as far as it got.
// `formulaStartsWithMinus` tells whether the whole working formula starts with
// "-": a power then keeps the minus of its base. Fails with the failure kinds
// of the reduction (bracket mismatch, misplaced bracket, the length limit,
// division by zero, invalid argument, overflow).
void ReduceOperators(Text text, bool formulaStartsWithMinus, Text& result);

// The most operations one group may take. A real formula needs a handful; some
// texts with an empty operand would otherwise rewrite themselves for ever.
inline constexpr int kMaxOperationsPerGroup = 10000;

// A result text longer than this at its last operator search ends the command.
inline constexpr int kMaxResultLength = 100;

}  // namespace suusiki
