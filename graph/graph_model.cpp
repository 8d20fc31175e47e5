// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/graph_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "engine/functions.h"
#include "engine/number_text.h"
#include "solver/newton.h"

namespace suusiki::graph {
namespace {

// How far the view may go: Y and X within these of zero, X no narrower than a
// millionth of its distance from zero (the points' texts have 15 digits), and
// Y no narrower than a billionth.
constexpr double kMaxX = 1e9;
constexpr double kMaxY = 1e30;
constexpr double kLeastXSpan = 1e-6;
constexpr double kLeastYSpan = 1e-9;

// Half the width of the first view: ten units, or a full turn either way when
// A uses an angle.
constexpr double kHalfWidth = 10;
constexpr double kHalfTurns = 360;

// A change between neighbouring samples of more than this part of the view's
// height is looked at closer for a jump.
constexpr double kJumpShare = 0.25;

// Room for a tick label: one every 64 pixels along X, 40 along Y.
constexpr int kPixelsPerXTick = 64;
constexpr int kPixelsPerYTick = 40;

// Lines are cut a little outside the plot so that their ends don't show.
constexpr double kOverhang = 4;

// A step's number is left out when an earlier number is this close (pixels).
constexpr double kNumberRoom = 14;

Range Limited(Range range, double least, double most) {
  double middle = range.Middle();
  middle = std::isfinite(middle) ? std::clamp(middle, -most, most) : 0;
  double span = range.Span();
  const double narrowest = least * std::max(1.0, std::fabs(middle));
  if (!(span >= narrowest)) span = narrowest;
  if (!(span <= 2 * most)) span = 2 * most;
  return {middle - span / 2, middle + span / 2};
}

// Whether A, or a variable it may name, uses Sin, Cos or Tan. Any letter
// followed by anything counts as a name here: looking at a variable too many
// costs nothing.
bool UsesAngles(const VariableTable& table) {
  std::array<bool, kVariableCount> seen{};
  std::vector<int> pending{kVariableA};
  seen[kVariableA] = true;
  while (!pending.empty()) {
    const int index = pending.back();
    pending.pop_back();
    Text definition = DefinitionOf(table[static_cast<std::size_t>(index)]);
    for (char32_t& c : definition) {
      if (IsUpper(c)) c = c - U'A' + U'a';
    }
    for (const Function f : {Function::Sin, Function::Cos, Function::Tan}) {
      Text name = Ascii(NameOf(f));
      for (char32_t& c : name) {
        if (IsUpper(c)) c = c - U'A' + U'a';
      }
      if (definition.find(name) != Text::npos) return true;
    }
    for (const char32_t c : definition) {
      if (!IsLower(c)) continue;
      const auto letter = static_cast<std::size_t>(c - U'a');
      if (static_cast<int>(letter) == kVariableX || seen[letter]) continue;
      seen[letter] = true;
      pending.push_back(static_cast<int>(letter));
    }
  }
  return false;
}

// The table without X, which the Newton command and the graph both set.
VariableTable WithoutX(const VariableTable& table) {
  VariableTable rest = table;
  rest[kVariableX].clear();
  return rest;
}

}  // namespace

GraphModel::GraphModel() = default;
GraphModel::~GraphModel() = default;

void GraphModel::Read(const MainState& state, TextView startPoint) {
  const bool sameEquation = state_ != nullptr && WithoutX(state_->table()) == WithoutX(state.table());
  if (sameEquation && startPoint == startPoint_) return;
  const bool home = state_ == nullptr || atHome();
  state_ = std::make_unique<MainState>(state, nullptr);
  a_ = std::make_unique<Evaluator>(*state_);
  startPoint_ = Text(startPoint);
  definition_ = DefinitionOf(state.table()[0]);
  if (definition_.empty()) {
    status_ = Status::EmptyA;
  } else if (!NamesX(definition_)) {
    status_ = Status::NoX;
  } else {
    status_ = Status::Curve;
  }
  if (!sameEquation) {
    newton_.reset();
    lastValue_.reset();
  }
  curve_.reset();
  FindHome();
  if (home) Home();
}

void GraphModel::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  const bool home = atHome();
  width_ = width;
  height_ = height;
  curve_.reset();
  if (state_ != nullptr) FindHome();
  if (home) Home();
}

Text GraphModel::Equation() const { return U"A: " + definition_; }

Text GraphModel::StatusMessage() const {
  switch (status_) {
    case Status::Curve: break;
    case Status::EmptyA: return U"変数Ａ欄が空です。方程式を X で入力して計算すると、グラフを描きます。";
    case Status::NoX: return U"変数Ａ欄の式に X がありません。方程式を X で入力して計算すると、グラフを描きます。";
  }
  return U"";
}

