// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help_windows.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/fonts.h"
#include "version.h"

namespace suusiki {
namespace {

// The text of READ1, line by line.
constexpr const char* kNewtonLines[] = {
    " ",
    "　★★★　ニュートン法による数値解　★★★",
    "",
    "　　● 操作要領",
    "　　　　１．変数Ａ欄に方程式を X で入力します。",
    "　　　　　　例：　Ａ：X^2-8*X+12",
    "　　　　２．始点を入力します。未入力の場合は自動的に 1 が入力",
    "　　　　　　されます。",
    "　　　　３．「ニュートン」ボタンを押します。",
    "　　　　４．Ans:欄に方程式=0 での X の値が近似値で表示されます。",
    "",
    " --------------------------------------------------------------",
    "",
    "　　★ 注意",
    "　　　　○　方程式は X で入力して下さい。",
    "　　　　○　始点や方程式が不適当な場合には、エラーまたは計算不能",
    "　　　　　　となります。",
    "",
    "　　　このニュートン法は解を特定の範囲まで絞り込み、その近似値を",
    "　　　最終の解とするもので、完全に正確一致した解になるとは限りま",
    "　　　せん。始点によってもその解は微妙に異なってきます。",
    "　　　また、始点に対応して１つの解を割り出しますが、複数の解が",
    "　　　あるかどうかはこのソフトではわかりません。",
    "　　　また、他の解を求める場合は別の適切な始点により求めることは",
    "　　　できますが、その始点はユーザーの推測等により指定します。",
    "",
    "　　　　例：　X^2-8*X+12=0 での X の解は、 2 と 6 ですが、",
    "　　　　　　　始点を 1 で求めると、 X=2 の解を出力します。",
    "　　　　　　　ここで例えば、始点を 10 とすると、",
    "　　　　　　　X=6 が求められます。",
    "　　　　　　　この始点 10 というのは、グラフの形状等より推測して",
    "　　　　　　　入力する形となります。",
    "",
    "　　● 設定内容",
    "　　　　１．始点　　～　仮の解としての初期値で、この始点から",
    "　　　　　　　　　　　　実根 X を絞り込み求めていきます。",
    "　　　　２．収束条件～　| Xn+1－Xn |<=0.00001",
    "　　　　３．微少区間～　0.0001",
    "　　　　４．最大繰返～　50回",
    "",
    "　　　　　　　　　　　　　　　　　　　　　　　　　以　上",
    "",
};

// The text of READ2, line by line.
constexpr const char* kProgramLines[] = {
    " ",
    "　★★★★★★　カルメロ　★★★★★★",
    "",
    // Legacy: the help text names version 2.30 while the version window says
    // 2.42, as they always have.
    "　　○ ﾊﾞｰｼﾞｮﾝ  ： ２．３０",
    "",
    " --------------------------------------------------------------",
    "",
    "　　● このソフトは数学的多機能電卓です。",
    "",
    "　　　　◆特長",
    "",
    "　　　　　１．多次元方程式等による関数 f(x)＝０ の実根をニュートン法",
    "　　　　　　　により求めることができます。",
    "",
    "　　　　　２．関数・数式電卓として使用できます。",
    "",
    "　　　　　３．変数（A～Z）での計算ができます。",
    "　　　　　　　例：C=58*3　B=C/2.2+67　A=B*152/(C/4+85)",
    "　　　　　以上の複合計算ができます。",
    "　　　　　　　例：B*3.5^6+Sqr(3+6)*Tan(30)+555*C",
    "",
    "　　　　　４．数列の和の計算（等差数列・等比数列）可能。",
    "",
    "　　　　　５．変数の保存・印刷ができます。",
    "",
    " --------------------------------------------------------------",
    "",
    "　　● 操作要領",
    "",
    "　　　　　１．変数欄(A-Z)にテンキーもしくは数字などのボタンにより",
    "　　　　　　　入力し、エンターもしくは「計算ボタン」を押します。",
    "",
    "　　　　　２．変数に数字や数式を入力して、その変数を他の変数に",
    "　　　　　　　置き換え入力もできます。",
    "",
    "　　　　　３．ニュートン法での多次元方程式の入力は、",
    "　　　　　　　必ず、変数Ａに　X の式 で入力して、適切な始点を",
    "　　　　　　　入力(不明の場合は{１})して、「ﾆｭｰﾄﾝ」ﾎﾞﾀﾝを押します。",
    "　　　　　　　例：　Ａ：X^3+2*X^2+8",
    "",
    "　　　　　４．ソロバンはアイコンボタンで呼びます。",
    "",
    "",
    "　　　※　注意　このソフトで生じた問題に対し、作者は一切責任を",
    "　　　　　　　　負いません。",
    "",
    "　　　　　　　　　　　　　　　　　　　　　　　　　以　上",
    "",
};

template <std::size_t N>
QString Lines(const char* const (&lines)[N]) {
  QString text;
  for (const char* line : lines) text += QString::fromUtf8(line) + QStringLiteral("\r\n");
  return text;
}

QPushButton* CloseButton(QWidget* window, int left, int top, int height) {
  auto* button = PlaceControl<QPushButton>(window, "Command1", left, top, 855, height);
  button->setText(QStringLiteral("閉じる"));
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, window, &QWidget::close);
  return button;
}

}  // namespace

