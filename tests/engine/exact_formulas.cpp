// SPDX-License-Identifier: GPL-3.0-or-later
// The generator of random formulas for the comparison with exact arithmetic.
#include <cstdint>
#include <string>
#include <utility>

#include "tests/engine/exact_arithmetic.h"

namespace suusiki::exact {
namespace {

int Below(std::mt19937_64& random, int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

// 0 to 999 with up to three decimals; small numbers more often.
std::string Number(std::mt19937_64& random) {
  static constexpr int kLimits[] = {10, 10, 10, 100, 100, 100, 1000};
  std::string text = std::to_string(Below(random, kLimits[Below(random, 7)]));
  if (Below(random, 2) == 0) {
    text += '.';
    for (int places = 1 + Below(random, 3); places > 0; --places) text += static_cast<char>('0' + Below(random, 10));
  }
  return text;
}

// A plain group; with `calls` its operands may be calls and variables too.
std::string Group(std::mt19937_64& random, int depth, bool calls = false);

std::string Call(std::mt19937_64& random, int depth) {
  static constexpr const char* kNames[] = {"Abs", "Int", "Fix"};
  return std::string(kNames[Below(random, 3)]) + "(" + Group(random, depth + 1, true) + ")";
}

std::string Variable(std::mt19937_64& random) { return std::string(1, static_cast<char>('B' + Below(random, 5))); }

std::string Operand(std::mt19937_64& random, int depth, bool calls) {
  if (calls && Below(random, 4) == 0) {
    return depth < 3 && Below(random, 3) != 0 ? Call(random, depth) : Variable(random);
  }
  if (depth < 3 && Below(random, 3) == 0) return "(" + Group(random, depth + 1, calls) + ")";
  return Number(random);
}

// `text` with operators and operands added until it holds `operands`.
std::string Continued(std::mt19937_64& random, int depth, bool calls, std::string text, int used, int operands) {
  for (; used < operands; ++used) {
    // A computed value raised to a power is what signs used to get wrong.
    const bool value = text.back() == ')' || (text.back() >= 'B' && text.back() <= 'F');
    const char op = value && Below(random, 5) < 2 ? '^' : "+-*/^-"[Below(random, 6)];
    text += op;
    text += op == '^' ? std::string(1, static_cast<char>('0' + Below(random, 4))) : Operand(random, depth, calls);
  }
  return text;
}

std::string Group(std::mt19937_64& random, int depth, bool calls) {
  const int operands = depth == 0 ? 2 + Below(random, 3) : 1 + Below(random, 4);
  std::string text = Operand(random, depth, calls);
  return Continued(random, depth, calls, std::move(text), 1, operands);
}

// "-", now and then "--" or "---", before a bracket, a call or a variable,
// mostly raised to a power, then up to three operands more.
std::string LeadingMinus(std::mt19937_64& random) {
  std::string text(Below(random, 4) == 0 ? 2 + Below(random, 2) : 1, '-');
  const int pick = Below(random, 3);
  text += pick == 0 ? "(" + Group(random, 1, true) + ")" : pick == 1 ? Call(random, 0) : Variable(random);
  int used = 1;
  if (Below(random, 3) != 0) {
    text += "^" + std::to_string(1 + Below(random, 3));
    ++used;
  }
  const int operands = 1 + Below(random, 4);
  return Continued(random, 0, true, std::move(text), used, operands);
}

// Plain formulas, half of them after "0-": often negative values.
Definitions RandomDefinitions(std::mt19937_64& random) {
  Definitions definitions;
  for (std::string& definition : definitions) {
    definition = Below(random, 2) == 0 ? "0-" + Group(random, 2) : Group(random, 1);
  }
  return definitions;
}

int Between(std::mt19937_64& random, int low, int high) { return low + Below(random, high - low + 1); }

std::string MagnitudeGroup(std::mt19937_64& random, int depth);

// An operand of the magnitudes mode: a number, a bracket (now and then raised
// to a power from -3 to 3), a factor far from 1, or a difference of two equal
// large terms.
std::string MagnitudeOperand(std::mt19937_64& random, int depth) {
  const int pick = Below(random, 10);
  if (depth < 3 && pick < 3) {
    std::string group = "(" + MagnitudeGroup(random, depth + 1) + ")";
    if (Below(random, 4) == 0) group += "^" + std::to_string(Between(random, -3, 3));
    return group;
  }
  switch (pick) {
    case 5: return "10^-" + std::to_string(Between(random, 1, 99));
    case 6: {
      // Now and then 1e99 or more, or beyond the range of a double.
      return "10^" + std::to_string(Below(random, 10) == 0 ? Between(random, 90, 420) : Between(random, 1, 60));
    }
    case 7: return "Exp(0-" + std::to_string(Between(random, 1, 400)) + ")";
    case 8: return Number(random) + "/10^" + std::to_string(Between(random, 1, 99));
    case 9: {
      // Equal large terms that cancel, next to others: the order of the sums shows.
      const std::string large =
          (Below(random, 2) == 0 ? Number(random) + "*" : "") + "10^" + std::to_string(Between(random, 15, 25));
      return large + "-" + large;
    }
    default: return Number(random);
  }
}

// One to five operands (two to five at the top); a formula whose group may
// grow past the engine's 100 characters is drawn again.
std::string MagnitudeGroup(std::mt19937_64& random, int depth) {
  const int operands = depth == 0 ? 2 + Below(random, 4) : 1 + Below(random, 5);
  std::string text = MagnitudeOperand(random, depth);
  for (int used = 1; used < operands; ++used) {
    text += "+-+-*/"[Below(random, 6)];
    text += MagnitudeOperand(random, depth);
  }
  return text;
}

}  // namespace

Formula RandomFormula(std::mt19937_64& random, Mode mode) {
  for (;;) {
    Formula formula;
    switch (mode) {
      case Mode::Plain: formula.text = Group(random, 0); break;
      case Mode::Magnitudes: formula.text = MagnitudeGroup(random, 0); break;
      case Mode::LeadingMinus:
        formula.definitions = RandomDefinitions(random);
        formula.text = LeadingMinus(random);
        break;
    }
    if (formula.text.size() <= 120 &&
        (mode == Mode::Plain || Evaluate(formula.text, formula.definitions).outcome != Outcome::NotAFormula)) {
      return formula;
    }
  }
}

}  // namespace suusiki::exact
