// SPDX-License-Identifier: GPL-3.0-or-later
// What the soroban window does with the keys, the clipboard and the mouse, and
// the moves it shows one at a time. The window draws this state and forwards
// input; every decision is taken here.
//
// Digits and "." type a number. Enter sets it on the rods, or, after "+" or
// "-", adds or subtracts it move by move; after "*" or "/" the product or the
// quotient is set at once. An operator may come before or after the number.
// A number that can't be used leaves the board as it was and says why in
// message(). Every key and click first finishes the moves still to run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "soroban/board.h"

namespace suusiki::soroban {

enum class Speed { Slow, Normal, Fast };

// How long each move is shown, in milliseconds.
int MoveMilliseconds(Speed speed);

class Calculator {
 public:
  // The longest number that can be typed, point included.
  static constexpr std::size_t kMaxEntry = kRods + 1;

  const Board& board() const { return board_; }
  // The value the beads show, with grouping commas: "1,234.5".
  std::string ValueText() const { return board_.Value().GroupedText(); }
  // The value for the clipboard, without commas: "1234.5".
  std::string CopyText() const { return board_.Value().Text(); }
  // The operator and the number being typed: "＋ 39", "39", "×".
  std::string EntryText() const;
  // Why the last key did nothing, or what was cut off; empty when all went well.
  const std::string& message() const { return message_; }

  // The moves: the one being shown (already made on the board), or none.
  bool animating() const { return !moves_.empty(); }
  const Move* currentMove() const { return shown_ > 0 ? &moves_[shown_ - 1] : nullptr; }
  // "＋39　十の位　+5 −1（繰り上がり）" for the move being shown, else empty.
  std::string MoveText() const;
  // Makes the next move and shows it; false, showing none, when all are made.
  bool Advance();
  // Makes every move still to run at once.
  void Finish();

  // Keys.
  void Type(char c);      // '0' to '9' and '.'
  void Operator(char c);  // '+', '-', '*' or '/'
  void Backspace();       // the last character typed, then the operator
  void ClearEntry();      // the number typed and the operator
  void Enter();
  void Clear();  // ご破算: the board, the number typed, the message
  // Sets the number in `text` (UTF-8, as the clipboard holds it) on the board.
  void Paste(std::string_view text);

  // The mouse.
  void ClickUpperBead(int rod);
  void ClickLowerBead(int rod, int bead);
  void ClickDot(int rod);

 private:
  // Sets `value`, or says why not; true when set.
  bool SetValue(const Decimal& value);
  void Say(Problem problem);

  Board board_;
  std::string entry_;
  char operator_ = 0;
  std::string message_;
  std::string operation_;    // "＋39" while its moves run
  std::vector<Move> moves_;  // of the running addition or subtraction
  std::size_t shown_ = 0;    // how many of them are made
};

}  // namespace suusiki::soroban
