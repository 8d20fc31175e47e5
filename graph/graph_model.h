// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the graph window shows, without Qt: the equation read from the
// main window's state, the view in values and in pixels, the curve, the axes
// with their ticks and labels, the Newton steps and the table that lists them.
// The window draws what this says and forwards the user's input to it.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/main_state.h"
#include "graph/curve.h"
#include "graph/newton_trace.h"
#include "graph/plot.h"

namespace suusiki::graph {

// What can be drawn of A.
enum class Status {
  Curve,   // A names X: the curve is drawn
  EmptyA,  // A is empty: only the axes
  NoX,     // A does not name X: only the axes
};

// A tick on an axis: where it goes (in pixels along the axis) and its label.
struct Tick {
  double pixel = 0;
  Text label;
};

// One step of the Newton run in pixels: the estimate's point on the curve, the
// tangent from there down to the X axis, and the line from there up (or down)
// to the curve at the next estimate. Lines are cut to the plot; nothing is
// left of a line that lies outside it.
struct StepLines {
  int n = 0;  // 0 for the start point
  Point point;
  bool pointInside = false;
  bool numbered = false;  // its number is written beside it: not when an earlier number lies close
  std::optional<std::pair<Point, Point>> tangent;
  std::optional<std::pair<Point, Point>> riser;
};

// A row of the table beside the plot: n, X and A(X) as texts.
struct StepRow {
  Text n, x, ax;
  bool operator==(const StepRow&) const = default;
};

class GraphModel {
 public:
  GraphModel();
  ~GraphModel();
  GraphModel(const GraphModel&) = delete;
  GraphModel& operator=(const GraphModel&) = delete;

  // Reads the definitions from `state` (a private copy is kept) and the start
  // point box's text. A view that is still the first view becomes the first
  // view of what was read; a view the user moved stays. The Newton steps of
  // an earlier equation are dropped.
  void Read(const MainState& state, TextView startPoint);
  // The plot's size in pixels.
  void Resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }

  Status status() const { return status_; }
  // The equation as the window titles it: "A: X^2-8*X+12".
  Text Equation() const;
  // What the window says when there is no curve to draw; empty when there is.
  Text StatusMessage() const;

  // The view.
  const Range& xRange() const { return x_; }
  const Range& yRange() const { return y_; }
  // The first view: the start point in the middle of 20 units of X (720, two
  // turns, when A uses Sin, Cos or Tan, whose angles are degrees) and a Y
  // range that shows the curve there.
  void Home();
  bool atHome() const { return x_ == homeX_ && y_ == homeY_; }
  // Zooms by `factor` (below 1 comes closer) keeping the value under the
  // pixel (px, py) where it is.
  void ZoomAt(double px, double py, double factor);
  // Zooms about the middle of the plot.
  void Zoom(double factor);
  // Moves the picture by (dx, dy) pixels, as a drag does.
  void Drag(double dx, double dy);
  // Looks a tenth of the view further along X (columns) and Y (rows), as the
  // arrow keys do: +1 to the right and up.
  void Step(int columns, int rows);

  // Pixels and values.
  double PixelX(double x) const;
  double PixelY(double y) const;
  double XAt(double px) const;
  double YAt(double py) const;

  // The curve in the view, sampled again when the view or the size changed.
  const Curve& curve();
  // The curve's pieces as lines in pixels, cut to the plot.
  std::vector<std::vector<Point>> CurveLines();
  // The ticks of each axis, in pixels along it.
  std::vector<Tick> XTicks() const;
  std::vector<Tick> YTicks() const;
  // Where the axes lie: the pixel row of Y = 0 and the column of X = 0, each
  // held to the plot's edge when zero is outside the view (then the axis is
  // only where the labels go, see xAxisInView()).
  double XAxisRow() const;
  double YAxisColumn() const;
  bool xAxisInView() const;
  bool yAxisInView() const;
  // The cursor's place in values, as the window shows it, with A at the X
  // shown.
  Text CoordinatesAt(double px, double py);

  // Runs the Newton command on a copy of the state from `startPoint` (the box's
  // text; "1" when empty) and keeps its steps.
  void RunNewton(TextView startPoint);
  const std::optional<NewtonTrace>& newton() const { return newton_; }
  // The steps in pixels, and the rows of the table: one per estimate, the
  // one the run ended on last (with A there, when it can be calculated).
  std::vector<StepLines> NewtonLines() const;
  std::vector<StepRow> NewtonRows() const;
  Text NewtonMessage() const;
  // The line under the plot: why there is no curve, else the Newton run's
  // message, else how to start one.
  Text Message() const;

 private:
  void FindHome();
  // Keeps the view within the spans and distances it may have.
  void ClampView();
  Box PlotBox() const;
  // Where the Newton run ended: its last estimate, or the start point when it
  // stopped before its first step.
  std::optional<double> EndEstimate() const;

  std::unique_ptr<MainState> state_;  // the private copy
  std::unique_ptr<Evaluator> a_;
  Status status_ = Status::EmptyA;
  Text definition_;
  Text startPoint_;
  int width_ = 600;
  int height_ = 400;
  Range x_{-10, 10}, y_{-10, 10};
  Range homeX_ = x_, homeY_ = y_;
  std::optional<Curve> curve_;  // sampled over curveX_ in curveWidth_ columns
  Range curveX_;
  int curveWidth_ = 0;
  double curveJump_ = 0;
  std::optional<NewtonTrace> newton_;
  std::optional<double> lastValue_;  // A at the estimate the run ended on
};

}  // namespace suusiki::graph
