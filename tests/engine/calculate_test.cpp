// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command, rule family by rule family: each case types a formula
// into the formula box of a variable (with some others defined) and checks the
// answer line and what the window is asked to do.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/main_state.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

// An empty table with the given definitions ("C=58*3").
VariableTable TableWith(const std::vector<std::string>& definitions) {
  VariableTable table = EmptyTable();
  for (const std::string& d : definitions) {
    const int index = d[0] - 'A';
    table[index] = EntryFor(index, FromUtf8(d.substr(2)));
  }
  return table;
}

enum Outcome { kAnswer, kBeep, kBeepFocus };

struct Case {
  std::string formula;
  std::string answer;  // the answer line afterwards
  Outcome outcome = kAnswer;
  std::vector<std::string> definitions = {};  // "C=58*3"
  char current = 'Z';
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.formula << '"'; }

class CalculateTest : public ::testing::TestWithParam<Case> {};

TEST_P(CalculateTest, ShowsTheAnswer) {
  const Case& c = GetParam();
  MainState state;
  state.LoadTable(TableWith(c.definitions));
  state.SelectRow(c.current - 'A');
  state.ShowAnswer(U"before");  // what the answer line showed
  state.TypeInFormulaBox(FromUtf8(c.formula));
  const Effects effects = state.Calculate();

  EXPECT_EQ(ToUtf8(state.answerLine()), c.answer);
  EXPECT_EQ(effects.beep, c.outcome == kBeep || c.outcome == kBeepFocus);
  EXPECT_EQ(effects.failure.has_value(), c.outcome != kAnswer);
  if (c.outcome == kBeepFocus) {
    EXPECT_EQ(effects.focus, Focus::FormulaBox);
  }
  // Whatever the outcome, the formula is stored as typed.
  EXPECT_EQ(ToUtf8(state.table()[c.current - 'A']), std::string(1, c.current) + ": " + c.formula);
}

const char* const kSyntax = "文法エラー！";

// The answer line of a whole number written with `digits`: commas between groups of three.
std::string Grouped(const std::string& digits) {
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text + ". ";
}
const char* const kOverflow = "文法エラー！桁あふれ";
const char* const kByZero = "文法エラー！0で除算";

INSTANTIATE_TEST_SUITE_P(
    Driver, CalculateTest,
    ::testing::Values(Case{"", "0. "}, Case{"5", "5. "}, Case{"1234.5", "1,234.5 "}, Case{"1/3", "0.333333333333333 "},
                      // Definitions are inserted in brackets, not as values.
                      Case{"B", "146.090909090909 ", kAnswer, {"C=58*3", "B=C/2.2+67"}},
                      Case{"B*152/(C/4+85)", "172.807923593916 ", kAnswer, {"C=58*3", "B=C/2.2+67"}, 'A'},
                      Case{"C*2", "10. ", kAnswer, {"C=2+3"}}, Case{"B+1", "1. "},  // an empty variable counts as (0)
                      Case{"B+1", "文法エラー！自己変数", kBeep, {"B=C", "C=Z*2"}},
                      Case{"Z+1", "文法エラー！自己変数", kBeep},
                      // A and B refer to each other: the expansion outgrows 500 characters.
                      Case{"A+1", kSyntax, kBeep, {"A=B*2", "B=A+1"}},
                      // Lower-case references are expanded like upper-case ones, also when repeated.
                      Case{"a+a+1", "5. ", kAnswer, {"A=2"}}, Case{"a*b-A", "4. ", kAnswer, {"A=2", "B=3"}},
                      // A letter before "(" is not a reference and fails the letter check.
                      Case{"B(1)", kSyntax, kBeep}, Case{"b(1)", kSyntax, kBeep}, Case{"X", "0. "},
                      // A number beyond the double range: a group of over 100 characters.
                      Case{"1" + std::string(400, '0'), kSyntax, kBeep},
                      // A long number is cut by the length limit of the reduction.
                      Case{"A", kSyntax, kBeep, {"A=1" + std::string(400, '0')}},
                      // The expanded formula may hold 500 characters (with the blank after
                      // it), not 501: "(" + 497 + ") " and "(" + 498 + ") ".
                      Case{"B", "1. ", kAnswer, {"B=" + std::string(248, '(') + "1" + std::string(248, ')')}},
                      Case{"B", kSyntax, kBeep, {"B=" + std::string(248, '(') + "12" + std::string(248, ')')}}));

