// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/plot.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"

namespace suusiki::graph {

double TickStep(double span, int maxSteps) {
  if (!(span > 0) || !std::isfinite(span) || maxSteps < 1) return 1;
  const double least = span / maxSteps;
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    // A little slack: 0.3 / 3 must give 0.1, not 0.2.
    if (factor * power >= least * (1 - 1e-9)) return factor * power;
  }
  return 10 * power;
}

std::vector<double> Ticks(const Range& range, double step) {
  std::vector<double> ticks;
  if (!(step > 0) || !std::isfinite(step) || !(range.Span() > 0)) return ticks;
  const double first = std::ceil(range.low / step - 1e-9);
  const double last = std::floor(range.high / step + 1e-9);
  // Many more than a plot can show means a step that does not fit the range;
  // multiples past 2^53 steps from zero can no longer be told apart.
  if (!(last - first < 10000) || !(std::max(std::abs(first), std::abs(last)) < 0x1p53)) return ticks;
  const auto count = static_cast<int>(last - first);
  for (int k = 0; k <= count; ++k) ticks.push_back((first + k) * step);
  return ticks;
}

Text PlainNumber(double value, double step) {
  if (!std::isfinite(value)) return U"";
  Text text;
  if (step > 0 && std::isfinite(step)) {
    NumberPattern pattern;
    pattern.grouping = true;
    pattern.places = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
    text = NumberText(value, pattern);
  } else {
    text = AnswerText(value);  // a value, written as the answer line writes it
    text.pop_back();           // without its space
  }
  if (!text.empty() && text.back() == U'.') text.pop_back();
  return text;
}

Range AutoRange(std::vector<double> values) {
  std::erase_if(values, [](double v) { return !std::isfinite(v); });
  if (values.empty()) return {-10, 10};
  std::sort(values.begin(), values.end());
  const std::size_t last = values.size() - 1;
  const double lowQuantile = values[last / 20];
  const double highQuantile = values[last - last / 20];
  // What lies within half the middle's height beyond it belongs to the curve.
  const double reach = (highQuantile - lowQuantile) / 2;
  double low = std::max(values.front(), lowQuantile - reach);
  double high = std::min(values.back(), highQuantile + reach);
  if (low == high) {
    // A constant: shown with the X axis.
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (low == high) return {-1, 1};
  }
  const double height = high - low;
  if (low > 0 && low <= height) low = 0;
  if (high < 0 && -high <= height) high = 0;
  const double margin = (high - low) / 20;
  return {low - margin, high + margin};
}

std::optional<std::pair<Point, Point>> Clip(Point a, Point b, const Box& box) {
  // Liang and Barsky: the segment is a + t (b - a) for t in [0, 1]; each edge
  // of the box cuts off one end of that interval.
  double enter = 0;
  double leave = 1;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const std::pair<double, double> edges[] = {
      {-dx, a.x - box.left},
      {dx, box.right - a.x},
      {-dy, a.y - box.top},
      {dy, box.bottom - a.y},
  };
  for (const auto& [p, q] : edges) {
    if (p == 0) {
      if (q < 0) return std::nullopt;  // parallel to this edge and outside it
      continue;
    }
    const double t = q / p;
    if (p < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
  }
  if (!(enter <= leave)) return std::nullopt;
  const auto at = [&](double t) { return Point{a.x + t * dx, a.y + t * dy}; };
  return std::make_pair(enter == 0 ? a : at(enter), leave == 1 ? b : at(leave));
}

}  // namespace suusiki::graph
