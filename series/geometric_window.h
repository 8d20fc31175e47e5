// SPDX-License-Identifier: GPL-3.0-or-later
// The window TOHI: the sum of a geometric series from its first term, common
// ratio and number of terms.
#pragma once

#include <QImage>

#include "series/series_window.h"

class QLineEdit;

namespace suusiki {

// The example series 3 + 3X + 3X² + 3X³ in black on white with raised
// exponents: 113 by 20 pixels, 24-bit colour.
QImage SeriesExampleImage();

class GeometricSeriesWindow : public SeriesWindow {
  Q_OBJECT

 public:
  // The window deletes itself when closed.
  explicit GeometricSeriesWindow(Beeper& beeper, QWidget* parent = nullptr);

 protected:
  void ShowResult(const QString& text) override;
  void Back() override;

 private:
  QLineEdit* text4_ = nullptr;
};

}  // namespace suusiki
