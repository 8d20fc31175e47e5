// SPDX-License-Identifier: GPL-3.0-or-later
#include "soroban/board_view.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace suusiki::soroban {
namespace {

// The layout in units of one rod's width, from the frame's top left corner.
constexpr double kFrame = 0.5;     // the frame's thickness
constexpr double kPadding = 0.15;  // between the frame's sides and the outer rods
constexpr double kBeadWidth = 0.9;
constexpr double kBeadHeight = 0.52;
constexpr double kTravel = kBeadHeight + 0.14;        // how far a bead slides
constexpr double kUpperDeck = kBeadHeight + kTravel;  // room for the upper bead
constexpr double kLowerDeck = 4 * kBeadHeight + kTravel;
constexpr double kBeam = 0.42;
constexpr double kDigitRow = 0.95;  // under the frame: the digits of the rods
constexpr double kInnerWidth = kRods + 2 * kPadding;
constexpr double kWidth = kInnerWidth + 2 * kFrame;
constexpr double kInnerTop = kFrame;
constexpr double kBeamTop = kInnerTop + kUpperDeck;
constexpr double kBeamBottom = kBeamTop + kBeam;
constexpr double kInnerBottom = kBeamBottom + kLowerDeck;
constexpr double kFrameBottom = kInnerBottom + kFrame;
constexpr double kHeight = kFrameBottom + kDigitRow;
constexpr double kMargin = 3;  // pixels around the board, for the focus frame

double RodX(int rod) { return kFrame + kPadding + rod + 0.5; }

// Where a bead's centre is when it rests against the beam (`atBeam`) or away.
double BeadY(int bead, bool atBeam) {
  if (bead == 0) return atBeam ? kBeamTop - kBeadHeight / 2 : kInnerTop + kBeadHeight / 2;
  return atBeam ? kBeamBottom + (bead - 0.5) * kBeadHeight : kInnerBottom - (4.5 - bead) * kBeadHeight;
}

bool AtBeam(int digit, int bead) { return bead == 0 ? digit >= 5 : digit % 5 >= bead; }

// Colours of the wood: the board is a picture of its own, the same in light
// and dark themes; only its surroundings and the digits follow the palette.
const QColor kInside(240, 230, 208);
const QColor kFrameLight(128, 78, 42);
const QColor kFrameDark(80, 45, 20);
const QColor kBeamColor(62, 36, 18);
const QColor kRodColor(130, 104, 70);
const QColor kDot(246, 240, 226);
const QColor kUnitDot(255, 190, 30);
const QColor kBeadLight(214, 142, 82);
const QColor kBeadMiddle(164, 92, 42);
const QColor kBeadDark(100, 50, 20);
const QColor kBeadEdge(66, 32, 12);

// A soroban bead: two cones base to base, seen from the side.
QPainterPath BeadPath(const QPointF& c) {
  const double a = kBeadWidth / 2;
  const double b = kBeadHeight / 2 - 0.015;
  QPainterPath path;
  path.moveTo(c.x() - a, c.y());
  path.cubicTo(c.x() - a, c.y() - b * 0.45, c.x() - a * 0.55, c.y() - b, c.x() - a * 0.22, c.y() - b);
  path.lineTo(c.x() + a * 0.22, c.y() - b);
  path.cubicTo(c.x() + a * 0.55, c.y() - b, c.x() + a, c.y() - b * 0.45, c.x() + a, c.y());
  path.cubicTo(c.x() + a, c.y() + b * 0.45, c.x() + a * 0.55, c.y() + b, c.x() + a * 0.22, c.y() + b);
  path.lineTo(c.x() - a * 0.22, c.y() + b);
  path.cubicTo(c.x() - a * 0.55, c.y() + b, c.x() - a, c.y() + b * 0.45, c.x() - a, c.y());
  path.closeSubpath();
  return path;
}

}  // namespace