void GraphModel::FindHome() {
  const std::optional<double> start = ReadNumber(startPoint_.empty() ? TextView(U"1") : TextView(startPoint_));
  const double half = state_ != nullptr && UsesAngles(state_->table()) ? kHalfTurns : kHalfWidth;
  homeX_ = Limited({start.value_or(0) - half, start.value_or(0) + half}, kLeastXSpan, kMaxX);
  homeY_ = {-10, 10};
  if (status_ != Status::Curve) return;
  std::vector<Sample> samples = SampleColumns(*a_, homeX_, width_);
  std::vector<double> values;
  for (const Sample& s : samples) {
    if (s.y) values.push_back(*s.y);
  }
  homeY_ = Limited(AutoRange(values), kLeastYSpan, kMaxY);
  // The samples serve the first view as they are.
  curve_ = Join(*a_, std::move(samples), homeY_.Span() * kJumpShare);
  curveX_ = homeX_;
  curveWidth_ = width_;
  curveJump_ = homeY_.Span() * kJumpShare;
}

void GraphModel::Home() {
  x_ = homeX_;
  y_ = homeY_;
}

void GraphModel::ClampView() {
  x_ = Limited(x_, kLeastXSpan, kMaxX);
  y_ = Limited(y_, kLeastYSpan, kMaxY);
}

void GraphModel::ZoomAt(double px, double py, double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  const double x = XAt(px);
  const double y = YAt(py);
  x_ = {x - (x - x_.low) * factor, x + (x_.high - x) * factor};
  y_ = {y - (y - y_.low) * factor, y + (y_.high - y) * factor};
  ClampView();
}

void GraphModel::Zoom(double factor) { ZoomAt(width_ / 2.0, height_ / 2.0, factor); }

void GraphModel::Drag(double dx, double dy) {
  const double along = dx * x_.Span() / width_;
  const double up = dy * y_.Span() / height_;
  x_ = {x_.low - along, x_.high - along};
  y_ = {y_.low + up, y_.high + up};
  ClampView();
}

void GraphModel::Step(int columns, int rows) {
  const double along = columns * x_.Span() / 10;
  const double up = rows * y_.Span() / 10;
  x_ = {x_.low + along, x_.high + along};
  y_ = {y_.low + up, y_.high + up};
  ClampView();
}

double GraphModel::PixelX(double x) const { return (x - x_.low) / x_.Span() * width_; }
double GraphModel::PixelY(double y) const { return (y_.high - y) / y_.Span() * height_; }
double GraphModel::XAt(double px) const { return x_.low + px / width_ * x_.Span(); }
double GraphModel::YAt(double py) const { return y_.high - py / height_ * y_.Span(); }

Box GraphModel::PlotBox() const { return {-kOverhang, -kOverhang, width_ + kOverhang, height_ + kOverhang}; }

const Curve& GraphModel::curve() {
  static const Curve kNone;
  if (status_ != Status::Curve || a_ == nullptr) return kNone;
  const double jump = y_.Span() * kJumpShare;
  if (!curve_ || curveX_ != x_ || curveWidth_ != width_) {
    curve_ = SampleCurve(*a_, x_, width_, jump);
  } else if (curveJump_ != jump) {
    curve_ = Join(*a_, std::move(curve_->samples), jump);
  } else {
    return *curve_;
  }
  curveX_ = x_;
  curveWidth_ = width_;
  curveJump_ = jump;
  return *curve_;
}

std::vector<std::vector<Point>> GraphModel::CurveLines() {
  std::vector<std::vector<Point>> lines;
  const Box box = PlotBox();
  for (const std::vector<Point>& piece : curve().pieces) {
    bool joined = false;  // whether the last line goes on
    if (piece.size() == 1) {
      const Point p{PixelX(piece[0].x), PixelY(piece[0].y)};
      if (p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom) lines.push_back({p});
      continue;
    }
    for (std::size_t i = 1; i < piece.size(); ++i) {
      const Point a{PixelX(piece[i - 1].x), PixelY(piece[i - 1].y)};
      const Point b{PixelX(piece[i].x), PixelY(piece[i].y)};
      const auto part = Clip(a, b, box);
      if (!part) {
        joined = false;
        continue;
      }
      if (!joined || lines.back().back() != part->first) lines.push_back({part->first});
      lines.back().push_back(part->second);
      joined = part->second == b;
    }
  }
  return lines;
}

std::vector<Tick> GraphModel::XTicks() const {
  std::vector<Tick> ticks;
  const double step = TickStep(x_.Span(), std::max(2, width_ / kPixelsPerXTick));
  for (const double t : Ticks(x_, step)) ticks.push_back({PixelX(t), PlainNumber(t, step)});
  return ticks;
}

