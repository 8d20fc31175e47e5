// SPDX-License-Identifier: GPL-3.0-or-later
// What the two series windows share: three boxes read afresh on every
// calculation, a result control, the buttons Calculate (Command1), Reset
// (Command2) and Back (Command3), and the Enter key walking through the boxes.
#pragma once

#include <QWidget>
#include <array>

#include "engine/text.h"
#include "ui/fonts.h"

class QLineEdit;
class QPushButton;

namespace suusiki {

class Beeper;

class SeriesWindow : public QWidget {
  Q_OBJECT

 protected:
  using Sum = Text (*)(TextView, TextView, TextView);

  SeriesWindow(Beeper& beeper, Sum sum, QWidget* parent);

  // Where the three labelled boxes (Label3 to Label5 with Text1 to Text3) and
  // the buttons Command1 to Command3 go, in twips.
  struct Layout {
    std::array<const char*, 3> captions;  // the labels, "初項：" ...
    std::array<int, 3> boxTops;           // each label sits 40 twips lower than its box
    int labelLeft, labelWidth, boxLeft, boxWidth;
    std::array<std::array<int, 3>, 3> buttons;  // left, top, width; 375 high
  };
  // Places the boxes and the buttons and binds them.
  void PlaceInputsAndButtons(const Layout& layout);

  // The result control: the sum's text, or empty after a reset.
  virtual void ShowResult(const QString& text) = 0;
  // Command3.
  virtual void Back() = 0;

  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Calculate();
  void Reset();

  Beeper& beeper_;
  Sum sum_;
  std::array<QLineEdit*, 3> boxes_{};
  std::array<QPushButton*, 3> buttons_{};
};

}  // namespace suusiki
