// SPDX-License-Identifier: GPL-3.0-or-later
// The soroban's rods: the moves of the school method for every single digit,
// carries and borrows along the rods, setting and reading values under every
// unit rod, and bead clicks.
#include "soroban/board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace suusiki::soroban {
namespace {

constexpr int kUnit = Board::kDefaultUnitRod;

Decimal Number(const char* text) {
  const ReadResult read = ReadDecimal(text);
  EXPECT_EQ(read.problem, Problem::None) << text;
  return read.value;
}

Board BoardWith(const char* value) {
  Board board;
  EXPECT_EQ(board.Set(Number(value)), Problem::None) << value;
  return board;
}

// The beads a label stands for on its own rod, read independently of the
// planner: "+10" and "−10" belong to the next rod; ±5 is the upper bead; ±1 to
// ±4 are lower beads; ±6 to ±9 are the upper bead and lower beads together.
void ExpectBeadsAsLabelled(const Move& move) {
  int five = 0;
  int ones = 0;
  std::string label = move.label;
  std::size_t at = 0;
  while (at < label.size()) {
    int sign = 1;
    if (label.compare(at, 1, "+") == 0) {
      at += 1;
    } else if (label.compare(at, 3, "−") == 0) {
      sign = -1;
      at += 3;
    } else {
      ADD_FAILURE() << "unexpected text in " << label;
      return;
    }
    std::size_t end = label.find(' ', at);
    if (end == std::string::npos) end = label.size();
    const int n = std::stoi(label.substr(at, end - at));
    at = end + (end < label.size() ? 1 : 0);
    if (n == 10) continue;
    if (n >= 5) five += sign;
    ones += sign * (n % 5);
  }
  EXPECT_EQ(move.five, five) << move.label;
  EXPECT_EQ(move.ones, ones) << move.label;
}

// Applies every move, each of which the beads must allow.
void ApplyAll(Board& board, const std::vector<Move>& moves) {
  for (const Move& move : moves) {
    ExpectBeadsAsLabelled(move);
    EXPECT_TRUE(board.Apply(move)) << move.label << " on rod " << move.rod;
  }
}

// The textbook table of one-digit additions: row d, column a − 1, the method
// for adding a to d. A "+10" carries 1 to the rod on the left.
const char* const kAdditions[10][9] = {
    {"+1", "+2", "+3", "+4", "+5", "+6", "+7", "+8", "+9"},
    {"+1", "+2", "+3", "+5 −1", "+5", "+6", "+7", "+8", "+10 −1"},
    {"+1", "+2", "+5 −2", "+5 −1", "+5", "+6", "+7", "+10 −2", "+10 −1"},
    {"+1", "+5 −3", "+5 −2", "+5 −1", "+5", "+6", "+10 −3", "+10 −2", "+10 −1"},
    {"+5 −4", "+5 −3", "+5 −2", "+5 −1", "+5", "+10 −4", "+10 −3", "+10 −2", "+10 −1"},
    {"+1", "+2", "+3", "+4", "+10 −5", "+10 −5 +1", "+10 −5 +2", "+10 −5 +3", "+10 −5 +4"},
    {"+1", "+2", "+3", "+10 −6", "+10 −5", "+10 −5 +1", "+10 −5 +2", "+10 −5 +3", "+10 −1"},
    {"+1", "+2", "+10 −7", "+10 −6", "+10 −5", "+10 −5 +1", "+10 −5 +2", "+10 −2", "+10 −1"},
    {"+1", "+10 −8", "+10 −7", "+10 −6", "+10 −5", "+10 −5 +1", "+10 −3", "+10 −2", "+10 −1"},
    {"+10 −9", "+10 −8", "+10 −7", "+10 −6", "+10 −5", "+10 −4", "+10 −3", "+10 −2", "+10 −1"},
};

// The same for subtracting a from d; a "−10" borrows 1 from the rod on the left.
const char* const kSubtractions[10][9] = {
    {"−10 +9", "−10 +8", "−10 +7", "−10 +6", "−10 +5", "−10 +4", "−10 +3", "−10 +2", "−10 +1"},
    {"−1", "−10 +8", "−10 +7", "−10 +6", "−10 +5", "−10 +5 −1", "−10 +3", "−10 +2", "−10 +1"},
    {"−1", "−2", "−10 +7", "−10 +6", "−10 +5", "−10 +5 −1", "−10 +5 −2", "−10 +2", "−10 +1"},
    {"−1", "−2", "−3", "−10 +6", "−10 +5", "−10 +5 −1", "−10 +5 −2", "−10 +5 −3", "−10 +1"},
    {"−1", "−2", "−3", "−4", "−10 +5", "−10 +5 −1", "−10 +5 −2", "−10 +5 −3", "−10 +5 −4"},
    {"−5 +4", "−5 +3", "−5 +2", "−5 +1", "−5", "−10 +4", "−10 +3", "−10 +2", "−10 +1"},
    {"−1", "−5 +3", "−5 +2", "−5 +1", "−5", "−6", "−10 +3", "−10 +2", "−10 +1"},
    {"−1", "−2", "−5 +2", "−5 +1", "−5", "−6", "−7", "−10 +2", "−10 +1"},
    {"−1", "−2", "−3", "−5 +1", "−5", "−6", "−7", "−8", "−10 +1"},
    {"−1", "−2", "−3", "−4", "−5", "−6", "−7", "−8", "−9"},
};

TEST(BoardTest, EveryOneDigitAdditionMovesTheBeadsByTheMethod) {
  for (int d = 0; d <= 9; ++d) {
    for (int a = 1; a <= 9; ++a) {
      SCOPED_TRACE(std::to_string(d) + " + " + std::to_string(a));
      Board board = BoardWith(std::to_string(d).c_str());
      std::vector<Move> moves;
      ASSERT_EQ(board.PlanAdd(Number(std::to_string(a).c_str()), &moves), Problem::None);
      std::vector<Move> expected = {{kUnit, 0, 0, kAdditions[d][a - 1], MoveKind::Digit}};
      if (d + a >= 10) expected.push_back({kUnit - 1, 0, 1, "+1", MoveKind::Carry});
      ASSERT_EQ(moves.size(), expected.size());
      for (std::size_t i = 0; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].rod, expected[i].rod);
        EXPECT_EQ(moves[i].label, expected[i].label);
        EXPECT_EQ(moves[i].kind, expected[i].kind);
      }
      ApplyAll(board, moves);
      EXPECT_EQ(board.Value().Text(), std::to_string(d + a));
    }
  }
}

