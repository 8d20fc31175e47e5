// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command against exact decimal arithmetic on many random
// formulas (the unit tests run a thousand of each mode):
//
//   build/bench/suusiki_exact_check [plain|magnitudes|minus|all [COUNT [SEED]]]
//
// "plain" formulas hold numbers of 0 to 999 and powers 0 to 3; "magnitudes"
// ones mix in 10^-k, 10^k, Exp(0-k) and a/10^k, reaching from about 1e-300 to
// 1e99 and beyond; "minus" ones start with one to three minuses before a
// bracket, a call of Abs, Int or Fix or a variable (B to F, defined as plain
// formulas). All three modes by default, 20,000 formulas each, seed 1.
// Prints what was compared and every difference; exits with 1 when there is one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/engine/exact_arithmetic.h"

namespace {

using suusiki::exact::Mode;

constexpr struct {
  const char* name;
  Mode mode;
} kModes[] = {{"plain", Mode::Plain}, {"magnitudes", Mode::Magnitudes}, {"minus", Mode::LeadingMinus}};

bool Check(const char* name, Mode mode, int count, unsigned long long seed) {
  const suusiki::exact::Tally tally = suusiki::exact::CompareWithCalculate(seed, count, mode);
  for (const std::string& difference : tally.differences) std::printf("differs: %s\n", difference.c_str());
  std::printf(
      "%s: %d formulas (seed %llu): %d values agree (%d of them below 1e-9), %d divisions by zero,\n"
      "%d values of 1e99 or more and %d beyond the double range agree; %d skipped as out of range and\n"
      "%d as uncertain; %d of those compared raise a negative value to a power, %d start with a minus\n"
      "before a negative power. %zu differences.\n",
      name, count, seed, tally.values, tally.tinyValues, tally.divisionsByZero, tally.tooLarge, tally.overflows,
      tally.outOfRange, tally.uncertain, tally.negativePowers, tally.negatedNegatives, tally.differences.size());
  return tally.differences.empty();
}

}  // namespace

int main(int argc, char** argv) {
  const char* modes = argc > 1 ? argv[1] : "all";
  const int count = argc > 2 ? std::atoi(argv[2]) : 20000;
  const unsigned long long seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
  const bool all = std::strcmp(modes, "all") == 0;
  bool known = all;
  bool agree = true;
  for (const auto& m : kModes) {
    if (!all && std::strcmp(modes, m.name) != 0) continue;
    known = true;
    agree = Check(m.name, m.mode, count, seed) && agree;
  }
  if (!known) {
    std::fprintf(stderr, "usage: %s [plain|magnitudes|minus|all [COUNT [SEED]]]\n", argv[0]);
    return 2;
  }
  return agree ? 0 : 1;
}
