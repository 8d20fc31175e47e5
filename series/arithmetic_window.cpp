// SPDX-License-Identifier: GPL-3.0-or-later
#include "series/arithmetic_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/series_sums.h"

namespace suusiki {

ArithmeticSeriesWindow::ArithmeticSeriesWindow(Beeper& beeper, std::function<void()> showMainWindow, QWidget* parent)
    : SeriesWindow(beeper, &ArithmeticSeriesSum, parent), showMainWindow_(std::move(showMainWindow)) {
  setObjectName(QStringLiteral("TOSA"));
  setWindowTitle(QStringLiteral("等差数列の和"));
  setFixedSize(Twips(3255), Twips(2520));

  auto* frame1 = PlaceControl<QGroupBox>(this, "Frame1", 120, 120, 3015, 735);
  frame1->setTitle(QStringLiteral("例"));
  PlaceControl<QLabel>(frame1, "Label1", 120, 195, 2655, 255)->setText(QStringLiteral(" 1 + 3 + 5 + 7 + 9　の場合"));
  PlaceControl<QLabel>(frame1, "Label2", 120, 405, 2655, 255)->setText(QStringLiteral(" 初項= 1　末項= 9　項数= 5"));

  auto* frame2 = PlaceControl<QGroupBox>(this, "Frame2", 1440, 1080, 1695, 735);
  frame2->setTitle(QStringLiteral("等差数列の和"));
  label6_ = PlaceControl<QLabel>(frame2, "Label6", 120, 240, 1455, 300);
  label6_->setFont(WindowFont(kPGothic, 11.25, true));
  label6_->setAccessibleName(QStringLiteral("等差数列の和"));

  PlaceInputsAndButtons({.captions = {"初項：", "末項：", "項数："},
                         .boxTops = {960, 1320, 1680},
                         .labelLeft = 40,
                         .labelWidth = 500,
                         .boxLeft = 540,
                         .boxWidth = 735,
                         .buttons = {{{120, 2040, 855}, {1080, 2040, 735}, {2160, 2040, 975}}}});
}

void ArithmeticSeriesWindow::ShowResult(const QString& text) { label6_->setText(text); }

void ArithmeticSeriesWindow::Back() {
  if (showMainWindow_) showMainWindow_();
  close();
}

}  // namespace suusiki
