// SPDX-License-Identifier: GPL-3.0-or-later
// Double-precision arithmetic with its failures told apart: a division by zero,
// an invalid argument (outside a function's domain) and every other failure
// (a result beyond the double range, zero divided by zero).
#pragma once

#include <cmath>

#include "engine/functions.h"
#include "engine/text.h"

namespace suusiki {

// Pi, worked out each time as the arctangent of 1 times 4: the double nearest to π.
inline double Pi() { return std::atan(1.0) * 4; }

// The value of `text` by the reading rule; a number beyond the double range is
// an "other" failure.
double ReadOrFail(TextView text);

// a ^ b, a / b, a * b, a + b or a - b.
double Operate(char32_t op, double a, double b);

// The function's value at x. Angles are in degrees: Sin, Cos and Tan take
// degrees, Atn gives them.
double ApplyFunction(Function function, double x);

}  // namespace suusiki
