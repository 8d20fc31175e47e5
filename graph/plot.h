// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of a plot, apart from what is plotted: ranges of values,
// round tick steps and their labels, the automatic range of Y, and cutting
// lines to the drawing area.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "engine/text.h"

namespace suusiki::graph {

// The values from `low` to `high` along one axis; low < high.
struct Range {
  double low = 0;
  double high = 1;

  double Span() const { return high - low; }
  double Middle() const { return low + (high - low) / 2; }
  bool operator==(const Range&) const = default;
};

// A point in values or in pixels, as the caller says.
struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

// A rectangle: x from left to right, y from top to bottom (top < bottom).
struct Box {
  double left, top, right, bottom;
};

// The round step (1, 2 or 5 times a power of ten) that cuts `span` into at
// most `maxSteps` steps, as few as possible.
double TickStep(double span, int maxSteps);

// The multiples of `step` in `range`, from the lowest.
std::vector<double> Ticks(const Range& range, double step);

// `value` as a label on an axis whose ticks are `step` apart (or as a
// coordinate read to `step`): the number text rule with as many decimals as
// the step has, grouped by thousands, without the point of a whole number.
// With no step (0), a value as the answer line shows it, without the point
// of a whole number and the trailing space.
Text PlainNumber(double value, double step);

// The range that shows `values` (finite numbers, in any order): the middle
// nine tenths and what lies near them; far outliers, such as the values close
// to a pole, fall outside. Zero is taken in when it lies near, so that the X
// axis shows; a margin of a twentieth is added on both sides. With no values
// it is -10 to 10.
Range AutoRange(std::vector<double> values);

// The part of the segment from `a` to `b` that lies inside `box`; nothing when
// no part does.
std::optional<std::pair<Point, Point>> Clip(Point a, Point b, const Box& box);

}  // namespace suusiki::graph