INSTANTIATE_TEST_SUITE_P(
    Checks, CalculateTest,
    ::testing::Values(Case{"+5", "5. "}, Case{"++5", kSyntax, kBeep}, Case{"(+5)", kSyntax, kBeep},
                      // A "+" in front of no operand at all (U+FFFD stands for bytes that were no UTF-8).
                      Case{" +\xEF\xBF\xBD", kSyntax, kBeep}, Case{"2*(+5)", "10. "}, Case{"3*+4", "12. "},
                      Case{"1++2++3", "6. "}, Case{"2(3+1)", kSyntax, kBeep}, Case{"(1+2)3", kSyntax, kBeep},
                      Case{"(1+2)A", kSyntax, kBeep}, Case{"2A", kSyntax, kBeep}, Case{"A2", kSyntax, kBeep},
                      Case{"Sin30", kSyntax, kBeep}, Case{"2*(3+1)", "8. "}, Case{"2*pi", "6.28318530717958 "},
                      Case{"2*PI", "6.28318530717958 "}, Case{"pI+0", "3.14159265358979 "},
                      Case{"pi", "3.14159265358979 "}, Case{"Pi(1)", kSyntax, kBeep},
                      // Pi inside a definition is replaced as soon as it is inserted.
                      Case{"B*2", "6.28318530717958 ", kAnswer, {"B=Pi"}}));

INSTANTIATE_TEST_SUITE_P(
    Functions, CalculateTest,
    ::testing::Values(Case{"Sin(30)", "0.5 "}, Case{"Cos(60)", "0.5 "}, Case{"Tan(45)", "1. "}, Case{"Atn(1)", "45. "},
                      Case{"Sin(45)", "0.707106781186548 "}, Case{"Cos(90)", "0. "}, Case{"Sin(180)", "0. "},
                      Case{"Exp(-40)", "4.24835425529159*10^-18 "}, Case{"Exp(-30)", "9.35762296884017*10^-14 "},
                      Case{"Tan(90)", kSyntax, kBeepFocus}, Case{"Atn(10^20)", "90. "},
                      Case{"Atn(10^99)", kSyntax, kBeep}, Case{"Int(-2.5)", "-3. "}, Case{"Fix(-2.5)", "-2. "},
                      Case{"Abs(-3)", "3. "}, Case{"Exp(1)", "2.71828182845905 "}, Case{"Log(10)", "2.30258509299405 "},
                      Case{"Sqr(2)", "1.4142135623731 "}, Case{"Sqr(2)^2", "2.00000000000001 "},
                      Case{"sin(30)", "0.5 "}, Case{"SIN(30)", "0.5 "}, Case{"sIn(30)", "0.5 "},
                      Case{"Sin(Cos(0)*30)", "0.5 "}, Case{"Sin(1)+Cos(2)", "1.01684323345638 "},
                      Case{"3-Sin(-30)", "3.5 "}, Case{"2*Sin(-30)", "-1. "}, Case{"Log(0)", kSyntax, kBeepFocus},
                      Case{"Log(-1)", kSyntax, kBeepFocus}, Case{"Sqr(-4)", kSyntax, kBeepFocus},
                      // Zero, where the square root and the logarithm change behaviour.
                      // A name followed by exactly one character takes it as its argument.
                      Case{"Sin.", "0. "}, Case{"SinB", "0.5 ", kAnswer, {"B=30"}}, Case{"Sqr(0)", "0. "},
                      Case{"Log(1)", "0. "}, Case{"Log(0.5)", "-0.693147180559945 "},
                      Case{"Exp(1000)", kOverflow, kBeep}, Case{"2+Exp(1000)", kOverflow, kBeep},
                      // A name without its closing bracket fails on every call of a run.
                      Case{"Sin(1", kSyntax, kBeepFocus}, Case{"Sin(1)+Cos(", kSyntax, kBeepFocus},
                      Case{"Sin(1+Cos(2)", kSyntax, kBeepFocus}, Case{"SinX(1)", kSyntax, kBeep}));