BoardView::BoardView(const Calculator& calculator, QWidget* parent) : QWidget(parent), calculator_(calculator) {
  setObjectName(QStringLiteral("Board"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAccessibleName(QStringLiteral("ソロバン"));
}

void BoardView::SetProgress(double progress) {
  progress_ = std::clamp(progress, 0.0, 1.0);
  update();
}

QSize BoardView::sizeHint() const { return QSize(static_cast<int>(kWidth * 34), static_cast<int>(kHeight * 34)); }

QSize BoardView::minimumSizeHint() const {
  return QSize(static_cast<int>(kWidth * 13), static_cast<int>(kHeight * 13));
}

double BoardView::Scale() const {
  return std::max(1.0, std::min((width() - 2 * kMargin) / kWidth, (height() - 2 * kMargin) / kHeight));
}

QPointF BoardView::Origin() const {
  const double scale = Scale();
  return QPointF((width() - kWidth * scale) / 2, (height() - kHeight * scale) / 2);
}

QPointF BoardView::BeadAt(int rod, int bead) const {
  const int digit = calculator_.board().digit(rod);
  double y = BeadY(bead, AtBeam(digit, bead));
  const Move* move = calculator_.currentMove();
  if (move != nullptr && move->rod == rod && progress_ < 1) {
    const int before = digit - 5 * move->five - move->ones;
    const double from = BeadY(bead, AtBeam(before, bead));
    const double t = progress_ * progress_ * (3 - 2 * progress_);  // eased
    y = from + (y - from) * t;
  }
  return QPointF(RodX(rod), y);
}

QPointF BoardView::BeadCenter(int rod, int bead) const { return ToWidget(BeadAt(rod, bead)); }

QPointF BoardView::DotCenter(int rod) const { return ToWidget(QPointF(RodX(rod), (kBeamTop + kBeamBottom) / 2)); }

BoardView::Hit BoardView::HitAt(const QPointF& point) const {
  const QPointF u = ToUnits(point);
  const int rod = static_cast<int>(std::floor(u.x() - kFrame - kPadding));
  if (rod < 0 || rod >= kRods) return {};
  const double dx = std::abs(u.x() - RodX(rod));
  if (u.y() >= kBeamTop - 0.05 && u.y() <= kBeamBottom + 0.05) {
    if (Board::IsDotted(rod) && dx <= 0.45) return {Hit::What::Dot, rod, -1};
    return {};
  }
  if (dx > kBeadWidth / 2) return {};
  for (int bead = 0; bead <= 4; ++bead) {
    if (std::abs(u.y() - BeadAt(rod, bead).y()) <= kBeadHeight / 2) return {Hit::What::Bead, rod, bead};
  }
  return {};
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const Hit hit = HitAt(event->position());
  switch (hit.what) {
    case Hit::What::Bead:
      if (hit.bead == 0) {
        emit upperBeadClicked(hit.rod);
      } else {
        emit lowerBeadClicked(hit.rod, hit.bead);
      }
      break;
    case Hit::What::Dot: emit dotClicked(hit.rod); break;
    case Hit::What::Nothing: break;
  }
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
  const Hit hit = HitAt(event->position());
  const bool active =
      hit.what == Hit::What::Bead || (hit.what == Hit::What::Dot && hit.rod != calculator_.board().unitRod());
  setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QWidget::mouseMoveEvent(event);
}

void BoardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double scale = Scale();
  const QPointF origin = Origin();

  if (hasFocus()) {
    QPen pen(palette().color(QPalette::Highlight), 2, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(origin, QSizeF(kWidth, kFrameBottom) * scale).adjusted(-2, -2, 2, 2), 4, 4);
  }

  painter.save();
  painter.translate(origin);
  painter.scale(scale, scale);
  DrawFrame(painter);
  DrawBeads(painter);
  painter.restore();
  DrawDigits(painter);
}

void BoardView::DrawFrame(QPainter& painter) const {
  const QRectF outer(0, 0, kWidth, kFrameBottom);
  const QRectF inner(kFrame, kInnerTop, kInnerWidth, kInnerBottom - kInnerTop);

  QLinearGradient wood(0, 0, 0, kFrameBottom);
  wood.setColorAt(0, kFrameLight);
  wood.setColorAt(0.5, kFrameDark);
  wood.setColorAt(1, kFrameLight);
  painter.setPen(QPen(kBeadEdge, 0.04));
  painter.setBrush(wood);
  painter.drawRoundedRect(outer, 0.25, 0.25);
  painter.setPen(QPen(kFrameDark.darker(140), 0.03));
  painter.setBrush(kInside);
  painter.drawRect(inner);

  // The rod of the move being shown stands out.
  if (const Move* move = calculator_.currentMove()) {
    QColor band = palette().color(QPalette::Highlight);
    band.setAlpha(110);
    painter.setPen(Qt::NoPen);
    painter.setBrush(band);
    painter.drawRect(QRectF(RodX(move->rod) - 0.5, kInnerTop, 1, kInnerBottom - kInnerTop));
  }

  painter.setPen(QPen(kRodColor, 0.07, Qt::SolidLine, Qt::FlatCap));
  for (int rod = 0; rod < kRods; ++rod)
    painter.drawLine(QPointF(RodX(rod), kInnerTop), QPointF(RodX(rod), kInnerBottom));

  painter.setPen(QPen(kBeamColor.darker(130), 0.03));
  painter.setBrush(kBeamColor);
  painter.drawRect(QRectF(kFrame, kBeamTop, kInnerWidth, kBeam));

  const int unit = calculator_.board().unitRod();
  for (int rod = 1; rod < kRods; rod += 3) {
    const QPointF dot(RodX(rod), (kBeamTop + kBeamBottom) / 2);
    if (rod == unit) {
      painter.setPen(QPen(kDot, 0.04));
      painter.setBrush(kUnitDot);
      painter.drawEllipse(dot, 0.14, 0.14);
    } else {
      painter.setPen(Qt::NoPen);
      painter.setBrush(kDot);
      painter.drawEllipse(dot, 0.07, 0.07);
    }
  }
}

void BoardView::DrawBeads(QPainter& painter) const {
  painter.setPen(QPen(kBeadEdge, 0.03));
  for (int rod = 0; rod < kRods; ++rod) {
    for (int bead = 0; bead <= 4; ++bead) {
      const QPointF c = BeadAt(rod, bead);
      QLinearGradient shade(0, c.y() - kBeadHeight / 2, 0, c.y() + kBeadHeight / 2);
      shade.setColorAt(0, kBeadLight);
      shade.setColorAt(0.45, kBeadMiddle);
      shade.setColorAt(1, kBeadDark);
      painter.setBrush(shade);
      painter.drawPath(BeadPath(c));
    }
  }
}

void BoardView::DrawDigits(QPainter& painter) const {
  // The digits from the highest one shown to the last decimal shown, with the
  // point after the unit rod: what the value display says, rod by rod.
  const Board& board = calculator_.board();
  const int unit = board.unitRod();
  int first = unit;
  int last = unit;
  for (int rod = 0; rod < kRods; ++rod) {
    if (board.digit(rod) == 0) continue;
    first = std::min(first, rod);
    last = std::max(last, rod);
  }
  const double scale = Scale();
  const double rowTop = Origin().y() + kFrameBottom * scale;
  QFont font = painter.font();
  font.setPixelSize(std::max(8, static_cast<int>(std::lround(scale * 0.6))));
  const Move* move = calculator_.currentMove();
  for (int rod = first; rod <= last; ++rod) {
    const QPointF centre = ToWidget(QPointF(RodX(rod), 0));
    const QRectF cell(centre.x() - scale / 2, rowTop, scale, kDigitRow * scale);
    const bool current = move != nullptr && move->rod == rod;
    font.setBold(current || rod == unit);
    font.setUnderline(current);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(cell, Qt::AlignCenter, QString::number(board.digit(rod)));
    if (rod == unit && last > unit) {
      font.setBold(true);
      font.setUnderline(false);
      painter.setFont(font);
      painter.drawText(cell.translated(scale / 2, 0), Qt::AlignCenter, QStringLiteral("."));
    }
  }
}

}  // namespace suusiki::soroban
