// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/exact_arithmetic.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "engine/main_state.h"
#include "engine/number_text.h"
#include "tests/engine/exact_decimal.h"

namespace suusiki::exact {
namespace {

// The longest text of a value in a group: a sign, 15 digits, the point, an
// exponent of up to three digits and its marker, and a "+" that keeps the
// value apart from the number before it.
constexpr int kValueLength = 22;
// The engine ends the command when a group's text grows past this.
constexpr int kMaxGroupLength = 100;
constexpr std::size_t kMaxFormulaLength = 400;

// A formula read into its bracket levels. A chain is a number, a bracket or a
// call with the powers taken of it.
struct Chain {
  enum class Kind { Number, Group, Call };
  Kind kind = Kind::Number;
  Decimal number;     // a number's value; a call's value once it is worked out
  char function = 0;  // a call's: 'e' for Exp, 'a' for Abs, 'i' for Int, 'f' for Fix
  int level = -1;     // the level in a bracket's or a call's brackets
  std::vector<int> exponents;
};

struct Level {
  std::vector<Chain> chains;
  std::string operators;  // operators[i] stands between chains[i] and chains[i + 1]
};

struct CallAt {
  std::size_t position;  // where its name starts in the formula
  int level;             // the level whose chain it is
  std::size_t chain;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // False when the text is not a formula of the grammar.
  bool Parse() {
    for (; Peek() == '-'; ++at_) leadingMinus = !leadingMinus;
    return text_.size() <= kMaxFormulaLength && ParseLevel() == 0 && at_ == text_.size();
  }

  std::vector<Level> levels;
  std::vector<CallAt> calls;
  bool leadingMinus = false;  // the minuses at the start leave one

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  // The function whose name (in any letter case) and "(" start here, by its
  // first letter; 0 for none.
  char FunctionAt() const {
    if (at_ + 4 > text_.size() || text_[at_ + 3] != '(') return 0;
    std::string name;
    for (std::size_t i = at_; i < at_ + 3; ++i) name += static_cast<char>(std::tolower(text_[i]));
    for (const char* known : {"exp", "abs", "int", "fix"}) {
      if (name == known) return known[0];
    }
    return 0;
  }

  // The index of the level, or -1. A group's text, as its operations rewrite
  // it, never grows past its chains' weights and operators: a value replaces
  // two chains or more, or one whose powers it took.
  int ParseLevel() {
    const int index = static_cast<int>(levels.size());
    levels.emplace_back();
    int length = index == 0 && leadingMinus ? 1 : 0;
    for (;;) {
      Chain chain;
      int weight = 0;
      if (!ParseChain(index, chain, weight)) return -1;
      levels[index].chains.push_back(std::move(chain));
      length += weight;
      const char c = Peek();
      if (c != '+' && c != '-' && c != '*' && c != '/') break;
      levels[index].operators.push_back(c);
      ++length;
      ++at_;
    }
    return length <= kMaxGroupLength ? index : -1;
  }

  bool ParseChain(int index, Chain& chain, int& weight) {
    int typed = 0;  // the chain's text with a value for a bracket or a call
    if (Peek() == '(' || FunctionAt() != 0) {
      if (Peek() == '(') {
        chain.kind = Chain::Kind::Group;
      } else {
        chain.kind = Chain::Kind::Call;
        chain.function = FunctionAt();
        calls.push_back({at_, index, levels[index].chains.size()});
        at_ += 3;
      }
      ++at_;
      chain.level = ParseLevel();
      if (chain.level < 0 || Peek() != ')') return false;
      ++at_;
      typed = kValueLength;
    } else if (!ParseNumber(chain.number, typed)) {
      return false;
    }
    int later = 0;  // the exponents after the first
    while (Peek() == '^') {
      const std::size_t start = at_++;
      const bool minus = Peek() == '-';
      if (minus) ++at_;
      int k = 0;
      int digits = 0;
      for (; Peek() >= '0' && Peek() <= '9' && digits <= 3; ++at_, ++digits) k = 10 * k + (Peek() - '0');
      if (digits == 0 || digits > 3) return false;
      later += chain.exponents.empty() ? 0 : static_cast<int>(at_ - start);
      typed += static_cast<int>(at_ - start);
      chain.exponents.push_back(minus ? -k : k);
    }
    // With powers, the value and the exponents still to take; a lone number
    // stays as typed, and one merged with others shares their value's length.
    if (!chain.exponents.empty()) {
      weight = std::max(typed, kValueLength + later);
    } else {
      weight = chain.kind == Chain::Kind::Number ? std::max(typed, kValueLength / 2) : kValueLength;
    }
    return true;
  }