INSTANTIATE_TEST_SUITE_P(
    Reduction, CalculateTest,
    ::testing::Values(
        Case{"2+3*4", "14. "}, Case{"8/2*4", "16. "}, Case{"2*3-4/2", "4. "}, Case{"7-3+2", "6. "},
        Case{"1-2-3", "-4. "}, Case{"2^3^2", "64. "}, Case{"3-2^2", "-1. "}, Case{"3-2^3", "-5. "},
        Case{"2*-3^2", "18. "}, Case{"(-2)^2", "4. "}, Case{"-2^2", "-4. "}, Case{"-(2^2)", "-4. "},
        Case{"0-(2^2)", "-4. "}, Case{"-1+(2^2)", "3. "}, Case{"-1+2^2", "3. "}, Case{"3-2^0.5", "1.5857864376269 "},
        Case{"3-(0-2)", "5. "}, Case{"-(3)", "-3. "}, Case{"2*(-3)", "-6. "}, Case{"2^-(1)", "0.5 "},
        Case{"-2^-(3)", "-0.125 "}, Case{"1/3*3", "0.999999999999999 "}, Case{"0.1+0.2", "0.3 "}, Case{"1-0.9", "0.1 "},
        Case{"1/10^19*10^19", "1. "}, Case{"1/10^18*10^18", "1. "}, Case{"((2))", "2. "},
        Case{"5/0", "文法エラー！0で除算", kBeep}, Case{"0^-1", "文法エラー！0で除算", kBeep},
        // Positive and zero bases take any exponent; zero to the power zero is 1.
        Case{"4^0.5", "2. "}, Case{"8^(1/3)", "2. "}, Case{"0^0.5", "0. "}, Case{"0^0", "1. "}, Case{"0^2", "0. "},
        Case{"9^0.5+2^-1", "3.5 "}, Case{"0/0", kByZero, kBeep}, Case{"10^400", kOverflow, kBeep},
        Case{"10^98", Grouped("1" + std::string(98, '0'))}, Case{"10^99", kSyntax, kBeep},
        Case{"(2+3", "文法エラー！ｶｯｺが合わない", kBeep}, Case{"()", kSyntax, kBeepFocus},
        Case{")(", kSyntax, kBeepFocus}, Case{"*5", kSyntax, kBeepFocus}, Case{"5*", kSyntax, kBeep},
        Case{"B", "6. ", kAnswer, {"B=2*+3"}}, Case{"B", "24. ", kAnswer, {"B=2*+3*+4"}},
        Case{"B", "24. ", kAnswer, {"B=2*+3*+4 "}},  // a blank after the last number
        Case{"B*2", "10. ", kAnswer, {"B=+5"}}, Case{"Abs(+2)*Abs(+3)", "6. "}, Case{"Sin(+30)+Cos(+60)", "1. "},
        // Blanks count for nothing, as in a number; an operand cut off by one
        // once rewrote the text for ever.
        Case{"0-0+ 1", "1. "}, Case{"9-0.+ 1", "10. "}, Case{"2 3", "23. "}, Case{"2 - 3", "-1. "},
        Case{"1+- 2", "-1. "}, Case{"2* +3", "6. "}, Case{"5- -2", "7. "},
        // A sign with no number after it: unfinished, like "5*".
        Case{"2*-", kSyntax, kBeep}, Case{"5+-", kSyntax, kBeep}, Case{"2^-", kSyntax, kBeep},
        Case{"(2*-)", kSyntax, kBeep}, Case{"5--", kSyntax, kBeep}, Case{"2*(-)-5", kSyntax, kBeep},
        Case{"2-(-)-1", kSyntax, kBeep}, Case{"(-)(-)", kSyntax, kBeep}));

