// SPDX-License-Identifier: GPL-3.0-or-later
#include "series/geometric_window.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "engine/series_sums.h"

namespace suusiki {

QImage SeriesExampleImage() {
  constexpr int kWidth = 113;
  constexpr int kHeight = 20;
  constexpr int kBaseline = 16;          // of the terms
  constexpr int kExponentBaseline = 10;  // of the raised exponents
  constexpr int kExponentGap = 1;        // between an X and its exponent
  QImage image(kWidth, kHeight, QImage::Format_RGB888);
  image.fill(Qt::white);

  const struct {
    const char* text;
    bool raised;
  } pieces[] = {{"3 + 3X + 3X", false}, {"2", true}, {" + 3X", false}, {"3", true}};

  // Sizes in pixels, not points, so the picture does not depend on the screen;
  // no smoothing, so every pixel is black or white. The largest size that fits.
  QFont terms = WindowFont(kMincho, 9);
  terms.setStyleStrategy(QFont::NoAntialias);
  QFont exponents = terms;
  int width = 0;
  for (int pixels = 13; pixels >= 8; --pixels) {
    terms.setPixelSize(pixels);
    exponents.setPixelSize(pixels * 2 / 3);
    width = 0;
    for (const auto& piece : pieces) {
      width += (piece.raised ? kExponentGap : 0) +
               QFontMetrics(piece.raised ? exponents : terms).horizontalAdvance(QString::fromLatin1(piece.text));
    }
    if (width <= kWidth - 4) break;
  }

  QPainter painter(&image);
  painter.setPen(Qt::black);
  int x = std::max(0, (kWidth - width) / 2);
  for (const auto& piece : pieces) {
    const QString text = QString::fromLatin1(piece.text);
    if (piece.raised) x += kExponentGap;
    painter.setFont(piece.raised ? exponents : terms);
    painter.drawText(x, piece.raised ? kExponentBaseline : kBaseline, text);
    x += painter.fontMetrics().horizontalAdvance(text);
  }
  return image;
}

GeometricSeriesWindow::GeometricSeriesWindow(Beeper& beeper, QWidget* parent)
    : SeriesWindow(beeper, &GeometricSeriesSum, parent) {
  setObjectName(QStringLiteral("TOHI"));
  setWindowTitle(QStringLiteral("等比数列の和"));
  setFixedSize(Twips(4530), Twips(3015));

  auto* frame1 = PlaceControl<QGroupBox>(this, "Frame1", 120, 120, 3495, 855);
  frame1->setTitle(QStringLiteral("例"));
  // The picture sits at the frame's left, level with Label1 that goes on from it.
  auto* image2 = new QLabel(frame1);
  image2->setObjectName(QStringLiteral("Image2"));
  image2->setPixmap(QPixmap::fromImage(SeriesExampleImage()));
  image2->setGeometry(Twips(120), Twips(240), 113, 20);
  PlaceControl<QLabel>(frame1, "Label1", 1880, 240, 1575, 255)->setText(QStringLiteral("の式で X=5 の場合"));
  PlaceControl<QLabel>(frame1, "Label2", 1080, 540, 2295, 255)->setText(QStringLiteral("初項=3　 公比=5 　項数=4"));

  PlaceInputsAndButtons({.captions = {"初項：", "公比：", "項数："},
                         .boxTops = {1080, 1440, 1800},
                         .labelLeft = 120,
                         .labelWidth = 495,
                         .boxLeft = 615,
                         .boxWidth = 1335,
                         .buttons = {{{2400, 1200, 855}, {2400, 1680, 855}, {3360, 1680, 975}}}});

  auto* frame2 = PlaceControl<QGroupBox>(this, "Frame2", 75, 2200, 4380, 735);
  frame2->setTitle(QStringLiteral("等比数列の和"));
  text4_ = PlaceControl<QLineEdit>(frame2, "Text4", 120, 240, 4095, 375);
  text4_->setFont(WindowFont(kPGothic, 11.25, true));
  text4_->setReadOnly(true);
  text4_->setAccessibleName(QStringLiteral("等比数列の和"));
}

void GeometricSeriesWindow::ShowResult(const QString& text) { text4_->setText(text); }

void GeometricSeriesWindow::Back() { close(); }

}  // namespace suusiki
