// SPDX-License-Identifier: GPL-3.0-or-later
// The window ソロバン: the value the beads show and the number being typed
// above the board, the move being shown, a message line, the button ご破算 and
// the speed of the moves. Keys, clicks and the clipboard go to the Calculator;
// a timer makes its moves one at a time, and any key makes the rest at once
// before it does what it always does.
#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include "soroban/calculator.h"

class QComboBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace suusiki::soroban {

class BoardView;

class SorobanWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SorobanWindow(QWidget* parent = nullptr);

  const Calculator& calculator() const { return calculator_; }
  BoardView* board() const { return board_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The value, entry, move and message lines.
  void BuildDisplays();
  // The board, its clicks bound to the calculator.
  void BuildBoard();
  // The button, the speed box and the hint, in a row.
  QHBoxLayout* BuildControls();
  // The lines above the board, the board and the row of controls.
  void LayOut(QHBoxLayout* controls);
  // The calculator's keys; false for a key that is not one of them.
  bool HandleKey(QKeyEvent* event);
  // Shows the calculator's state, and starts or stops the moves.
  void Refresh();
  void Tick();
  void ColourMessage();

  Calculator calculator_;
  BoardView* board_ = nullptr;
  QLabel* value_ = nullptr;
  QLabel* entry_ = nullptr;
  QLabel* move_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* clear_ = nullptr;
  QComboBox* speed_ = nullptr;
  QTimer timer_;
  QElapsedTimer clock_;  // since the move being shown was made
};

}  // namespace suusiki::soroban