// A computed value (a group's, a variable's, a function's, an operation's
// result) is one signed number wherever it lands; a typed minus is read by what
// stands before it.
INSTANTIATE_TEST_SUITE_P(
    Signs, CalculateTest,
    ::testing::Values(
        // Everyday formulas whose negative bracket or function values were once
        // taken for subtractions.
        // A "+" typed as a sign, as many as there are, also in a definition; two
        // minuses at the very start cancel before the first power is taken.
        Case{"5-+2-+1", "2. "}, Case{"2*+3*+4*+5", "120. "}, Case{"1-+2-+3-+4", "-8. "}, Case{"5-+-+-+555", "-550. "},
        Case{"2^+-2", "0.25 "}, Case{"B", "25. ", kAnswer, {"B=1+2*+3*+4"}},
        Case{"B", "120. ", kAnswer, {"B=2*+3*+4*+5"}}, Case{"B+1", "-7. ", kAnswer, {"B=1-+2-+3-+4"}},
        Case{"--4^2", "16. "}, Case{"---4^2", "-16. "}, Case{"--7^0", "1. "}, Case{"--2^4--22.27", "38.27 "},
        Case{"--(0-2)^2", "4. "},
        // A bracket's value against a number is no product and no longer number.
        Case{"(3)(4)", kSyntax, kBeepFocus}, Case{"(1)(0-2)", kSyntax, kBeepFocus},
        Case{"Sin(30)(2)", kSyntax, kBeepFocus}, Case{"(2)^(3)(4)", kSyntax, kBeepFocus},
        Case{"(2).5", kSyntax, kBeepFocus}, Case{".(2)", kSyntax, kBeepFocus}, Case{"(2) (3)", kSyntax, kBeepFocus},
        Case{"(2) Cos(180)", kSyntax, kBeepFocus}, Case{"(2) Sin(30)", kSyntax, kBeepFocus},
        Case{"(2)-Cos(180)", "3. "}, Case{"Sin(30)*(2)", "1. "}, Case{"2*(3)", "6. "}, Case{"(2)*3", "6. "},
        Case{"(1-3)^2+(2-5)^2", "13. "}, Case{"(2-5)^2+(1-3)^2", "13. "}, Case{"Sqr((1-4)^2+(2-6)^2)", "5. "},
        Case{"B^2+C^2", "13. ", kAnswer, {"B=1-3", "C=2-5"}}, Case{"Sin(0-30)^2", "0.25 "},
        Case{"Cos(180)^2+Sin(0-90)^2", "2. "}, Case{"Sin(0-30)^2+Cos(0-30)^2", "1. "},
        Case{"(89.61^1)+76/(((55/49)-55.66/70.6)^0+(2-38.04*55.9)^0)", "127.61 "}, Case{"-2^0.5", "-1.4142135623731 "},
        Case{"-Sin(0-30)", "0.5 "}, Case{"3*-Sin(0-30)", "1.5 "}, Case{"3-Sin(0-30)+1", "4.5 "},
        Case{"2^-(0-1)", "2. "}, Case{"6/-(2)", "-3. "}, Case{"22--1+5", "28. "}, Case{"4+(0-2)^3^2", "68. "},
        // A "^" raises the signed value, an operator before it meets a negative number.
        Case{"(1-3)^2", "4. "}, Case{"5+(1-3)^2", "9. "}, Case{"(1-3)^2*3", "12. "}, Case{"(1-3)^2/2", "2. "},
        Case{"(1-2)^3", "-1. "}, Case{"(0-2)^3^2", "64. "}, Case{"4+(1-3)", "2. "}, Case{"4*(1-3)^2", "16. "},
        Case{"(1-3)-(1-4)", "1. "}, Case{"(1-3)/(0-4)", "0.5 "}, Case{"2^(1-3)", "0.25 "}, Case{"Abs((1-3)^3)", "8. "},
        Case{"2*Sin(0-30)^2", "0.5 "}, Case{"Fix(0-2.5)^2", "4. "}, Case{"X^2", "9. ", kAnswer, {"X=0-3"}},
        Case{"X^3+X^2", "-4. ", kAnswer, {"X=-2"}},
        // A minus typed at the very start applies to the first power and to nothing else.
        Case{"-2^2^2", "-16. "}, Case{"-(0-2)", "2. "}, Case{"-(0-2)^2", "-4. "}, Case{"-(3)^2", "-9. "},
        Case{"-X^2", "-9. ", kAnswer, {"X=1-4"}}, Case{"-Int(0-2.5)", "3. "}, Case{"--(2)", "2. "},
        // Also before a function's negative value: the minus applies to its power.
        Case{"-Sin(0-30)^2", "-0.25 "}, Case{"--Sin(0-30)^2", "0.25 "}, Case{"---Sin(0-30)^2", "-0.25 "},
        Case{"-Atn(0-1)^2", "-2,025. "}, Case{"-Log(0.25)^2", "-1.9218120556728 "}, Case{"-Cos(180)^3", "1. "},
        Case{"-Abs(0-2)^2", "-4. "}, Case{"-Sin(30)^2", "-0.25 "}, Case{"-B^2", "-9. ", kAnswer, {"B=0-3"}},
        // A point before a minus goes before the minus is read.
        Case{"3-.-7^2", "-46. "}, Case{"-.-(5)+0", "5. "}, Case{"-.-5", "5. "}, Case{"-.-7^2", "49. "},
        Case{"5.-3", "2. "},
        // A typed sign before a negative group cancels its sign, also under a power.
        Case{"2*-(0-3)^2", "18. "}, Case{"2*-(0-3)", "6. "},
        // After a number a minus subtracts, the power taken of the number alone.
        Case{"3-(0-2)^3", "11. "},
        // Powers and minus signs inside longer formulas.
        Case{"2^2-1", "3. "}, Case{"2^3-2^2", "4. "}, Case{"10-2^3-1", "1. "}, Case{"-2^2-1", "-5. "},
        Case{"1-2^-1", "0.5 "}, Case{"5-6/-2", "8. "}, Case{"2^-(1+1)", "0.25 "}, Case{"2^-(0-1+3)", "0.25 "},
        // After an operator or "(" a minus belongs to what follows.
        Case{"(-2^2)", "4. "}, Case{"2^-2", "0.25 "}, Case{"2+-3^3^2", "731. "}, Case{"1^1+-3^2", "10. "},
        Case{"2*-(3)^2", "18. "}, Case{"0.5^-(1-3)", "0.25 "}, Case{"Sin(-Cos(180))", "0.0174524064372835 "},
        // The rest stays: no real root, division by zero, an overflow.
        Case{"(0-8)^(1/3)", kSyntax, kBeepFocus}, Case{"(0-2)^0.5", kSyntax, kBeepFocus},
        Case{"1/(2-2)", "文法エラー！0で除算", kBeep}, Case{"(1-1)^-1", "文法エラー！0で除算", kBeep},
        Case{"Sin(0-30)*10^400", kOverflow, kBeep}, Case{"2 -3", "-1. "}));

