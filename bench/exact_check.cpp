// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command against exact decimal arithmetic on many random
// formulas (the unit tests run a thousand of each mode):
//
//   build/bench/suusiki_exact_check [plain|magnitudes|both [COUNT [SEED]]]
//
// "plain" formulas hold numbers of 0 to 999 and powers 0 to 3; "magnitudes"
// ones mix in 10^-k, 10^k, Exp(0-k) and a/10^k, reaching from about 1e-300 to
// 1e99 and beyond. Both modes by default, 20,000 formulas each, seed 1.
// Prints what was compared and every difference; exits with 1 when there is one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/engine/exact_arithmetic.h"

namespace {

using suusiki::exact::Mode;

bool Check(Mode mode, int count, unsigned long long seed) {
  const suusiki::exact::Tally tally = suusiki::exact::CompareWithCalculate(seed, count, mode);
  for (const std::string& difference : tally.differences) std::printf("differs: %s\n", difference.c_str());
  std::printf(
      "%s: %d formulas (seed %llu): %d values agree (%d of them below 1e-9), %d divisions by zero,\n"
      "%d values of 1e99 or more and %d beyond the double range agree; %d skipped as out of range and\n"
      "%d as uncertain; %d of those compared raise a negative value to a power. %zu differences.\n",
      mode == Mode::kPlain ? "plain" : "magnitudes", count, seed, tally.values, tally.tinyValues, tally.divisionsByZero,
      tally.tooLarge, tally.overflows, tally.outOfRange, tally.uncertain, tally.negativePowers,
      tally.differences.size());
  return tally.differences.empty();
}

}  // namespace

int main(int argc, char** argv) {
  const char* modes = argc > 1 ? argv[1] : "both";
  const int count = argc > 2 ? std::atoi(argv[2]) : 20000;
  const unsigned long long seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
  const bool both = std::strcmp(modes, "both") == 0;
  if (!both && std::strcmp(modes, "plain") != 0 && std::strcmp(modes, "magnitudes") != 0) {
    std::fprintf(stderr, "usage: %s [plain|magnitudes|both [COUNT [SEED]]]\n", argv[0]);
    return 2;
  }
  bool agree = true;
  if (both || std::strcmp(modes, "plain") == 0) agree = Check(Mode::kPlain, count, seed) && agree;
  if (both || std::strcmp(modes, "magnitudes") == 0) agree = Check(Mode::kMagnitudes, count, seed) && agree;
  return agree ? 0 : 1;
}
