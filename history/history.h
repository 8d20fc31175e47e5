// SPDX-License-Identifier: GPL-3.0-or-later
// The history of the session's calculations: one entry for each run of the
// main window's calculate command and for each run of the Newton command (not
// for the calculations the Newton command runs on its way). It holds the last
// kCapacity entries in memory and is never written unless the user saves it.
// Standard library and engine/ only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/main_state.h"

namespace suusiki::history {

struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The local time now.
ClockTime LocalTimeNow();
// "09:05:03".
Text TimeText(ClockTime time);

struct Entry {
  std::uint64_t id = 0;  // 1 for the session's first entry, one more for each later one
  ClockTime time;
  Text variable;  // the current variable's letter, "A" to "Z"; empty when none was current
  Text formula;   // its definition as it was calculated
  Text answer;    // the answer line as it then stood, or the Newton command's message
};

class History {
 public:
  static constexpr std::size_t kCapacity = 1000;
  using Clock = std::function<ClockTime()>;

  explicit History(Clock clock = LocalTimeNow) : clock_(std::move(clock)) {}

  // The calculate command (the button "計算", Enter in the formula box or in
  // the list) has just run on `state`.
  void AddCalculation(const MainState& state);
  // The Newton command has just run on `state` and showed `message` (see
  // NewtonMessage), or found the root that the answer line shows when
  // `message` is empty.
  void AddNewtonRun(const MainState& state, TextView message);

  // Oldest first.
  const std::deque<Entry>& entries() const { return entries_; }
  // Removes the entries with these ids; an id that is not here is passed over.
  void Remove(const std::vector<std::uint64_t>& ids);
  void Clear() { entries_.clear(); }

 private:
  void Add(const MainState& state, TextView answer);

  Clock clock_;
  std::deque<Entry> entries_;
  std::uint64_t lastId_ = 0;
};

// The saved, printed and copied forms. A line holds an entry's time,
// variable, formula and answer, a tab between them; a tab or a line break
// inside a formula becomes a space, so that each entry stays one line of
// four fields.
Text HeaderLine();
Text Line(const Entry& entry);
// The header line and every entry's line, each ending with LF, in UTF-8: the
// saved file, and what suusiki-calc --history prints.
std::string TabSeparatedText(const History& history);
// The printed page: a title, a rule, then an entry a line.
std::vector<Text> PrintLines(const History& history);

// How a table that shows the entries with the ids `shown`, top to bottom,
// comes to show `history`: the rows to remove, bottom up, then the entries
// from `firstAdded` on, added at the bottom.
struct TableUpdate {
  std::vector<std::size_t> removedRows;
  std::size_t firstAdded = 0;
};
TableUpdate UpdateTable(const std::vector<std::uint64_t>& shown, const History& history);

}  // namespace suusiki::history
