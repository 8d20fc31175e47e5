// SPDX-License-Identifier: GPL-3.0-or-later
// The Newton command from the window: "始点：", "ﾆｭｰﾄﾝ" and what it leaves.
#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

using NewtonWindowTest = WindowTest;

TEST_F(NewtonWindowTest, FindsTheRootOfTheEquationInA) {
  Open();
  TypeFormula(QStringLiteral("X^2-8*X+12"));
  PressEnter(Text2());
  Select(5);  // another variable is current when the button is pressed
  TypeFormula(QStringLiteral("7"));
  Text1()->setText(QStringLiteral("10"));
  Click("Command38");
  EXPECT_EQ(Label("Label1"), QStringLiteral("X=6.0 "));
  EXPECT_EQ(Entry(5), QStringLiteral("F: 7")) << "the edited formula is stored first";
  EXPECT_EQ(Entry(23), QStringLiteral("X: 6.0"));
  EXPECT_EQ(Rows().at(23), QStringLiteral("X: 6.0"));
  EXPECT_EQ(Label("Label2"), QStringLiteral("A: "));
  EXPECT_EQ(Text2()->text(), QStringLiteral("X^2-8*X+12"));
  EXPECT_EQ(Combo1()->currentText(), QStringLiteral("X^2-8*X+12"));
  EXPECT_TRUE(Text2()->hasFocus());
  EXPECT_TRUE(Read(DattPath()).contains("\"X: 6.0\"\r\n"));
  EXPECT_TRUE(desktop.told.isEmpty());
}

TEST_F(NewtonWindowTest, EnterInTheStartPointMovesOnToTheButton) {
  Open();
  TypeFormula(QStringLiteral("X-1"));
  QLineEdit* start = Text1();
  start->setFocus();
  PressEnter(start);
  EXPECT_TRUE(Find(QStringLiteral("Command38"))->hasFocus());
  EXPECT_EQ(Label("Label1"), QString()) << "nothing is calculated";
  EXPECT_EQ(start->text(), QString());

  Click("Command38");  // an empty start point is 1
  EXPECT_EQ(start->text(), QStringLiteral("1"));
  EXPECT_EQ(Label("Label1"), QStringLiteral("X=1.0 "));
}

TEST_F(NewtonWindowTest, TellsWhenThereIsNoEquationOrNoRoot) {
  Open();
  TypeFormula(QStringLiteral("x^2-4"));
  Click("Command38");
  EXPECT_EQ(desktop.told, QStringList{QStringLiteral("Check|変数Ａ欄に 方程式を X で入力せよ！")});
  EXPECT_EQ(Label("Label1"), QString());
  EXPECT_EQ(Entry(0), QStringLiteral("A: x^2-4"));

  desktop.told.clear();
  TypeFormula(QStringLiteral("X^2+1"));
  Click("Command38");
  EXPECT_EQ(desktop.told, QStringList{QStringLiteral("Check|計算不能！")});
  EXPECT_TRUE(Text2()->hasFocus());
  EXPECT_GE(desktop.beeps, 2);
}

}  // namespace
}  // namespace suusiki::testing