// Every value keeps its 15 significant digits at any magnitude: school
// physics (h c / 500 nm, k T at 300 K, m c^2 of the electron, checked with
// exact fractions) and the round trips that fixed decimal places once broke.
// The answer line shows a value below 10^-9 as digits times a power of ten.
INSTANTIATE_TEST_SUITE_P(
    Magnitudes, CalculateTest,
    ::testing::Values(Case{"6.62607015*10^-34*299792458/(500*10^-9)", "3.97289171429786*10^-19 "},
                      Case{"1.380649*10^-23*300", "4.141947*10^-21 "},
                      Case{"9.1093837015*10^-31*299792458^2", "8.18710577682389*10^-14 "},
                      Case{"1/7/10^15*10^15*7", "1. "}, Case{"2/3/10^16*10^16", "0.666666666666667 "},
                      Case{"(1/3)*10^-17*3*10^17", "0.999999999999999 "}, Case{"1/10^20*10^20", "1. "},
                      Case{"Exp(0-50)*Exp(50)", "1. "}, Case{"Sqr(10^-40)*10^20", "1. "},
                      Case{"Log(1/10^20)", "-46.0517018598809 "}, Case{"Exp(0-10)", "0.00004539992976248 "},
                      Case{"Exp(0-10)*10^5", "4.53999297624849 "}, Case{"Sin(0.000001)", "0.00000001745329252 "},
                      Case{"Sin(0.000001)*10^8", "1.74532925199433 "}, Case{"Tan(10)-Sin(10)/Cos(10)", "0. "},
                      Case{"1/10^17", "0.00000000000000001 "}, Case{"0-3/10^30", "-3*10^-30 "},
                      Case{"3.97289171429786*10^-19", "3.97289171429786*10^-19 "},
                      Case{"2^-1074", "4.94065645841247*10^-324 "}, Case{"2^-1075", "0. "},
                      // Up to 10^99 the size of a value never makes a formula fail.
                      Case{"10^49+10^48", Grouped("11" + std::string(48, '0'))}, Case{"1+10^60-10^60", "0. "},
                      Case{"10^60/10^59", "10. "}, Case{"(10^50)^1*10^48", Grouped("1" + std::string(98, '0'))},
                      Case{"9.99999999999999*10^98", Grouped(std::string(15, '9') + std::string(84, '0'))},
                      Case{"10^50*10^49", kSyntax, kBeep}, Case{"Exp(230)", kSyntax, kBeep},
                      Case{"10^200/10^199", kSyntax, kBeep}, Case{"5+10^400", kOverflow, kBeep},
                      Case{"Exp(1000)-1", kOverflow, kBeep}, Case{"(1-1)/(2-2)", kByZero, kBeep}));

