// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/curve.h"

#include <cmath>
#include <utility>

#include "engine/number_text.h"
#include "solver/value_at_x.h"

namespace suusiki::graph {
namespace {

// How often a suspect interval is halved. A continuous curve's change
// shrinks to about a sixteenth; a jump's stays whole.
constexpr int kHalvings = 4;

bool Jumps(Evaluator& a, Point left, Point right) {
  const double change = std::fabs(right.y - left.y);
  for (int i = 0; i < kHalvings; ++i) {
    const double middle = left.x + (right.x - left.x) / 2;
    if (!(left.x < middle && middle < right.x)) break;  // no point left between them
    const std::optional<double> y = a.At(middle);
    if (!y) return true;  // A fails in between
    const Point m{middle, *y};
    // Go on with the half that changes more.
    if (std::fabs(m.y - left.y) >= std::fabs(right.y - m.y)) {
      right = m;
    } else {
      left = m;
    }
  }
  return std::fabs(right.y - left.y) > change / 2;
}

}  // namespace

Evaluator::Evaluator(const MainState& state) : state_(state, nullptr) { state_.SelectRow(kVariableA); }

std::optional<double> Evaluator::At(double x) {
  if (!std::isfinite(x)) return std::nullopt;
  ++calculations_;
  return CalculateAAtX(state_, NumberText(x, kPointPattern), FailedValue::None).value;
}

std::vector<Sample> SampleColumns(Evaluator& a, const Range& x, int columns) {
  std::vector<Sample> samples;
  if (columns < 1) return samples;
  samples.reserve(static_cast<std::size_t>(columns));
  const double width = x.Span() / columns;
  for (int i = 0; i < columns; ++i) {
    const double at = x.low + (i + 0.5) * width;
    samples.push_back({at, a.At(at)});
  }
  return samples;
}

Curve Join(Evaluator& a, std::vector<Sample> samples, double jumpHeight) {
  Curve curve;
  curve.samples = std::move(samples);

  bool open = false;              // whether the last piece goes on to the next sample
  std::optional<Point> withSign;  // the piece's last sample that is not zero
  bool zero = false;              // whether zeros followed it
  double firstZero = 0;           // the first of them
  for (const Sample& s : curve.samples) {
    if (!s.y) {
      open = false;
      continue;
    }
    const Point p{s.x, *s.y};
    if (open) {
      const Point q = curve.pieces.back().back();
      if (std::fabs(p.y - q.y) > jumpHeight && Jumps(a, q, p)) open = false;
    }
    if (!open) {
      curve.pieces.emplace_back();
      open = true;
      withSign.reset();
      zero = false;
    }
    if (p.y == 0) {
      if (!zero) firstZero = p.x;
      zero = true;
    } else {
      if (withSign && (withSign->y < 0) != (p.y < 0)) {
        const Point q = *withSign;
        curve.crossings.push_back(zero ? firstZero : q.x - q.y * (p.x - q.x) / (p.y - q.y));
      }
      withSign = p;
      zero = false;
    }
    curve.pieces.back().push_back(p);
  }
  return curve;
}

}  // namespace suusiki::graph
