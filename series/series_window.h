// What the two series windows share: three boxes read afresh on every
// calculation, a result control, the buttons Calculate (Command1), Reset
// (Command2) and Back (Command3), and the Enter key walking through the boxes.
#pragma once

#include <QWidget>
#include <array>

#include "engine/text.h"
#include "mainwin/fonts.h"

class QLineEdit;
class QPushButton;

namespace suusiki {

class Beeper;

class SeriesWindow : public QWidget {
  Q_OBJECT

 protected:
  using Sum = Text (*)(TextView, TextView, TextView);

  SeriesWindow(Beeper& beeper, Sum sum, QWidget* parent);

  // Called once the window has built its controls: the input boxes Text1 to
  // Text3 and the buttons Command1 to Command3.
  void Connect(const std::array<QLineEdit*, 3>& boxes, const std::array<QPushButton*, 3>& buttons);

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

// A child control at a position in twips, relative to its parent.
template <typename Widget>
Widget* PlaceControl(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
  return widget;
}

}  // namespace suusiki
