#include "mainwin/main_window.h"

#include "mainwin/fonts.h"
#include "mainwin/qt_text.h"

namespace suusiki {
namespace {

template <typename Widget>
Widget* Place(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
  return widget;
}

}  // namespace

MainWindow::MainWindow(const QString& autoSavePath, Beeper* beeper, QWidget* parent)
    : QMainWindow(parent), autoSave_(autoSavePath), state_(&autoSave_), beeper_(beeper ? beeper : &systemBeeper_) {
  setObjectName(QStringLiteral("SUUSIKI"));
  setWindowTitle(QStringLiteral(" ｶﾙﾒﾛ★★★"));
  BuildControls();
  ShowState();
}

void MainWindow::BuildControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);
  client->setFixedSize(Twips(5985), Twips(3255 + 120));

  label1_ = Place<QLabel>(client, "Label1", 720, 520, 3735, 375);
  label1_->setFont(WindowFont(kGothic, 11.25, true));

  text2_ = Place<QLineEdit>(client, "Text2", 525, 1000, 3630, 195);
  text2_->setFont(WindowFont(kPGothic, 9.75, true));

  command1_ = Place<QPushButton>(client, "Command1", 4560, 960, 615, 320);
  command1_->setText(QStringLiteral("計算"));
  connect(command1_, &QPushButton::clicked, this, &MainWindow::Calculate);
}

void MainWindow::Calculate() {
  state_.formulaBox = FromQString(text2_->text());
  Perform(state_.Calculate());
}

void MainWindow::ShowState() {
  label1_->setText(ToQString(state_.answerLine));
  if (FromQString(text2_->text()) != state_.formulaBox) text2_->setText(ToQString(state_.formulaBox));
}

void MainWindow::Perform(const Effects& effects) {
  ShowState();
  if (effects.beep) beeper_->Beep();
  text2_->setFocus();
  text2_->setCursorPosition(text2_->text().size());
}

}  // namespace suusiki
