// SPDX-License-Identifier: GPL-3.0-or-later
// The soroban itself: a row of rods, each with one upper bead worth five and
// four lower beads worth one, and a beam with a unit-point dot on every third
// rod. One dotted rod is the unit rod (the ones); the rods to its right hold the
// decimals.
//
// Additions and subtractions are planned as the beads move by the method taught
// in school: digit by digit from the highest place, each digit directly when
// the beads allow it, otherwise by the complement of 5 (+4 = +5 −1), of 10
// (+7 = +10 −3, the 10 being a carry of 1 to the next rod on the left) or both
// (+7 on 5 = +10 −5 +2). Carries and borrows are moves of their own on the rod
// to the left, by the same method, so they run on through 9s and 0s.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "soroban/decimal.h"

namespace suusiki::soroban {

inline constexpr int kRods = 27;

enum class MoveKind {
  Digit,   // a digit of the number being added or subtracted
  Carry,   // +1 on the rod to the left of a +10
  Borrow,  // −1 on the rod to the left of a −10
};

// The beads moved on one rod in one motion.
struct Move {
  int rod = 0;        // 0 is the leftmost rod
  int five = 0;       // +1: the upper bead comes to the beam; −1: it goes back; 0: it stays
  int ones = 0;       // lower beads brought to the beam (positive) or sent back (negative)
  std::string label;  // the method: "+3", "+5 −1", "+10 −3", "−10 +5 −2"
  MoveKind kind = MoveKind::Digit;

  bool operator==(const Move&) const = default;
};

class Board {
 public:
  // The unit rod at the start: 17 rods for the whole part, 10 for the decimals.
  static constexpr int kDefaultUnitRod = 16;

  // Whether `rod` has a unit-point dot on the beam: 1, 4, ..., 25.
  static bool IsDotted(int rod) { return rod >= 0 && rod < kRods && rod % 3 == 1; }

  int digit(int rod) const { return digits_[static_cast<std::size_t>(rod)]; }
  // Whether the upper bead of `rod` rests against the beam.
  bool five(int rod) const { return digit(rod) >= 5; }
  // How many lower beads of `rod` rest against the beam.
  int ones(int rod) const { return digit(rod) % 5; }

  int unitRod() const { return unitRod_; }
  // How many rods hold decimals: those right of the unit rod.
  int decimals() const { return kRods - 1 - unitRod_; }
  // The power of ten that `rod` stands for.
  int place(int rod) const { return unitRod_ - rod; }
  // "一の位", "十の位", "万の位", "小数第1位" for `rod` under the current unit.
  std::string PlaceName(int rod) const;

  // Makes the dotted rod `rod` the unit rod; the beads stay, so the value they
  // show changes. False, and nothing changes, when `rod` has no dot.
  bool MoveUnit(int rod);

  // ご破算: every bead away from the beam.
  void Clear() { digits_.fill(0); }

  // Whether `value` fits on the rods under the current unit rod.
  Problem Fits(const Decimal& value) const;
  // Sets `value` on the rods; when it does not fit, says why and changes nothing.
  Problem Set(const Decimal& value);
  // The value the beads show.
  Decimal Value() const;

  // A click on the upper bead of `rod`: to the beam or back.
  void ClickUpperBead(int rod);
  // A click on lower bead `bead` of `rod` (1 is the one next to the beam): one
  // resting against the beam goes back with the beads below it, one away from
  // the beam comes to it with the beads above it.
  void ClickLowerBead(int rod, int bead);

  // The moves that add or subtract `operand`, in order. When the operand does
  // not fit, or the sum would run past the leftmost rod (Problem::TooLarge), or the
  // difference would fall below zero (Problem::BelowZero), says why and plans nothing.
  Problem PlanAdd(const Decimal& operand, std::vector<Move>* moves) const;
  Problem PlanSubtract(const Decimal& operand, std::vector<Move>* moves) const;

  // Makes one move. False, changing nothing, when the beads can't move so.
  bool Apply(const Move& move);

 private:
  std::array<int, kRods> digits_{};
  int unitRod_ = kDefaultUnitRod;
};

}  // namespace suusiki::soroban