  bool ParseNumber(Decimal& number, int& typed) {
    const std::size_t start = at_;
    std::string digits;
    bool point = false;
    while ((Peek() >= '0' && Peek() <= '9') || (Peek() == '.' && !point)) {
      if (Peek() == '.') {
        point = true;
      } else {
        digits.push_back(Peek());
        if (point) ++number.scale;
      }
      ++at_;
    }
    typed = static_cast<int>(at_ - start);
    if (digits.empty() || typed > 20) return false;
    number.digits = Natural::FromDigits(digits);
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// The calculate command's order: the calls from the rightmost (an inner call
// lies to the right of its outer one), then the groups from the innermost
// out, which is the order of their closing brackets; in each group every "^"
// from the left, then every "/", every "*", every "+" and every "-".
class Evaluator {
 public:
  Evaluator(std::vector<Level>& levels, bool minus) : levels_(levels), minus_(minus) {}

  Decimal Formula(std::vector<CallAt> calls) {
    std::sort(calls.begin(), calls.end(), [](const CallAt& a, const CallAt& b) { return a.position > b.position; });
    for (const CallAt& call : calls) {
      Chain& chain = levels_[static_cast<std::size_t>(call.level)].chains[call.chain];
      const Decimal argument = Reduce(chain.level);
      chain.number = chain.function == 'e'   ? arithmetic.ExpOf(argument)
                     : chain.function == 'a' ? arithmetic.AbsOf(argument)
                                             : arithmetic.WholeOf(argument, chain.function == 'f');
    }
    return Reduce(0);
  }

  Arithmetic arithmetic;
  bool negatedNegative = false;

 private:
  // A value of a group as its text holds it: the operator before it ('\0'
  // for the first) and the value with its own sign.
  struct Item {
    char before;
    Decimal value;
  };

  Decimal Reduce(int index) {
    const Level& level = levels_[static_cast<std::size_t>(index)];
    std::vector<Item> items;
    items.reserve(level.chains.size());
    for (std::size_t i = 0; i < level.chains.size(); ++i) {
      const Chain& chain = level.chains[i];
      items.push_back({i == 0 ? '\0' : level.operators[i - 1],
                       chain.kind == Chain::Kind::Group ? Reduce(chain.level) : chain.number});
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (int k : level.chains[i].exponents) items[i].value = arithmetic.Power(items[i].value, k);
    }
    // The minus at the start of the formula, once the first power is taken.
    Decimal& first = items.front().value;
    if (index == 0 && minus_ && !first.digits.IsZero()) {
      negatedNegative = first.negative;
      first.negative = !first.negative;
    }
    Combine(items, '/');
    Combine(items, '*');
    Combine(items, '+');
    Decimal value = items.front().value;
    for (std::size_t i = 1; i < items.size(); ++i) value = arithmetic.Sum(value, items[i].value, true);
    return value;
  }

  // Every `op` from the left. Its left operand takes a "-" before it (a
  // subtraction is the addition of a negative number), and the result then
  // stands after a "-" when it is negative, after a "+" otherwise: so
  // a-b+c is a+(-b+c), and a "+" that follows is taken with a once more
  // when -b+c is not negative.
  void Combine(std::vector<Item>& items, char op) {
    for (std::size_t i = 1; i < items.size();) {
      if (items[i].before != op) {
        ++i;
        continue;
      }
      Item& left = items[i - 1];
      const bool takesMinus = left.before == '-';
      Decimal operand = left.value;
      if (takesMinus && !operand.digits.IsZero()) operand.negative = !operand.negative;
      Decimal value = op == '/'   ? arithmetic.Quotient(operand, items[i].value)
                      : op == '*' ? arithmetic.Product(operand, items[i].value)
                                  : arithmetic.Sum(operand, items[i].value, false);
      if (takesMinus) {
        left.before = value.negative ? '-' : '+';
        value.negative = false;
      }
      left.value = std::move(value);
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
      i = 1;
    }
  }

  std::vector<Level>& levels_;
  bool minus_;
};

// A letter that the engine takes for a variable: one before "+", "-", "*",
// "/", ")", "^", a blank or the end.
bool Reference(std::string_view text, std::size_t i) {
  const char c = text[i];
  if ((c < 'A' || c > 'Z') && (c < 'a' || c > 'z')) return false;
  return i + 1 == text.size() || std::string_view("+-*/)^ ").find(text[i + 1]) != std::string_view::npos;
}

// The formula with each reference to B to F replaced by the definition in
// brackets, as the engine expands it; nothing when it refers to another
// letter or a definition refers to one, or when a definition holds anything
// but ASCII characters of formulas.
std::optional<std::string> Expanded(std::string_view formula, const Definitions& definitions) {
  for (const std::string& definition : definitions) {
    for (char c : definition) {
      if (c < ' ' || c > '~') return std::nullopt;
    }
  }
  std::string text;
  for (std::size_t i = 0; i < formula.size(); ++i) {
    if (!Reference(formula, i)) {
      text += formula[i];
      continue;
    }
    const int letter = std::toupper(formula[i]) - 'B';
    if (letter < 0 || letter >= static_cast<int>(definitions.size())) return std::nullopt;
    const std::string& definition = definitions[static_cast<std::size_t>(letter)];
    text += "(" + (definition.empty() ? std::string("0") : definition) + ")";
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Reference(text, i)) return std::nullopt;
  }
  return text;
}

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::Value: break;
    case Outcome::DivisionByZero: return "division by zero";
    case Outcome::TooLarge: return "1e99 or more";
    case Outcome::Overflow: return "beyond the double range";
    case Outcome::OutOfRange: return "out of range";
    case Outcome::NotAFormula: return "not a formula";
  }
  return "";
}

}  // namespace

