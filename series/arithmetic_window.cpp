#include "series/arithmetic_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "series/series_sums.h"

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

  const QFont boxFont = WindowFont(kPGothic, 11.25);
  const struct {
    const char* label;
    const char* caption;
    const char* box;
    int top;
  } rows[] = {
      {"Label3", "初項：", "Text1", 960},
      {"Label4", "末項：", "Text2", 1320},
      {"Label5", "項数：", "Text3", 1680},
  };
  std::array<QLineEdit*, 3> boxes{};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    PlaceControl<QLabel>(this, rows[i].label, 40, rows[i].top + 40, 500, 255)->setText(QString::fromUtf8(rows[i].caption));
    boxes[i] = PlaceControl<QLineEdit>(this, rows[i].box, 540, rows[i].top, 735, 330);
    boxes[i]->setFont(boxFont);
  }

  auto* frame2 = PlaceControl<QGroupBox>(this, "Frame2", 1440, 1080, 1695, 735);
  frame2->setTitle(QStringLiteral("等差数列の和"));
  label6_ = PlaceControl<QLabel>(frame2, "Label6", 120, 240, 1455, 300);
  label6_->setFont(WindowFont(kPGothic, 11.25, true));

  auto* command1 = PlaceControl<QPushButton>(this, "Command1", 120, 2040, 855, 375);
  command1->setText(QStringLiteral("計算"));
  auto* command2 = PlaceControl<QPushButton>(this, "Command2", 1080, 2040, 735, 375);
  command2->setText(QStringLiteral("ﾘｾｯﾄ"));
  auto* command3 = PlaceControl<QPushButton>(this, "Command3", 2160, 2040, 975, 375);
  command3->setText(QStringLiteral("戻る"));

  Connect(boxes, {command1, command2, command3});
}

void ArithmeticSeriesWindow::ShowResult(const QString& text) { label6_->setText(text); }

void ArithmeticSeriesWindow::Back() {
  if (showMainWindow_) showMainWindow_();
  close();
}

}  // namespace suusiki
