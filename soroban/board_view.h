// SPDX-License-Identifier: GPL-3.0-or-later
// The soroban drawn with QPainter: frame, beam with its unit-point dots, rods
// and beads, and under the frame the digits that the rods show. It scales with
// the widget and is drawn as shapes, so it stays sharp at any screen scale.
// The beads of the move being shown slide from where they were; clicks on a
// bead or a dot are reported, not acted upon.
#pragma once

#include <QPointF>
#include <QWidget>

#include "soroban/calculator.h"

namespace suusiki::soroban {

class BoardView : public QWidget {
  Q_OBJECT

 public:
  explicit BoardView(const Calculator& calculator, QWidget* parent = nullptr);

  // How far the beads of the current move have slid: 0 where they were, 1 there.
  void SetProgress(double progress);

  // Where a bead of `rod` is drawn, in widget coordinates: bead 0 is the upper
  // bead, 1 to 4 the lower beads counted from the beam.
  QPointF BeadCenter(int rod, int bead) const;
  // Where the dot of `rod` on the beam is drawn.
  QPointF DotCenter(int rod) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void upperBeadClicked(int rod);
  void lowerBeadClicked(int rod, int bead);
  void dotClicked(int rod);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // What lies under a point: a bead, a dot or nothing.
  struct Hit {
    enum class What { Nothing, Bead, Dot } what = What::Nothing;
    int rod = -1;
    int bead = -1;
  };
  Hit HitAt(const QPointF& point) const;

  // The board is laid out in units of one rod's width; these map units to
  // widget pixels and back.
  double Scale() const;
  QPointF Origin() const;
  QPointF ToWidget(const QPointF& units) const { return Origin() + units * Scale(); }
  QPointF ToUnits(const QPointF& pixels) const { return (pixels - Origin()) / Scale(); }

  // Where bead `bead` of `rod` is now, in units, the current move's beads on
  // their way.
  QPointF BeadAt(int rod, int bead) const;

  void DrawFrame(QPainter& painter) const;
  void DrawBeads(QPainter& painter) const;
  void DrawDigits(QPainter& painter) const;

  const Calculator& calculator_;
  double progress_ = 1;
};

}  // namespace suusiki::soroban
