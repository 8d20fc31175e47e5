// SPDX-License-Identifier: GPL-3.0-or-later
#include "soroban/calculator.h"

#include <cstdint>

namespace suusiki::soroban {
namespace {

// At most `limit` characters of `text`, on one line, with "…" when cut.
std::string Quote(std::string_view text, std::size_t limit = 20) {
  std::string quoted;
  std::size_t characters = 0;
  for (const char c : text) {
    const auto byte = static_cast<std::uint8_t>(c);
    if ((byte & 0xC0) != 0x80 && characters++ == limit) return quoted + "…";
    quoted += byte < 0x20 ? ' ' : c;
  }
  return quoted;
}

const char* Symbol(char op) {
  switch (op) {
    case '+': return "＋";
    case '-': return "－";
    case '*': return "×";
    case '/': return "÷";
    default: return "";
  }
}

}  // namespace

int MoveMilliseconds(Speed speed) {
  switch (speed) {
    case Speed::Slow: return 1200;
    case Speed::Fast: return 200;
    case Speed::Normal: break;
  }
  return 600;
}

std::string Calculator::EntryText() const {
  std::string text = Symbol(operator_);
  if (operator_ != 0 && !entry_.empty()) text += ' ';
  return text + entry_;
}

std::string Calculator::MoveText() const {
  const Move* move = currentMove();
  if (move == nullptr) return {};
  std::string text = operation_ + "　" + board_.PlaceName(move->rod) + "　" + move->label;
  if (move->kind == MoveKind::Carry) text += "（繰り上がり）";
  if (move->kind == MoveKind::Borrow) text += "（繰り下がり）";
  return text;
}

bool Calculator::Advance() {
  if (shown_ < moves_.size()) {
    board_.Apply(moves_[shown_++]);
    return true;
  }
  moves_.clear();
  shown_ = 0;
  operation_.clear();
  return false;
}

void Calculator::Finish() {
  while (Advance()) {}
}

void Calculator::Type(char c) {
  Finish();
  if ((c < '0' || c > '9') && c != '.') return;
  if (c == '.' && entry_.find('.') != std::string::npos) return;
  if (entry_.size() >= kMaxEntry) {
    message_ = "これ以上は打てません。";
    return;
  }
  entry_ += c;
  message_.clear();
}

void Calculator::Operator(char c) {
  Finish();
  if (c != '+' && c != '-' && c != '*' && c != '/') return;
  operator_ = c;
  message_.clear();
}

void Calculator::Backspace() {
  Finish();
  if (!entry_.empty()) {
    entry_.pop_back();
  } else {
    operator_ = 0;
  }
  message_.clear();
}

void Calculator::ClearEntry() {
  Finish();
  entry_.clear();
  operator_ = 0;
  message_.clear();
}

void Calculator::Clear() {
  ClearEntry();
  board_.Clear();
}

void Calculator::Enter() {
  Finish();
  message_.clear();
  if (entry_.empty()) {
    if (operator_ != 0) message_ = "数を打ってから Enter を押してください。";
    return;
  }
  const ReadResult read = ReadDecimal(entry_);
  if (read.problem != Problem::None) {
    Say(read.problem);
    return;
  }
  const Decimal& operand = read.value;
  switch (operator_) {
    case '+':
    case '-': {
      const Problem problem =
          operator_ == '+' ? board_.PlanAdd(operand, &moves_) : board_.PlanSubtract(operand, &moves_);
      if (problem == Problem::BelowZero) {
        message_ = "引くと0より小さくなるので、引けません。";
        return;
      }
      if (problem != Problem::None) {
        Say(problem);
        return;
      }
      operation_ = Symbol(operator_) + operand.Text();
      break;
    }
    case '*': {
      bool exact = true;
      const Decimal product = Cut(Multiply(board_.Value(), operand), board_.decimals(), &exact);
      if (board_.Fits(product) != Problem::None) {
        Say(Problem::TooLarge);
        return;
      }
      board_.Set(product);
      if (!exact) message_ = "小数第" + std::to_string(board_.decimals()) + "位より先を切り捨てました。";
      break;
    }
    case '/': {
      if (operand.IsZero()) {
        Say(Problem::DivisionByZero);
        return;
      }
      bool exact = true;
      const Decimal quotient = Divide(board_.Value(), operand, board_.decimals(), &exact);
      if (board_.Fits(quotient) != Problem::None) {
        Say(Problem::TooLarge);
        return;
      }
      board_.Set(quotient);
      if (!exact) {
        message_ = "割り切れないので、小数第" + std::to_string(board_.decimals()) + "位より先を切り捨てました。";
      }
      break;
    }
    default:
      if (!SetValue(operand)) return;
      break;
  }
  entry_.clear();
  operator_ = 0;
}

void Calculator::Paste(std::string_view text) {
  Finish();
  message_.clear();
  const ReadResult read = ReadDecimal(text);
  if (read.problem == Problem::NotANumber) {
    message_ = "貼り付けた「" + Quote(text) + "」は数ではありません。";
    return;
  }
  if (read.problem != Problem::None) {
    Say(read.problem);
    return;
  }
  SetValue(read.value);
}

void Calculator::ClickUpperBead(int rod) {
  Finish();
  board_.ClickUpperBead(rod);
  message_.clear();
}

void Calculator::ClickLowerBead(int rod, int bead) {
  Finish();
  board_.ClickLowerBead(rod, bead);
  message_.clear();
}

void Calculator::ClickDot(int rod) {
  Finish();
  board_.MoveUnit(rod);
  message_.clear();
}

bool Calculator::SetValue(const Decimal& value) {
  const Problem problem = board_.Set(value);
  Say(problem);
  return problem == Problem::None;
}

void Calculator::Say(Problem problem) {
  const bool leftmostUnit = board_.unitRod() == 1;
  const bool rightmostUnit = board_.unitRod() == kRods - 2;
  switch (problem) {
    case Problem::None: message_.clear(); break;
    case Problem::NotANumber: message_ = "数になっていません。"; break;
    case Problem::BelowZero: message_ = "0より小さい数はソロバンに置けません。"; break;
    case Problem::TooManyDigits:
      message_ = "整数は" + std::to_string(board_.unitRod() + 1) + "桁までしか置けません。";
      if (!rightmostUnit) message_ += "一の位を右の定位点へ移すと増えます。";
      break;
    case Problem::TooManyDecimals:
      message_ = "小数は" + std::to_string(board_.decimals()) + "桁までしか置けません。";
      if (!leftmostUnit) message_ += "一の位を左の定位点へ移すと増えます。";
      break;
    case Problem::TooLarge: message_ = "答えが大きすぎて、ソロバンに置けません。"; break;
    case Problem::DivisionByZero: message_ = "0で割ることはできません。"; break;
  }
}

}  // namespace suusiki::soroban
