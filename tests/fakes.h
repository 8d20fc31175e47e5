// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-ins for the window that the engine, solver and graph tests share:
// an auto-save that keeps every table it was given, and a Newton host that
// records what the command asked of the window.
#pragma once

#include <string>
#include <vector>

#include "engine/main_state.h"
#include "solver/newton.h"

namespace suusiki {

class RecordingSave : public AutoSave {
 public:
  void Save(const VariableTable& table) override { saved.push_back(table); }
  std::vector<VariableTable> saved;
};

struct RecordingHost : NewtonHost {
  void Yield() override {
    if (state != nullptr) shownWhileYielding.push_back(ToUtf8(state->answerLine()));
  }
  void Beep() override { ++beeps; }
  void Warn(TextView message) override { warnings.push_back(ToUtf8(message)); }
  // The warning shown, empty when none.
  std::string warning() const { return warnings.empty() ? std::string() : warnings.back(); }

  const MainState* state = nullptr;  // whose answer line a yield shows, when set
  std::vector<std::string> shownWhileYielding, warnings;
  int beeps = 0;
};

}  // namespace suusiki