// Sine, cosine and tangent reduce the angle in degrees first, so whole
// multiples of 90 are exact.
INSTANTIATE_TEST_SUITE_P(Degrees, CalculateTest,
                         ::testing::Values(Case{"Sin(360)", "0. "}, Case{"Cos(270)", "0. "}, Case{"Tan(180)", "0. "},
                                           Case{"Cos(180)", "-1. "}, Case{"Sin(0-540)", "0. "},
                                           Case{"Cos(0-720)", "1. "}, Case{"Sin(10^20)", "-0.984807753012208 "},
                                           Case{"Tan(270)", kSyntax, kBeepFocus},
                                           Case{"Tan(0-90)", kSyntax, kBeepFocus},
                                           Case{"Sin(180)^-1", kByZero, kBeep}));

// Each pass of the expansion replaces, for every letter from A to Z and every
// follower in the order + - * / ) ^ space, the first reference of the letter
// before that follower (a lower-case one before an upper-case one).
INSTANTIATE_TEST_SUITE_P(
    Expansion, CalculateTest,
    ::testing::Values(Case{"B+B*B-B/B^B", "5.5 ", kAnswer, {"B=2"}},       // every follower in one pass
                      Case{"(B)+b", "4. ", kAnswer, {"B=2"}},              // ")" and "+" after the letter
                      Case{"b+B+b+B", "8. ", kAnswer, {"B=2"}},            // repeated references take passes
                      Case{"B", "7. ", kAnswer, {"B=C+D", "C=3", "D=4"}},  // later letters in the same pass
                      Case{"D", "7. ", kAnswer, {"D=B+C", "B=3", "C=4"}},  // earlier letters in the next pass
                      Case{"B*C", "16. ", kAnswer, {"B=C", "C=2+1+1"}},
                      Case{"B^2", "3.14159265358981 ", kAnswer, {"B=Pi/Pi*Pi^0.5"}},
                      // Pi at either end of a definition: its bracket is the follower.
                      Case{"B*2", "12.5663706143592 ", kAnswer, {"B=2*pi"}},
                      Case{"B-C", "2. ", kAnswer, {"B=PI+2", "C=pI"}},
                      Case{"B-1", "-1. ", kAnswer, {"B=C", "C="}},    // an empty definition counts as (0)
                      Case{"bB+1", kSyntax, kBeep, {"B=2"}},          // "b" before a letter is no reference
                      Case{"B.5", kSyntax, kBeep, {"B=2"}},           // nor before a point
                      Case{"C", kSyntax, kBeep, {"C=D+1", "D=C+1"}},  // the expansion grows beyond its limit
                      Case{"B", "文法エラー！自己変数", kBeep, {"B=C", "C=D*2", "D=Z"}}));

