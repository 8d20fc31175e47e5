// SPDX-License-Identifier: GPL-3.0-or-later
// The soroban's keys, clipboard and clicks, without a window: what each key
// sequence leaves on the rods, in the entry and in the message line.
#include "soroban/calculator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace suusiki::soroban {
namespace {

// Presses keys as the window forwards them: digits and "." are typed,
// "+-*/" are operators, "=" is Enter, "<" Backspace, "!" Esc, "#" Delete.
void Press(Calculator& calculator, std::string_view keys) {
  for (char key : keys) {
    switch (key) {
      case '+':
      case '-':
      case '*':
      case '/': calculator.Operator(key); break;
      case '=': calculator.Enter(); break;
      case '<': calculator.Backspace(); break;
      case '!': calculator.Clear(); break;
      case '#': calculator.ClearEntry(); break;
      case ' ': break;
      default: calculator.Type(key); break;
    }
  }
}

const std::string kCutAt10 = "割り切れないので、小数第10位より先を切り捨てました。";
const std::string kTooLarge = "答えが大きすぎて、ソロバンに置けません。";

TEST(CalculatorTest, KeySequences) {
  const struct {
    const char* keys;
    const char* value;
    const char* entry;
    std::string message;
  } cases[] = {
      {"12=", "12", "", ""},
      {"12= +39=", "51", "", ""},
      {"12= 39+=", "51", "", ""},  // the operator may follow the number
      {"51= -39=", "12", "", ""},
      {"1234567=", "1,234,567", "", ""},
      {"12= *3=", "36", "", ""},
      {"0.5= *0.5=", "0.25", "", ""},
      {"99999999999999999= *1=", "99,999,999,999,999,999", "", ""},
      {"99999999999999999= *10=", "99,999,999,999,999,999", "× 10", kTooLarge},
      {"0.5= *0.0000000001=", "0", "", "小数第10位より先を切り捨てました。"},
      {"10= /4=", "2.5", "", ""},
      {"1= /3=", "0.3333333333", "", kCutAt10},
      {"2= /3=", "0.6666666666", "", kCutAt10},
      {"1= /0.0000000001=", "10,000,000,000", "", ""},
      {"10000000= /0.0000000001=", "10,000,000", "÷ 0.0000000001", kTooLarge},
      {"5= /0=", "5", "÷ 0", "0で割ることはできません。"},
      {"5= -6=", "5", "－ 6", "引くと0より小さくなるので、引けません。"},
      {"5= +0.00000000001=", "5", "＋ 0.00000000001",
       "小数は10桁までしか置けません。一の位を左の定位点へ移すと増えます。"},
      {"123456789012345678=", "0", "123456789012345678",
       "整数は17桁までしか置けません。一の位を右の定位点へ移すと増えます。"},
      {"1.2.3", "0", "1.23", ""},  // a second point is ignored
      {".=", "0", ".", "数になっていません。"},
      {"+=", "0", "＋", "数を打ってから Enter を押してください。"},
      {"=", "0", "", ""},
      {"123<", "0", "12", ""},
      {"+1<<", "0", "", ""},  // Backspace takes the digit, then the operator
      {"7= +5 #", "7", "", ""},
      {"7= +5 !", "0", "", ""},
      {"5= -6= !", "0", "", ""},
      {"12345678901234567890123456789", "0", "1234567890123456789012345678", "これ以上は打てません。"},
  };
  for (const auto& c : cases) {
    Calculator calculator;
    Press(calculator, c.keys);
    calculator.Finish();
    EXPECT_EQ(calculator.ValueText(), c.value) << c.keys;
    EXPECT_EQ(calculator.EntryText(), c.entry) << c.keys;
    EXPECT_EQ(calculator.message(), c.message) << c.keys;
  }
}

TEST(CalculatorTest, AnAdditionIsShownMoveByMove) {
  Calculator calculator;
  Press(calculator, "12= +39=");
  ASSERT_TRUE(calculator.animating());
  EXPECT_EQ(calculator.ValueText(), "12");  // nothing made before the first move
  EXPECT_EQ(calculator.currentMove(), nullptr);
  const struct {
    const char* value;
    const char* text;
  } shown[] = {
      {"42", "＋39　十の位　+3"},
      {"41", "＋39　一の位　+10 −1"},
      {"51", "＋39　十の位　+5 −4（繰り上がり）"},
  };
  for (const auto& s : shown) {
    ASSERT_TRUE(calculator.Advance());
    ASSERT_NE(calculator.currentMove(), nullptr);
    EXPECT_EQ(calculator.ValueText(), s.value);
    EXPECT_EQ(calculator.MoveText(), s.text);
  }
  EXPECT_FALSE(calculator.Advance());
  EXPECT_FALSE(calculator.animating());
  EXPECT_EQ(calculator.MoveText(), "");
}

TEST(CalculatorTest, ABorrowIsNamed) {
  Calculator calculator;
  Press(calculator, "1000= -1=");
  ASSERT_TRUE(calculator.Advance());
  EXPECT_EQ(calculator.MoveText(), "－1　千の位　−1（繰り下がり）");
}

TEST(CalculatorTest, AnyKeyFinishesTheMovesFirst) {
  const struct {
    const char* keys;  // pressed while 999 + 1 runs
    const char* value;
    const char* entry;
  } cases[] = {
      {"5", "1,000", "5"}, {"+", "1,000", "＋"}, {"<", "1,000", ""}, {"=", "1,000", ""}, {"!", "0", ""},
  };
  for (const auto& c : cases) {
    Calculator calculator;
    Press(calculator, "999= +1=");
    ASSERT_TRUE(calculator.Advance());
    Press(calculator, c.keys);
    EXPECT_FALSE(calculator.animating()) << c.keys;
    EXPECT_EQ(calculator.ValueText(), c.value) << c.keys;
    EXPECT_EQ(calculator.EntryText(), c.entry) << c.keys;
  }
  Calculator calculator;
  Press(calculator, "999= +1=");
  calculator.Paste("3");
  EXPECT_EQ(calculator.ValueText(), "3");
  Press(calculator, "+1=");
  calculator.ClickUpperBead(0);
  EXPECT_EQ(calculator.board().Value().Text(), "50000000000000004");
}

TEST(CalculatorTest, PastedNumbers) {
  const struct {
    const char* text;
    const char* copied;  // the value set, as Ctrl+C copies it
    std::string message;
  } cases[] = {
      {"1,234.5 ", "1234.5", ""},
      {"-3.", "8", "0より小さい数はソロバンに置けません。"},
      {"-0.", "0", ""},
      {"0.333333333333333", "8", "小数は10桁までしか置けません。一の位を左の定位点へ移すと増えます。"},
      {"0.3333333333", "0.3333333333", ""},
      {"12345678901234567", "12345678901234567", ""},
      {"abc", "8", "貼り付けた「abc」は数ではありません。"},
      {"", "8", "貼り付けた「」は数ではありません。"},
      {"one\ntwo", "8", "貼り付けた「one two」は数ではありません。"},
      {"文法エラー！0で除算ですよ、本当にエラーなのです", "8",
       "貼り付けた「文法エラー！0で除算ですよ、本当にエラー…」は数ではありません。"},
      {"123456789012345678", "8", "整数は17桁までしか置けません。一の位を右の定位点へ移すと増えます。"},
  };
  for (const auto& c : cases) {
    Calculator calculator;
    Press(calculator, "8=");
    calculator.Paste(c.text);
    EXPECT_EQ(calculator.CopyText(), c.copied) << c.text;
    EXPECT_EQ(calculator.message(), c.message) << c.text;
  }
}

TEST(CalculatorTest, TheHintsFollowTheUnitRod) {
  Calculator calculator;
  calculator.ClickDot(25);  // the rightmost dot: one decimal, no room to the right
  calculator.Paste("0.25");
  EXPECT_EQ(calculator.message(), "小数は1桁までしか置けません。一の位を左の定位点へ移すと増えます。");
  calculator.Paste(std::string(27, '1'));
  EXPECT_EQ(calculator.message(), "整数は26桁までしか置けません。");
  calculator.ClickDot(1);  // the leftmost dot
  calculator.Paste("0." + std::string(26, '1'));
  EXPECT_EQ(calculator.message(), "小数は25桁までしか置けません。");
  calculator.Paste("0." + std::string(25, '1'));
  EXPECT_EQ(calculator.message(), "");
  EXPECT_EQ(calculator.CopyText(), "0." + std::string(25, '1'));
}

TEST(CalculatorTest, ClicksChangeTheBeadsAndTheUnit) {
  Calculator calculator;
  Press(calculator, "51=");
  calculator.ClickDot(19);
  EXPECT_EQ(calculator.ValueText(), "51,000");
  calculator.ClickDot(18);  // no dot there
  EXPECT_EQ(calculator.ValueText(), "51,000");
  calculator.ClickLowerBead(19, 3);
  EXPECT_EQ(calculator.ValueText(), "51,003");
  calculator.ClickUpperBead(15);
  EXPECT_EQ(calculator.ValueText(), "1,003");
}

}  // namespace
}  // namespace suusiki::soroban