TEST(BoardTest, EveryOneDigitSubtractionMovesTheBeadsByTheMethod) {
  for (int d = 0; d <= 9; ++d) {
    for (int a = 1; a <= 9; ++a) {
      SCOPED_TRACE(std::to_string(d) + " − " + std::to_string(a));
      // With a 1 on the tens rod to borrow from when d is too small.
      const int start = d < a ? 10 + d : d;
      Board board = BoardWith(std::to_string(start).c_str());
      std::vector<Move> moves;
      ASSERT_EQ(board.PlanSubtract(Number(std::to_string(a).c_str()), &moves), Problem::None);
      std::vector<Move> expected;
      if (d < a) expected.push_back({kUnit - 1, 0, -1, "−1", MoveKind::Borrow});
      expected.push_back({kUnit, 0, 0, kSubtractions[d][a - 1], MoveKind::Digit});
      ASSERT_EQ(moves.size(), expected.size());
      for (std::size_t i = 0; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].rod, expected[i].rod);
        EXPECT_EQ(moves[i].label, expected[i].label);
        EXPECT_EQ(moves[i].kind, expected[i].kind);
      }
      ApplyAll(board, moves);
      EXPECT_EQ(board.Value().Text(), std::to_string(start - a));
    }
  }
}

// A move as (place of its rod, label, kind) for readable tables.
struct Step {
  int place;
  std::string label;
  MoveKind kind;
  bool operator==(const Step&) const = default;
};
void PrintTo(const Step& s, std::ostream* os) { *os << "{" << s.place << ", " << s.label << "}"; }

std::vector<Step> Steps(const Board& board, const std::vector<Move>& moves) {
  std::vector<Step> steps;
  steps.reserve(moves.size());
  for (const Move& m : moves) steps.push_back({board.place(m.rod), m.label, m.kind});
  return steps;
}

// A digit's move, a carry and a borrow, short for the tables.
constexpr MoveKind kD = MoveKind::Digit;
constexpr MoveKind kC = MoveKind::Carry;
constexpr MoveKind kB = MoveKind::Borrow;

