// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/variable_table.h"

namespace suusiki {

Text EntryFor(int index, TextView definition) {
  Text entry = EmptyEntry(index);
  entry.append(definition);
  return entry;
}

Text DefinitionOf(TextView entry) { return Text(DefinitionView(entry)); }

TextView DefinitionView(TextView entry) { return entry.size() > 3 ? entry.substr(3) : TextView(); }

Text EmptyEntry(int index) { return Text{static_cast<char32_t>(U'A' + index), U':', U' '}; }

VariableTable EmptyTable() {
  VariableTable table;
  for (int i = 0; i < kVariableCount; ++i) table[i] = EmptyEntry(i);
  return table;
}

}  // namespace suusiki
