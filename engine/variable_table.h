// SPDX-License-Identifier: GPL-3.0-or-later
// The variable table: 26 entries, index 0 to 25 for A to Z. Each entry is the
// upper-case letter, ": " and the definition exactly as typed; an empty
// variable's entry is the three characters alone. Variables hold definitions,
// never computed values.
#pragma once

#include <array>

#include "engine/text.h"

namespace suusiki {

inline constexpr int kVariableCount = 26;
using VariableTable = std::array<Text, kVariableCount>;

// The index of an upper-case letter's variable: 0 for A, 23 for X.
constexpr int VariableIndex(char32_t letter) { return static_cast<int>(letter - U'A'); }
// The variable that holds the equation of the Newton command, and its unknown.
inline constexpr int kVariableA = VariableIndex(U'A');
inline constexpr int kVariableX = VariableIndex(U'X');

Text EntryFor(int index, TextView definition);  // "A: " + definition
Text DefinitionOf(TextView entry);              // the entry from its fourth character
TextView DefinitionView(TextView entry);        // the same, as a view into the entry
Text EmptyEntry(int index);                     // "A: "
VariableTable EmptyTable();

}  // namespace suusiki