TEST(BoardTest, CarriesAndBorrowsRunAlongTheRods) {
  const struct {
    const char* start;
    char op;
    const char* operand;
    std::vector<Step> steps;
    const char* result;
  } cases[] = {
      {"999", '+', "1", {{0, "+10 −9", kD}, {1, "+10 −9", kC}, {2, "+10 −9", kC}, {3, "+1", kC}}, "1000"},
      {"49", '+', "1", {{0, "+10 −9", kD}, {1, "+5 −4", kC}}, "50"},
      {"12", '+', "39", {{1, "+3", kD}, {0, "+10 −1", kD}, {1, "+5 −4", kC}}, "51"},
      {"95", '+', "5", {{0, "+10 −5", kD}, {1, "+10 −9", kC}, {2, "+1", kC}}, "100"},
      {"9.99", '+', "0.01", {{-2, "+10 −9", kD}, {-1, "+10 −9", kC}, {0, "+10 −9", kC}, {1, "+1", kC}}, "10"},
      {"5.5", '+', "4.5", {{0, "+4", kD}, {-1, "+10 −5", kD}, {0, "+10 −9", kC}, {1, "+1", kC}}, "10"},
      {"1000", '-', "1", {{3, "−1", kB}, {2, "−10 +9", kB}, {1, "−10 +9", kB}, {0, "−10 +9", kD}}, "999"},
      {"50", '-', "1", {{1, "−5 +4", kB}, {0, "−10 +9", kD}}, "49"},
      {"51", '-', "39", {{1, "−5 +2", kD}, {1, "−1", kB}, {0, "−10 +1", kD}}, "12"},
      {"10", '-', "0.01", {{1, "−1", kB}, {0, "−10 +9", kB}, {-1, "−10 +9", kB}, {-2, "−10 +9", kD}}, "9.99"},
      {"100", '-', "100", {{2, "−1", kD}}, "0"},
      {"7", '+', "0", {}, "7"},
      // The leftmost rod, place 16: a digit of its own, a carry, a borrow.
      {"0", '+', "10000000000000000", {{16, "+1", kD}}, "10000000000000000"},
      {"9000000000000000", '+', "1000000000000000", {{15, "+10 −9", kD}, {16, "+1", kC}}, "10000000000000000"},
      {"10000000000000000", '-', "1000000000000000", {{16, "−1", kB}, {15, "−10 +9", kD}}, "9000000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.start) + c.op + c.operand);
    Board board = BoardWith(c.start);
    std::vector<Move> moves;
    const Decimal operand = Number(c.operand);
    ASSERT_EQ(c.op == '+' ? board.PlanAdd(operand, &moves) : board.PlanSubtract(operand, &moves), Problem::None);
    EXPECT_EQ(Steps(board, moves), c.steps);
    ApplyAll(board, moves);
    EXPECT_EQ(board.Value().Text(), c.result);
  }
}

TEST(BoardTest, RefusedAdditionsAndSubtractionsPlanNothing) {
  const std::string wholeDigits(kUnit + 1, '9');  // every whole rod at 9
  const struct {
    std::string start;
    char op;
    std::string operand;
    Problem problem;
  } cases[] = {
      {wholeDigits, '+', "1", Problem::TooLarge},
      {"1" + std::string(kUnit, '0'), '+', wholeDigits, Problem::TooLarge},
      {"5", '-', "6", Problem::BelowZero},
      {"0", '-', "0.1", Problem::BelowZero},
      {"1000", '-', "1000.00000000001", Problem::TooManyDecimals},  // checked before the size
      {"1", '+', "0.00000000001", Problem::TooManyDecimals},
      {"1", '+', "1" + std::string(kUnit + 1, '0'), Problem::TooManyDigits},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start + c.op + c.operand);
    const Board board = BoardWith(c.start.c_str());
    std::vector<Move> moves = {Move{}};
    const Decimal operand = Number(c.operand.c_str());
    EXPECT_EQ(c.op == '+' ? board.PlanAdd(operand, &moves) : board.PlanSubtract(operand, &moves), c.problem);
    EXPECT_TRUE(moves.empty());
  }
}

