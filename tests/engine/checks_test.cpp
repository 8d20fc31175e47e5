// SPDX-License-Identifier: GPL-3.0-or-later
// The rewrites that run before evaluation, looked at on their own.
#include "engine/checks.h"

#include <gtest/gtest.h>

#include "engine/failure.h"
#include "engine/functions.h"
#include "engine/pi.h"

namespace suusiki {
namespace {

TEST(RepairOperatorPlusTest, RepairsTheFirstOccurrenceOfEachPair) {
  const struct {
    const char32_t* formula;
    const char32_t* repaired;  // nullptr: a syntax error
  } cases[] = {
      {U"+5", U"5"},     {U"3*+4", U"3*4"},  {U"1++2++3", U"1+2++3"}, {U"2*(+5)", U"2*(5)"}, {U"2^+2-+1", U"2^2-1"},
      {U"++5", nullptr}, {U"(+5)", nullptr}, {U"-+5", nullptr},       {U"5++", U"5+"},       {U"1*+2*+3", U"1*2*+3"},
  };
  for (const auto& c : cases) {
    Text formula = c.formula;
    if (c.repaired == nullptr) {
      EXPECT_THROW(RepairOperatorPlus(formula), EngineError) << ToUtf8(c.formula);
    } else {
      RepairOperatorPlus(formula);
      EXPECT_EQ(formula, c.repaired) << ToUtf8(c.formula);
    }
  }
}

TEST(CheckAdjacencyTest, RejectsNumbersAndBracketsAgainstLettersAndBrackets) {
  for (const char32_t* bad : {U"2A", U"A2", U"2(", U")2", U")A", U")b", U"x9", U"Sin30", U"1.5e3"}) {
    EXPECT_THROW(CheckAdjacency(bad), EngineError) << ToUtf8(bad);
  }
  for (const char32_t* good : {U"2*A", U"Sin(30)", U"(1+2)*3", U"A+B", U"", U"2)(3", U"．２Ａ"}) {
    EXPECT_NO_THROW(CheckAdjacency(good)) << ToUtf8(good);
  }
}

TEST(SubstitutePiTest, ReplacesPiBeforeAFollowerOnly) {
  const Text& pi = PiText();
  EXPECT_EQ(pi, U"3.14159265358979");
  const struct {
    const char32_t* formula;
    Text expected;
  } cases[] = {
      {U"2*pi ", U"2*" + pi + U" "},   {U"PI+Pi-pI*pi/", pi + U"+" + pi + U"-" + pi + U"*" + pi + U"/"},
      {U"(pi)^2", U"(" + pi + U")^2"}, {U"pi(1)", U"pi(1)"},
      {U"pipi+", U"pi" + pi + U"+"},   {U"pix", U"pix"},
      {U"spi^", U"s" + pi + U"^"},
  };
  for (const auto& c : cases) {
    Text formula = c.formula;
    SubstitutePi(formula);
    EXPECT_EQ(formula, c.expected) << ToUtf8(c.formula);
  }
}

TEST(SubstitutePiTest, WithinAStretchReplacesWhatLiesWithinIt) {
  const Text& pi = PiText();
  const struct {
    const char32_t* formula;
    std::size_t from, to;
    Text expected;
  } cases[] = {
      {U"1+(2*pi)*3", 3, 9, U"1+(2*" + pi + U")*3"},  // the bracket closing the stretch is the follower
      {U"1+(pi+pi)*3", 3, 10, U"1+(" + pi + U"+" + pi + U")*3"},
      {U"(pi)", 0, 3, U"(pi)"},  // the follower lies beyond the stretch
      {U"(pi)", 0, 4, U"(" + pi + U")"},
      {U"pi+", 1, 3, U"pi+"},
  };
  for (const auto& c : cases) {
    Text formula = c.formula;
    SubstitutePi(formula, c.from, c.to);
    EXPECT_EQ(formula, c.expected) << ToUtf8(c.formula) << " " << c.from << " to " << c.to;
  }
}

TEST(LocateRightmostCallTest, FindsTheInnermostAndRightmostCall) {
  const struct {
    const char32_t* formula;
    Function function;
    int start;
    int end;
    const char32_t* argument;
  } cases[] = {
      {U"Sin(Cos(0))", Function::Cos, 5, 10, U"(0)"},
      {U"Sin(1)+Cos(2)", Function::Cos, 8, 13, U"(2)"},
      {U"sIN(30)", Function::Sin, 1, 7, U"(30)"},
      {U"2*ABS((1+2)*3)", Function::Abs, 3, 14, U"((1+2)*3)"},
      {U"TanX+1", Function::Tan, 1, 4, U"X"},  // not followed by "(": the name and one character
      {U"CoSin(5)", Function::Sin, 3, 8, U"(5)"},
      {U"exp(1)+fix(2)+int(3)+log(4)+sqr(5)+atn(6)", Function::Atn, 36, 41, U"(6)"},
  };
  for (const auto& c : cases) {
    Call call;
    ASSERT_TRUE(LocateRightmostCall(c.formula, call)) << ToUtf8(c.formula);
    EXPECT_EQ(call.function, c.function) << ToUtf8(c.formula);
    EXPECT_EQ(call.start, c.start) << ToUtf8(c.formula);
    EXPECT_EQ(call.end, c.end) << ToUtf8(c.formula);
    EXPECT_EQ(call.argument, c.argument) << ToUtf8(c.formula);
  }
  Call call;
  EXPECT_FALSE(LocateRightmostCall(U"1+2*(3)", call));
  EXPECT_FALSE(LocateRightmostCall(U"Si", call));
  for (const char32_t* unclosed : {U"Sin(1", U"Sin((1)", U"2*Cos", U"Tan(1)+Sin("}) {
    EXPECT_THROW(LocateRightmostCall(unclosed, call), EngineError) << ToUtf8(unclosed);
  }
}

}  // namespace
}  // namespace suusiki
