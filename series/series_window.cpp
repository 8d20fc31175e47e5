// SPDX-License-Identifier: GPL-3.0-or-later
#include "series/series_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/events.h"
#include "ui/platform.h"
#include "ui/qt_text.h"

namespace suusiki {

SeriesWindow::SeriesWindow(Beeper& beeper, Sum sum, QWidget* parent) : QWidget(parent), beeper_(beeper), sum_(sum) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(WindowFont(kPGothic, 9));
}

void SeriesWindow::PlaceInputsAndButtons(const Layout& layout) {
  static constexpr const char* kLabels[] = {"Label3", "Label4", "Label5"};
  static constexpr const char* kBoxes[] = {"Text1", "Text2", "Text3"};
  static constexpr const char* kButtons[] = {"Command1", "Command2", "Command3"};
  static_assert(std::size(kBoxes) == std::tuple_size_v<decltype(boxes_)> &&
                std::size(kButtons) == std::tuple_size_v<decltype(buttons_)>);
  static constexpr const char* kCaptions[] = {"計算", "ﾘｾｯﾄ", "戻る"};
  const QFont boxFont = WindowFont(kPGothic, 11.25);
  for (std::size_t i = 0; i < std::size(kBoxes); ++i) {
    PlaceControl<QLabel>(this, kLabels[i], layout.labelLeft, layout.boxTops[i] + 40, layout.labelWidth, 255)
        ->setText(QString::fromUtf8(layout.captions[i]));
    boxes_[i] = PlaceControl<QLineEdit>(this, kBoxes[i], layout.boxLeft, layout.boxTops[i], layout.boxWidth, 330);
    boxes_[i]->setFont(boxFont);
    QString name = QString::fromUtf8(layout.captions[i]);
    if (name.endsWith(QStringLiteral("："))) name.chop(1);
    boxes_[i]->setAccessibleName(name);
    boxes_[i]->installEventFilter(this);
  }
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    const auto& [left, top, width] = layout.buttons[i];
    buttons_[i] = PlaceControl<QPushButton>(this, kButtons[i], left, top, width, 375);
    buttons_[i]->setText(QString::fromUtf8(kCaptions[i]));
    buttons_[i]->setAutoDefault(false);
    buttons_[i]->installEventFilter(this);
  }
  connect(buttons_[0], &QPushButton::clicked, this, &SeriesWindow::Calculate);
  connect(buttons_[1], &QPushButton::clicked, this, &SeriesWindow::Reset);
  connect(buttons_[2], &QPushButton::clicked, this, &SeriesWindow::Back);
}

void SeriesWindow::Calculate() {
  const Text sum = sum_(FromQString(boxes_[0]->text()), FromQString(boxes_[1]->text()), FromQString(boxes_[2]->text()));
  beeper_.Beep();
  ShowResult(ToQString(sum));
  buttons_[1]->setFocus();
}

void SeriesWindow::Reset() {
  for (QLineEdit* box : boxes_) box->clear();
  ShowResult(QString());
  beeper_.Beep();
  boxes_[0]->setFocus();
}

bool SeriesWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && boxes_[0] != nullptr) boxes_[0]->setFocus();
  return QWidget::event(event);
}

bool SeriesWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!IsEnter(event)) return QWidget::eventFilter(watched, event);
  // Enter in a box moves on to the next box, from the last one to Calculate.
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    if (watched != boxes_[i]) continue;
    if (i + 1 < boxes_.size()) {
      boxes_[i + 1]->setFocus();
    } else {
      buttons_[0]->setFocus();
    }
    return true;
  }
  // Enter on a button presses it, as Space does: after a calculation the focus
  // is on Reset, so a second Enter empties the window.
  for (QPushButton* button : buttons_) {
    if (watched != button) continue;
    button->click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace suusiki