ExactValue Evaluate(std::string_view formula, const Definitions& definitions) {
  const std::optional<std::string> expanded = Expanded(formula, definitions);
  Parser parser(expanded ? *expanded : std::string_view());
  ExactValue exact;
  if (!expanded || !parser.Parse()) {
    exact.outcome = Outcome::NotAFormula;
    return exact;
  }
  Evaluator evaluator(parser.levels, parser.leadingMinus);
  try {
    exact.decimal = ToText(evaluator.Formula(parser.calls));
  } catch (const Failed& failed) {
    exact.outcome = failed.outcome;
  }
  exact.raisesNegative = evaluator.arithmetic.raisedNegative;
  exact.uncertain = evaluator.arithmetic.uncertain;
  exact.negatesNegative = evaluator.negatedNegative;
  return exact;
}

Effects Calculate(MainState& state, std::string_view formula, const Definitions& definitions) {
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    if (!definitions[i].empty()) state.CommitEntry(static_cast<int>(i) + 1, FromUtf8(definitions[i]));
  }
  state.TypeInFormulaBox(FromUtf8(formula));
  return state.Calculate();
}

bool Compared(const ExactValue& exact) {
  return exact.outcome != Outcome::OutOfRange && exact.outcome != Outcome::NotAFormula && !exact.uncertain;
}

bool Agrees(const ExactValue& exact, const MainState& state, const Effects& effects) {
  const Text& answer = state.answerLine();
  switch (exact.outcome) {
    case Outcome::Value: {
      const double expected = std::strtod(exact.decimal.c_str(), nullptr);
      const std::optional<double> value = ReadNumber(state.resultText());
      return !effects.failure && value && std::fabs(*value - expected) <= 1e-9 * std::fabs(expected) &&
             answer == AnswerText(*value);
    }
    case Outcome::DivisionByZero:
      return effects.failure == Failure::DivisionByZero && effects.beep && answer == U"文法エラー！0で除算";
    case Outcome::TooLarge: return effects.failure == Failure::Syntax && effects.beep && answer == U"文法エラー！";
    case Outcome::Overflow:
      return effects.failure == Failure::Overflow && effects.beep && answer == U"文法エラー！桁あふれ";
    case Outcome::OutOfRange:
    case Outcome::NotAFormula: break;
  }
  return false;
}

std::string Difference(std::string_view formula, const Definitions& definitions, const ExactValue& exact,
                       const MainState& state) {
  std::string text(formula);
  for (std::size_t i = 0; i < definitions.size(); ++i) {
    if (!definitions[i].empty()) text += "  " + std::string(1, static_cast<char>('B' + i)) + "=" + definitions[i];
  }
  text += "  exact: ";
  text += exact.outcome == Outcome::Value ? exact.decimal : OutcomeText(exact.outcome);
  text += "  answer line: " + ToUtf8(state.answerLine()) + "  result: " + ToUtf8(state.resultText());
  return text;
}

Tally CompareWithCalculate(std::uint64_t seed, int count, Mode mode) {
  std::mt19937_64 random(seed);
  Tally tally;
  for (int i = 0; i < count; ++i) {
    const Formula formula = RandomFormula(random, mode);
    const ExactValue exact = Evaluate(formula.text, formula.definitions);
    MainState state;
    if (exact.outcome == Outcome::NotAFormula) {
      tally.differences.push_back(Difference(formula.text, formula.definitions, exact, state));
      continue;
    }
    if (!Compared(exact)) {
      ++(exact.outcome == Outcome::OutOfRange ? tally.outOfRange : tally.uncertain);
      continue;
    }
    const Effects effects = Calculate(state, formula.text, formula.definitions);
    tally.negativePowers += exact.raisesNegative ? 1 : 0;
    tally.negatedNegatives += exact.negatesNegative ? 1 : 0;
    if (!Agrees(exact, state, effects)) {
      tally.differences.push_back(Difference(formula.text, formula.definitions, exact, state));
      continue;
    }
    switch (exact.outcome) {
      case Outcome::Value: {
        ++tally.values;
        const double value = std::fabs(std::strtod(exact.decimal.c_str(), nullptr));
        tally.tinyValues += value > 0 && value < 1e-9 ? 1 : 0;
        break;
      }
      case Outcome::DivisionByZero: ++tally.divisionsByZero; break;
      case Outcome::TooLarge: ++tally.tooLarge; break;
      case Outcome::Overflow: ++tally.overflows; break;
      case Outcome::OutOfRange:
      case Outcome::NotAFormula: break;
    }
  }
  return tally;
}

}  // namespace suusiki::exact