TEST(BoardTest, ValuesAreSetAndReadBackUnderEveryUnitRod) {
  for (int unit = 1; unit < kRods; unit += 3) {
    SCOPED_TRACE("unit rod " + std::to_string(unit));
    Board board;
    ASSERT_TRUE(board.MoveUnit(unit));
    const int decimals = kRods - 1 - unit;
    ASSERT_EQ(board.decimals(), decimals);
    const std::string whole(static_cast<std::size_t>(unit + 1), '9');
    const std::string smallest = "0." + std::string(static_cast<std::size_t>(decimals - 1), '0') + "1";
    const struct {
      std::string text;
      Problem problem;
    } cases[] = {
        {"0", Problem::None},
        {"7", Problem::None},
        {whole, Problem::None},
        {whole + "." + std::string(static_cast<std::size_t>(decimals), '9'), Problem::None},
        {smallest, Problem::None},
        {"1" + whole, Problem::TooManyDigits},
        {"0.0" + smallest.substr(2), Problem::TooManyDecimals},
        {"1" + whole + ".5", Problem::TooManyDigits},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.text);
      ASSERT_EQ(board.Set(Number("3")), Problem::None);
      EXPECT_EQ(board.Set(Number(c.text.c_str())), c.problem);
      EXPECT_EQ(board.Value().Text(), c.problem == Problem::None ? c.text : "3");
    }
    // The ones digit sits on the unit rod, the first decimal right of it.
    ASSERT_EQ(board.Set(Number("7.4")), Problem::None);
    for (int rod = 0; rod < kRods; ++rod) {
      EXPECT_EQ(board.digit(rod), rod == unit ? 7 : (rod == unit + 1 ? 4 : 0)) << rod;
    }
  }
}

TEST(BoardTest, MovingTheUnitRodChangesTheValueNotTheBeads) {
  Board board = BoardWith("51");
  const struct {
    int rod;
    bool moved;
    const char* value;
  } cases[] = {
      {19, true, "51000"},
      {13, true, "0.051"},
      {15, false, "0.051"},
      {25, true, "51000000000"},
      {1, true, "0.000000000000051"},
      {0, false, "0.000000000000051"},
      {27, false, "0.000000000000051"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(board.MoveUnit(c.rod), c.moved) << c.rod;
    EXPECT_EQ(board.Value().Text(), c.value) << c.rod;
  }
}

TEST(BoardTest, AClickedBeadTakesTheBeadsBetweenAlong) {
  const struct {
    int digit;
    int bead;  // 0 the upper bead, 1 to 4 the lower beads from the beam
    int result;
  } cases[] = {
      {3, 0, 8}, {8, 0, 3}, {0, 0, 5}, {0, 3, 3},  // bead 3 comes to the beam and pushes beads 1 and 2 along
      {0, 1, 1}, {3, 3, 2},                        // the lowest bead at the beam goes back alone
      {3, 1, 0},                                   // bead 1 goes back and pushes beads 2 and 3 along
      {3, 4, 4}, {4, 4, 3}, {7, 4, 9}, {9, 2, 6}, {6, 1, 5},
  };
  // On the unit rod and on the leftmost rod, the digit on that rod.
  for (const int rod : {kUnit, 0}) {
    for (const auto& c : cases) {
      Board board = BoardWith((std::to_string(c.digit) + std::string(kUnit - rod, '0')).c_str());
      if (c.bead == 0) {
        board.ClickUpperBead(rod);
      } else {
        board.ClickLowerBead(rod, c.bead);
      }
      EXPECT_EQ(board.digit(rod), c.result) << c.digit << " bead " << c.bead << " on rod " << rod;
    }
  }
  Board board = BoardWith("3");
  board.ClickLowerBead(kUnit, 5);
  board.ClickLowerBead(kUnit, 0);
  board.ClickLowerBead(kRods, 1);
  board.ClickUpperBead(-1);
  EXPECT_EQ(board.Value().Text(), "3");
}

TEST(BoardTest, MovesTheBeadsCannotMakeAreRefused) {
  Board board = BoardWith("7");
  const Move impossible[] = {
      {kUnit, 1, 0, "", kD}, {kUnit, 0, 3, "", kD}, {kUnit, -1, -3, "", kD},
      {kUnit, 2, 0, "", kD}, {-1, 0, 1, "", kD},    {kRods, 0, 1, "", kD},
  };
  for (const Move& move : impossible) EXPECT_FALSE(board.Apply(move)) << move.rod << move.five << move.ones;
  EXPECT_EQ(board.Value().Text(), "7");
}

TEST(BoardTest, PlacesAreNamedUnderTheUnitRod) {
  const Board board;
  const struct {
    int rod;
    const char* name;
  } cases[] = {
      {kUnit, "一の位"},        {kUnit - 1, "十の位"},     {kUnit - 3, "千の位"},  {kUnit - 4, "万の位"},
      {kUnit - 7, "千万の位"},  {kUnit - 8, "億の位"},     {kUnit - 12, "兆の位"}, {kUnit - 13, "十兆の位"},
      {kUnit + 1, "小数第1位"}, {kRods - 1, "小数第10位"},
  };
  for (const auto& c : cases) EXPECT_EQ(board.PlaceName(c.rod), c.name) << c.rod;
}

}  // namespace
}  // namespace suusiki::soroban
