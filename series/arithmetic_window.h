// SPDX-License-Identifier: GPL-3.0-or-later
// The window TOSA: the sum of an arithmetic series from its first term, last
// term and number of terms.
#pragma once

#include <functional>

#include "series/series_window.h"

class QLabel;

namespace suusiki {

class ArithmeticSeriesWindow : public SeriesWindow {
  Q_OBJECT

 public:
  // `showMainWindow` brings the main window back; Back (Command3) calls it
  // before closing this window. The window deletes itself when closed.
  ArithmeticSeriesWindow(Beeper& beeper, std::function<void()> showMainWindow, QWidget* parent = nullptr);

 protected:
  void ShowResult(const QString& text) override;
  void Back() override;

 private:
  std::function<void()> showMainWindow_;
  QLabel* label6_ = nullptr;
};

}  // namespace suusiki