std::vector<Tick> GraphModel::YTicks() const {
  std::vector<Tick> ticks;
  const double step = TickStep(y_.Span(), std::max(2, height_ / kPixelsPerYTick));
  for (const double t : Ticks(y_, step)) ticks.push_back({PixelY(t), PlainNumber(t, step)});
  return ticks;
}

double GraphModel::XAxisRow() const { return std::clamp(PixelY(0), 0.0, static_cast<double>(height_)); }
double GraphModel::YAxisColumn() const { return std::clamp(PixelX(0), 0.0, static_cast<double>(width_)); }
bool GraphModel::xAxisInView() const { return y_.low <= 0 && 0 <= y_.high; }
bool GraphModel::yAxisInView() const { return x_.low <= 0 && 0 <= x_.high; }

Text GraphModel::CoordinatesAt(double px, double py) {
  // Read to a pixel: as many decimals as one pixel needs; A at the X shown.
  const Text x = PlainNumber(XAt(px), x_.Span() / width_);
  Text text = U"X = " + x + U"　Y = " + PlainNumber(YAt(py), y_.Span() / height_);
  if (status_ == Status::Curve) {
    Text plain = x;
    std::erase(plain, U',');  // the grouping, which the reading rule stops at
    const std::optional<double> y = a_->At(ReadNumber(plain).value_or(XAt(px)));
    text += U"　A(X) = " + (y ? PlainNumber(*y, 0) : Text(U"なし"));
  }
  return text;
}

void GraphModel::RunNewton(TextView startPoint) {
  if (state_ == nullptr) return;
  newton_ = TraceNewton(*state_, startPoint);
  lastValue_.reset();
  if (const std::optional<double> x = EndEstimate()) lastValue_ = a_->At(*x);
}

std::optional<double> GraphModel::EndEstimate() const {
  if (!newton_ || newton_->end == NewtonTrace::End::NoEquation) return std::nullopt;
  if (!newton_->steps.empty()) return newton_->last();
  return ReadNumber(newton_->start);
}

std::vector<StepLines> GraphModel::NewtonLines() const {
  std::vector<StepLines> lines;
  if (!newton_) return lines;
  const Box box = PlotBox();
  const auto pixel = [this](double x, double y) { return Point{PixelX(x), PixelY(y)}; };
  const auto inside = [&box](Point p) {
    return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
  };
  const std::vector<NewtonStep>& steps = newton_->steps;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    StepLines step;
    step.n = static_cast<int>(i);
    step.point = pixel(steps[i].x, steps[i].fx);
    step.pointInside = inside(step.point);
    if (std::isfinite(steps[i].next)) {
      const Point foot = pixel(steps[i].next, 0);
      step.tangent = Clip(step.point, foot, box);
      const std::optional<double> there = i + 1 < steps.size() ? std::optional(steps[i + 1].fx) : lastValue_;
      if (there) step.riser = Clip(foot, pixel(steps[i].next, *there), box);
    }
    lines.push_back(step);
  }
  if (const std::optional<double> x = EndEstimate(); x && lastValue_) {
    StepLines end;
    end.n = static_cast<int>(steps.size());
    end.point = pixel(*x, *lastValue_);
    end.pointInside = inside(end.point);
    lines.push_back(end);
  }
  std::vector<Point> numbered;
  for (StepLines& step : lines) {
    if (!step.pointInside) continue;
    step.numbered = std::none_of(numbered.begin(), numbered.end(), [&step](Point p) {
      return std::hypot(p.x - step.point.x, p.y - step.point.y) < kNumberRoom;
    });
    if (step.numbered) numbered.push_back(step.point);
  }
  return lines;
}

std::vector<StepRow> GraphModel::NewtonRows() const {
  std::vector<StepRow> rows;
  if (!newton_) return rows;
  const auto number = [](int n) { return Ascii(std::to_string(n)); };
  for (std::size_t i = 0; i < newton_->steps.size(); ++i) {
    const NewtonStep& s = newton_->steps[i];
    rows.push_back({number(static_cast<int>(i)), PlainNumber(s.x, 0), PlainNumber(s.fx, 0)});
  }
  if (const std::optional<double> x = EndEstimate()) {
    rows.push_back({number(static_cast<int>(newton_->steps.size())), PlainNumber(*x, 0),
                    lastValue_ ? PlainNumber(*lastValue_, 0) : Text(U"なし")});
  }
  return rows;
}

Text GraphModel::NewtonMessage() const { return newton_ ? newton_->Message() : Text(); }

Text GraphModel::Message() const {
  if (status_ != Status::Curve) return StatusMessage();
  if (newton_) return NewtonMessage();
  return U"「ニュートン法」を押すと、始点 " + (startPoint_.empty() ? Text(U"1") : startPoint_) +
         U" からの各段階を描きます。";
}

}  // namespace suusiki::graph
