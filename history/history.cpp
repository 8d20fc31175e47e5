// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history.h"

#include <algorithm>
#include <ctime>

namespace suusiki::history {
namespace {

Text TwoDigits(int n) {
  const int clamped = std::clamp(n, 0, 99);
  return {static_cast<char32_t>(U'0' + clamped / 10), static_cast<char32_t>(U'0' + clamped % 10)};
}

// `text` with each tab and line break as a space.
Text Field(TextView text) {
  Text field(text);
  std::replace_if(
      field.begin(), field.end(), [](char32_t c) { return c == U'\t' || c == U'\r' || c == U'\n'; }, U' ');
  return field;
}

}  // namespace

ClockTime LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

Text TimeText(ClockTime time) {
  return TwoDigits(time.hour) + U':' + TwoDigits(time.minute) + U':' + TwoDigits(time.second);
}

void History::AddCalculation(const MainState& state) { Add(state, state.answerLine()); }

void History::AddNewtonRun(const MainState& state, TextView message) {
  Add(state, message.empty() ? TextView(state.answerLine()) : message);
}

void History::Add(const MainState& state, TextView answer) {
  Entry entry;
  entry.id = ++lastId_;
  entry.time = clock_();
  const int current = state.current();
  if (current >= 0 && current < kVariableCount) {
    const Text& stored = state.table()[static_cast<std::size_t>(current)];
    entry.variable = Text(1, static_cast<char32_t>(U'A' + current));
    entry.formula = DefinitionOf(stored);
  } else {
    entry.formula = state.formulaBox();  // calculated without a variable to store it in
  }
  entry.answer = Text(answer);
  if (entries_.size() >= kCapacity) entries_.pop_front();
  entries_.push_back(std::move(entry));
}

void History::Remove(const std::vector<std::uint64_t>& ids) {
  std::erase_if(entries_, [&ids](const Entry& e) { return std::find(ids.begin(), ids.end(), e.id) != ids.end(); });
}

Text HeaderLine() { return U"時刻\t変数\t数式\t答え"; }

Text Line(const Entry& entry) {
  return TimeText(entry.time) + U'\t' + entry.variable + U'\t' + Field(entry.formula) + U'\t' + Field(entry.answer);
}

std::string TabSeparatedText(const History& history) {
  std::string text = ToUtf8(HeaderLine()) + '\n';
  for (const Entry& entry : history.entries()) text += ToUtf8(Line(entry)) + '\n';
  return text;
}

std::vector<Text> PrintLines(const History& history) {
  std::vector<Text> lines{U"　", U"　　計算の履歴", U"　" + Text(60, U'-')};
  for (const Entry& entry : history.entries()) {
    const Text variable = entry.variable.empty() ? Text() : entry.variable + U": ";
    lines.push_back(U"　" + TimeText(entry.time) + U"　" + variable + Field(entry.formula) + U"　= " +
                    Field(entry.answer));
  }
  return lines;
}

TableUpdate UpdateTable(const std::vector<std::uint64_t>& shown, const History& history) {
  // The rows kept are the history's first entries, in order; whatever follows
  // them in the history is added below them.
  TableUpdate update;
  const std::deque<Entry>& entries = history.entries();
  std::size_t next = 0;
  for (std::size_t row = 0; row < shown.size(); ++row) {
    if (next < entries.size() && entries[next].id == shown[row]) {
      ++next;
    } else {
      update.removedRows.push_back(row);
    }
  }
  std::reverse(update.removedRows.begin(), update.removedRows.end());
  update.firstAdded = next;
  return update;
}

}  // namespace suusiki::history
