// SPDX-License-Identifier: GPL-3.0-or-later
#include "soroban/board.h"

#include <utility>

namespace suusiki::soroban {
namespace {

using Digits = std::array<int, kRods>;

const char kMinus[] = "−";

std::string Plus(int n) { return "+" + std::to_string(n); }
std::string Minus(int n) { return kMinus + std::to_string(n); }

// The beads that take a rod from digit `from` to digit `to`.
std::pair<int, int> Beads(int from, int to) { return {(to >= 5) - (from >= 5), to % 5 - from % 5}; }

class Planner {
 public:
  Planner(const Digits& digits, std::vector<Move>* moves) : digits_(digits), moves_(moves) {}

  // Adds `a` (1 to 9) on `rod`: directly when only beads towards the beam are
  // needed, else by the complement of 5, else by the complement of 10 (the 10
  // carried to the left after this rod's move), taking the complement off by
  // the complement of 5 when it can't be taken off directly. False when a
  // carry would run past the leftmost rod.
  bool Add(int rod, int a, MoveKind kind) {
    const int digit = digits_[static_cast<std::size_t>(rod)];
    if (digit + a <= 9) {
      const auto [five, ones] = Beads(digit, digit + a);
      Push(rod, five, ones, ones >= 0 ? Plus(a) : Plus(5) + " " + Minus(-ones), kind);
      return true;
    }
    if (rod == 0) return false;
    const int complement = 10 - a;
    const auto [five, ones] = Beads(digit, digit - complement);
    Push(rod, five, ones, Plus(10) + " " + (ones <= 0 ? Minus(complement) : Minus(5) + " " + Plus(ones)), kind);
    return Add(rod - 1, 1, MoveKind::Carry);
  }

  // Subtracts `a` (1 to 9) from `rod`, the mirror of Add: a borrow of 10 from
  // the left comes first, then the complement goes on this rod. False when a
  // borrow would run past the leftmost rod.
  bool Subtract(int rod, int a, MoveKind kind) {
    const int digit = digits_[static_cast<std::size_t>(rod)];
    if (digit >= a) {
      const auto [five, ones] = Beads(digit, digit - a);
      Push(rod, five, ones, ones <= 0 ? Minus(a) : Minus(5) + " " + Plus(ones), kind);
      return true;
    }
    if (rod == 0 || !Subtract(rod - 1, 1, MoveKind::Borrow)) return false;
    const int complement = 10 - a;
    const auto [five, ones] = Beads(digit, digit + complement);
    Push(rod, five, ones, Minus(10) + " " + (ones >= 0 ? Plus(complement) : Plus(5) + " " + Minus(-ones)), kind);
    return true;
  }

 private:
  void Push(int rod, int five, int ones, std::string label, MoveKind kind) {
    digits_[static_cast<std::size_t>(rod)] += 5 * five + ones;
    moves_->push_back({rod, five, ones, std::move(label), kind});
  }

  Digits digits_;
  std::vector<Move>* moves_;
};

}  // namespace

std::string Board::PlaceName(int rod) const {
  const int p = place(rod);
  if (p < 0) return "小数第" + std::to_string(-p) + "位";
  if (p == 0) return "一の位";
  static const char* const kSmall[] = {"", "十", "百", "千"};
  static const char* const kLarge[] = {"", "万", "億", "兆", "京", "垓", "𥝱"};
  return std::string(kSmall[p % 4]) + kLarge[p / 4] + "の位";
}

bool Board::MoveUnit(int rod) {
  if (!IsDotted(rod)) return false;
  unitRod_ = rod;
  return true;
}

Problem Board::Fits(const Decimal& value) const {
  if (value.WholeDigits() > unitRod_ + 1) return Problem::TooManyDigits;
  if (value.decimals > decimals()) return Problem::TooManyDecimals;
  return Problem::None;
}

Problem Board::Set(const Decimal& value) {
  const Problem problem = Fits(value);
  if (problem != Problem::None) return problem;
  for (int rod = 0; rod < kRods; ++rod) digits_[static_cast<std::size_t>(rod)] = value.DigitAt(place(rod));
  return Problem::None;
}

Decimal Board::Value() const {
  std::string digits;
  for (int d : digits_) digits += static_cast<char>('0' + d);
  return Decimal::Of(std::move(digits), decimals());
}

void Board::ClickUpperBead(int rod) {
  if (rod < 0 || rod >= kRods) return;
  digits_[static_cast<std::size_t>(rod)] += five(rod) ? -5 : 5;
}

void Board::ClickLowerBead(int rod, int bead) {
  if (rod < 0 || rod >= kRods || bead < 1 || bead > 4) return;
  const int ones = bead <= this->ones(rod) ? bead - 1 : bead;
  digits_[static_cast<std::size_t>(rod)] = (five(rod) ? 5 : 0) + ones;
}

Problem Board::PlanAdd(const Decimal& operand, std::vector<Move>* moves) const {
  moves->clear();
  if (const Problem problem = Fits(operand); problem != Problem::None) return problem;
  Planner planner(digits_, moves);
  for (int rod = 0; rod < kRods; ++rod) {
    const int a = operand.DigitAt(place(rod));
    if (a > 0 && !planner.Add(rod, a, MoveKind::Digit)) {
      moves->clear();
      return Problem::TooLarge;
    }
  }
  return Problem::None;
}

Problem Board::PlanSubtract(const Decimal& operand, std::vector<Move>* moves) const {
  moves->clear();
  if (const Problem problem = Fits(operand); problem != Problem::None) return problem;
  if (Compare(operand, Value()) > 0) return Problem::BelowZero;
  Planner planner(digits_, moves);
  for (int rod = 0; rod < kRods; ++rod) {
    const int a = operand.DigitAt(place(rod));
    if (a > 0 && !planner.Subtract(rod, a, MoveKind::Digit)) {
      moves->clear();
      return Problem::BelowZero;
    }
  }
  return Problem::None;
}

bool Board::Apply(const Move& move) {
  if (move.rod < 0 || move.rod >= kRods || move.five < -1 || move.five > 1) return false;
  const int five = (this->five(move.rod) ? 1 : 0) + move.five;
  const int ones = this->ones(move.rod) + move.ones;
  if (five < 0 || five > 1 || ones < 0 || ones > 4) return false;
  digits_[static_cast<std::size_t>(move.rod)] = 5 * five + ones;
  return true;
}

}  // namespace suusiki::soroban