QString FullWidth(const QString& ascii) {
  QString wide;
  for (const QChar c : ascii) {
    // The printable ASCII characters have full-width forms 0xFEE0 above them.
    wide += c.unicode() > 0x20 && c.unicode() < 0x7F ? QChar(c.unicode() + 0xFEE0) : c;
  }
  return wide;
}

QString NewtonHelpText() { return Lines(kNewtonLines); }

QString ProgramHelpText() { return Lines(kProgramLines); }

HelpTextWindow::HelpTextWindow(const Layout& layout, QString (*build)(), QWidget* parent)
    : QWidget(parent), build_(build) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QString::fromLatin1(layout.name));
  setWindowTitle(layout.caption);
  setFont(WindowFont(kPGothic, 9));
  setFixedSize(Twips(layout.clientWidth), Twips(layout.clientHeight));

  // Fixed pitch, no wrapping: the columns of the text line up.
  text1_ = PlaceControl<QPlainTextEdit>(this, "Text1", 120, 120, layout.boxWidth, layout.boxHeight);
  text1_->setFont(WindowFont(kGothic, 9));
  text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text1_->setReadOnly(true);
  text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text1_->setAccessibleName(layout.caption);
  CloseButton(this, layout.buttonLeft, layout.buttonTop, 375);
  Fill();
}

bool HelpTextWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Fill();
  return QWidget::event(event);
}

void HelpTextWindow::Fill() {
  text_ = build_();
  text1_->setPlainText(text_);
}

NewtonHelpWindow::NewtonHelpWindow(QWidget* parent)
    : HelpTextWindow({"READ1", QStringLiteral("ニュートン法"), 6450, 4110, 6255, 3375, 5400, 3600}, &NewtonHelpText,
                     parent) {}

ProgramHelpWindow::ProgramHelpWindow(QWidget* parent)
    : HelpTextWindow({"READ2", QStringLiteral("カルメロの説明"), 6960, 4065, 6735, 3375, 6000, 3600}, &ProgramHelpText,
                     parent) {}

VersionWindow::VersionWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("VER"));
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  setFont(WindowFont(kPGothic, 9));
  setFixedSize(Twips(3195), Twips(1095));
  auto* label1 = PlaceControl<QLabel>(this, "Label1", 240, 120, 2895, 255);
  label1->setText(QStringLiteral("カルメロ　Version ") + FullWidth(QString::fromLatin1(kVersion)));
  label1->setFont(WindowFont(kPGothic, 9));
  CloseButton(this, 2160, 720, 330)->setFont(WindowFont(kGothic, 9));
}

}  // namespace suusiki