// A failure never leaves a number in the answer line that could pass for the
// answer: once, the line kept the value of the formula's leading number.
INSTANTIATE_TEST_SUITE_P(Overflows, CalculateTest,
                         ::testing::Values(Case{"B*10^400", kOverflow, kBeep, {"B=4"}},
                                           Case{"Abs(-7)*10^400", kOverflow, kBeep},
                                           Case{"Abs(-7)*Exp(1000)", kOverflow, kBeep},
                                           Case{"2+1" + std::string(400, '0'), kOverflow, kBeep},
                                           Case{"1" + std::string(400, '0') + "+2", kOverflow, kBeep},
                                           Case{"-3*Abs(2)*10^400", kOverflow, kBeep},
                                           Case{"Sin(0-30)*Exp(1000)+1", kOverflow, kBeep}));

std::string AnswerOf(const std::string& formula) {
  MainState state;
  state.TypeInFormulaBox(FromUtf8(formula));
  state.Calculate();
  return ToUtf8(state.answerLine());
}

// Every multiple of 15 degrees from -720 to 720 against the exact values:
// 0, 1/2 and 1 exactly, the square-root ones within the 15-digit cut.
TEST(CalculateCommandTest, DegreesAreExactAtEveryMultipleOf15) {
  const long double r2 = std::sqrt(2.0L);
  const long double r3 = std::sqrt(3.0L);
  const long double r6 = std::sqrt(6.0L);
  // The sine at 0, 15, ..., 90 degrees, and the tangent (the last has none).
  const long double sines[] = {0, (r6 - r2) / 4, 0.5L, r2 / 2, r3 / 2, (r6 + r2) / 4, 1};
  const long double tangents[] = {0, 2 - r3, 1 / r3, 1, r3, 2 + r3};
  for (int degrees = -720; degrees <= 720; degrees += 15) {
    const int k = ((degrees / 15) % 24 + 24) % 24;  // 15-degree steps in the turn
    const int quarter = k / 6;
    const int rest = k % 6;
    const long double sine = (quarter % 2 == 0 ? sines[rest] : sines[6 - rest]) * (quarter < 2 ? 1 : -1);
    const long double cosine =
        (quarter % 2 == 0 ? sines[6 - rest] : sines[rest]) * (quarter == 0 || quarter == 3 ? 1 : -1);
    const std::string angle = degrees < 0 ? "(0-" + std::to_string(-degrees) + ")" : std::to_string(degrees);
    const struct {
      const char* name;
      long double exact;
      bool defined;
    } functions[] = {
        {"Sin", sine, true},
        {"Cos", cosine, true},
        {"Tan", rest == 0 && quarter % 2 == 1 ? 0 : (quarter % 2 == 0 ? tangents[rest] : -tangents[6 - rest]),
         !(rest == 0 && quarter % 2 == 1)}};
    for (const auto& f : functions) {
      const std::string formula = std::string(f.name) + "(" + angle + ")";
      const std::string answer = AnswerOf(formula);
      if (!f.defined) {
        EXPECT_EQ(answer, kSyntax) << formula;
      } else if (f.exact == 0 || std::fabs(f.exact) == 0.5L || std::fabs(f.exact) == 1) {
        EXPECT_EQ(answer, ToUtf8(AnswerText(static_cast<double>(f.exact)))) << formula;
      } else {
        const std::optional<double> value = ReadNumber(FromUtf8(answer));
        ASSERT_TRUE(value) << formula;
        EXPECT_NEAR(*value, static_cast<double>(f.exact), 6e-16L * std::fabs(f.exact) * 10) << formula;
      }
    }
  }
}

