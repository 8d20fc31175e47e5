// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/graph_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/qt_text.h"

namespace suusiki::graph {
namespace {

const QColor kBackground(Qt::white);
const QColor kGrid(232, 232, 232);
const QColor kAxis(64, 64, 64);
const QColor kCurve(31, 95, 191);
const QColor kCrossing(20, 130, 60);
const QColor kTangent(217, 72, 15);
const QColor kRiser(120, 120, 120);
const QColor kPoint(200, 30, 30);

QPointF At(Point p) { return {p.x, p.y}; }

void DrawGrid(QPainter& painter, GraphModel& model) {
  painter.setPen(QPen(kGrid, 1));
  for (const Tick& t : model.XTicks()) painter.drawLine(QPointF(t.pixel, 0), QPointF(t.pixel, model.height()));
  for (const Tick& t : model.YTicks()) painter.drawLine(QPointF(0, t.pixel), QPointF(model.width(), t.pixel));
}

void DrawAxes(QPainter& painter, GraphModel& model) {
  const QFontMetricsF metrics(painter.font());
  const double w = model.width();
  const double h = model.height();
  const double row = model.XAxisRow();
  const double column = model.YAxisColumn();
  painter.setPen(QPen(kAxis, 1));
  if (model.xAxisInView()) painter.drawLine(QPointF(0, row), QPointF(w, row));
  if (model.yAxisInView()) painter.drawLine(QPointF(column, 0), QPointF(column, h));

  // X labels under the axis, above it when the axis lies at the bottom.
  const double textHeight = metrics.height();
  const bool labelsAbove = row + 4 + textHeight > h;
  for (const Tick& t : model.XTicks()) {
    const QString label = ToQString(t.label);
    if (model.xAxisInView()) painter.drawLine(QPointF(t.pixel, row - 3), QPointF(t.pixel, row + 3));
    if (t.pixel == column && model.yAxisInView()) continue;  // the 0 at the origin is written once, by Y
    const double width = metrics.horizontalAdvance(label);
    const double left = std::clamp(t.pixel - width / 2, 2.0, w - width - 2);
    const double baseline = labelsAbove ? row - 5 - metrics.descent() : row + 4 + metrics.ascent();
    painter.drawText(QPointF(left, baseline), label);
  }
  // Y labels left of the axis, right of it when the axis lies at the left edge.
  for (const Tick& t : model.YTicks()) {
    const QString label = ToQString(t.label);
    if (model.yAxisInView()) painter.drawLine(QPointF(column - 3, t.pixel), QPointF(column + 3, t.pixel));
    const double width = metrics.horizontalAdvance(label);
    const bool right = column - 5 - width < 0;
    const double left = right ? column + 5 : column - 5 - width;
    const double baseline = std::clamp(t.pixel + metrics.ascent() / 2 - 1, metrics.ascent(), h - metrics.descent());
    painter.drawText(QPointF(left, baseline), label);
  }
}

void DrawCurve(QPainter& painter, GraphModel& model) {
  painter.setPen(QPen(kCurve, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (const std::vector<Point>& line : model.CurveLines()) {
    if (line.size() == 1) {
      painter.drawPoint(At(line.front()));
      continue;
    }
    QPainterPath path(At(line.front()));
    for (std::size_t i = 1; i < line.size(); ++i) path.lineTo(At(line[i]));
    painter.drawPath(path);
  }
  // Where A changes sign: a ring on the X axis.
  if (!model.xAxisInView()) return;
  painter.setPen(QPen(kCrossing, 1.5));
  painter.setBrush(Qt::NoBrush);
  for (const double x : model.curve().crossings) {
    painter.drawEllipse(QPointF(model.PixelX(x), model.XAxisRow()), 4, 4);
  }
}

void DrawNewton(QPainter& painter, GraphModel& model) {
  const std::vector<StepLines> steps = model.NewtonLines();
  for (const StepLines& step : steps) {
    if (step.riser) {
      painter.setPen(QPen(kRiser, 1, Qt::DashLine));
      painter.drawLine(At(step.riser->first), At(step.riser->second));
    }
    if (step.tangent) {
      painter.setPen(QPen(kTangent, 1.5));
      painter.drawLine(At(step.tangent->first), At(step.tangent->second));
    }
  }
  QFont small = painter.font();
  small.setBold(true);
  painter.setFont(small);
  const QFontMetricsF metrics(small);
  for (const StepLines& step : steps) {
    if (!step.pointInside) continue;
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(kPoint);
    painter.drawEllipse(At(step.point), 4, 4);
    if (!step.numbered) continue;
    painter.setPen(kPoint);
    const QString number = QString::number(step.n);
    const double left = std::min(step.point.x + 6, model.width() - metrics.horizontalAdvance(number) - 2);
    const double baseline = std::max(step.point.y - 5, metrics.ascent());
    painter.drawText(QPointF(left, baseline), number);
  }
  painter.setBrush(Qt::NoBrush);
}

// The equation in the top right corner, on white, so that a saved picture
// says what it shows; the reason when there is no curve in the middle.
void DrawTexts(QPainter& painter, GraphModel& model, const QFont& font) {
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const QString equation = ToQString(model.Equation());
  const double width = metrics.horizontalAdvance(equation) + 8;
  const QRectF box(model.width() - width - 4, 4, width, metrics.height() + 4);
  painter.fillRect(box, QColor(255, 255, 255, 220));
  painter.setPen(kAxis);
  painter.drawText(box, Qt::AlignCenter, equation);
  if (model.status() != Status::Curve) {
    painter.drawText(QRectF(20, 0, model.width() - 40, model.height() / 2.0), Qt::AlignCenter | Qt::TextWordWrap,
                     ToQString(model.StatusMessage()));
  }
}

}  // namespace

void PaintGraph(QPainter& painter, GraphModel& model, const QFont& font) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRectF(0, 0, model.width(), model.height()));
  painter.fillRect(QRectF(0, 0, model.width(), model.height()), kBackground);
  painter.setFont(font);
  DrawGrid(painter, model);
  DrawAxes(painter, model);
  DrawCurve(painter, model);
  DrawNewton(painter, model);
  DrawTexts(painter, model, font);
  painter.restore();
}

}  // namespace suusiki::graph
