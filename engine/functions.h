// SPDX-License-Identifier: GPL-3.0-or-later
// The ten functions a formula may call, their names, and how the calculation
// finds the call to evaluate next.
#pragma once

#include <string_view>

#include "engine/text.h"

namespace suusiki {

// The ten functions, in the order of their names' table.
enum class Function { Abs, Atn, Cos, Exp, Fix, Int, Log, Sin, Sqr, Tan };

// Each function's name as the keypad writes it; a formula may write it in any
// letter case. The one list of the names: the call finder, the keypad and
// the graph read it.
struct FunctionName {
  Function function;
  std::string_view name;
};
inline constexpr FunctionName kFunctionNames[] = {
    {Function::Abs, "Abs"}, {Function::Atn, "Atn"}, {Function::Cos, "Cos"}, {Function::Exp, "Exp"},
    {Function::Fix, "Fix"}, {Function::Int, "Int"}, {Function::Log, "Log"}, {Function::Sin, "Sin"},
    {Function::Sqr, "Sqr"}, {Function::Tan, "Tan"},
};
constexpr std::string_view NameOf(Function function) { return kFunctionNames[static_cast<int>(function)].name; }

struct Call {
  Function function;
  int start = 0;  // 1-based position of the name's first letter
  int end = 0;    // position of the ")" that closes the bracket after the name
  Text argument;  // the call without its three-letter name, brackets included
};

// Finds the rightmost function name (any letter case). Returns false when the
// formula names no function. A name that is followed by "(" without a matching
// ")" , or that ends the formula, fails with Failure::InvalidArgument; a name
// followed by anything else than "(" yields a call of the name and one character.
bool LocateRightmostCall(TextView formula, Call& call);

}  // namespace suusiki
