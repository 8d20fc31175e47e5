// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/newton_trace.h"

#include <cmath>
#include <string>

#include "solver/newton.h"

namespace suusiki::graph {
namespace {

// The Newton command's view of a window that nobody sees: no yield, no beep;
// the message box and every step are recorded.
class Recorder : public NewtonHost {
 public:
  explicit Recorder(NewtonTrace& trace) : trace_(trace) {}
  void Yield() override {}
  void Beep() override {}
  void Warn(TextView message) override { trace_.warning = Text(message); }
  void Iterated(double x, double fx, double next) override { trace_.steps.push_back({x, fx, next}); }

 private:
  NewtonTrace& trace_;
};

Text Trimmed(TextView text) {
  while (!text.empty() && text.back() == U' ') text.remove_suffix(1);
  return Text(text);
}

}  // namespace

std::optional<double> NewtonTrace::last() const {
  if (steps.empty() || !std::isfinite(steps.back().next)) return std::nullopt;
  return steps.back().next;
}

Text NewtonTrace::Message() const {
  switch (end) {
    case End::Root: return Trimmed(answerLine) + U"（" + Ascii(std::to_string(steps.size())) + U" 回の繰り返しで収束）";
    case End::NoEquation: return warning;
    case End::NotSolvable: return warning + U"（傾きが 0 か、次の点が求まりません）";
    case End::Limit:
      return warning + U"（" + Ascii(std::to_string(kNewtonIterationLimit)) + U" 回の繰り返しで収束しません）";
  }
  return warning;
}

NewtonTrace TraceNewton(const MainState& state, TextView startPoint) {
  MainState copy(state, nullptr);
  copy.SelectRow(kVariableA);  // A with its stored definition, whatever the window showed
  NewtonTrace trace;
  Recorder recorder(trace);
  Text start(startPoint);
  trace.end = RunNewtonCommand(copy, start, recorder);
  trace.start = start;
  trace.answerLine = copy.answerLine();
  return trace;
}

}  // namespace suusiki::graph