// A tiny answer typed back into the formula box gives the same answer line.
TEST(CalculateCommandTest, TinyAnswersTypedBackGiveTheSameAnswer) {
  std::mt19937_64 random(20);
  for (int i = 0; i < 1000; ++i) {
    const double mantissa = 1 + static_cast<double>(random() % 9000000000000000) / 1e15;
    const double value =
        (random() % 2 == 0 ? 1 : -1) * mantissa * std::pow(10.0, -10 - static_cast<int>(random() % 297));
    std::string shown = ToUtf8(AnswerText(value));
    shown.pop_back();  // the trailing space
    EXPECT_EQ(AnswerOf(shown), shown + " ") << value;
  }
}

// The value sign is the engine's own: a typed private-use character is an
// unknown character like any other, never a minus.
TEST(CalculateCommandTest, TypedPrivateUseCharactersAreNoSigns) {
  const char* const templates[] = {"@3", "2*@3", "(@2)^2", "1@2", "@(0-2)", "@-2^2", "(0-2)@", "@2^0.5"};
  auto answer = [](std::string formula, const std::string& character) {
    for (std::size_t p; (p = formula.find('@')) != std::string::npos;) formula.replace(p, 1, character);
    MainState state;
    state.TypeInFormulaBox(FromUtf8(formula));
    state.Calculate();
    return ToUtf8(state.answerLine());
  };
  for (const char* t : templates) {
    for (const char* character : {"\uE000", "\uF8FF", "\U000F0000", "\U0010FFFD"}) {
      EXPECT_EQ(answer(t, character), answer(t, "①")) << t;
    }
  }
}

TEST(CalculateCommandTest, TheTextsLeftForOthersShowSignsAsMinus) {
  const struct {
    const char* formula;
    const char32_t* workingFormula;  // as the printout shows it
    const char32_t* resultText;      // as the Newton command and the printout read it
  } cases[] = {
      {"Sin(0-30)*2", U"-0.5*2", U"-1."},
      {"3*-Sin(0-30)", U"3*--0.5", U"1.5"},
      {"(0-2)^0.5", U"(0-2)^0.5", U"-2.^0.5"},  // as far as the reduction got
      {"Sqr(1-5)", U"Sqr(1-5)", U"-4."},
  };
  for (const auto& c : cases) {
    MainState state;
    state.TypeInFormulaBox(FromUtf8(c.formula));
    state.Calculate();
    EXPECT_EQ(state.workingFormula(), c.workingFormula) << c.formula;
    EXPECT_EQ(state.resultText(), c.resultText) << c.formula;
  }
}

// The working formula, as the printout shows it, after an expansion that ends
// in a self-reference: every reference found in the passes before is expanded,
// also those that a definition brought in after its Pi became digits.
TEST(CalculateCommandTest, AnExpansionStopsWhereItMeetsTheCurrentVariable) {
  const struct {
    const char* formula;
    std::vector<std::string> definitions;
    const char32_t* workingFormula;
  } cases[] = {
      {"C", {"C=pi*E+A"}, U"(3.14159265358979*(0)+A) "},
      {"C*D", {"C=D+Pi", "D=E", "E=A"}, U"(((A))+3.14159265358979)*(E) "},
      {"B", {"B=C*Pi*C", "C=2*A"}, U"((2*A)*3.14159265358979*(2*A)) "},
  };
  for (const auto& c : cases) {
    MainState state;
    state.LoadTable(TableWith(c.definitions));
    state.SelectRow(0);
    state.TypeInFormulaBox(FromUtf8(c.formula));
    const Effects effects = state.Calculate();
    EXPECT_EQ(effects.failure, Failure::SelfReference) << c.formula;
    EXPECT_EQ(state.workingFormula(), c.workingFormula) << c.formula;
  }
}

}  // namespace
}  // namespace suusiki
