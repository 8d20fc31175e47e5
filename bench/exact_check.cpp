// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command against exact decimal arithmetic on many random
// formulas (the unit tests run a few hundred of them):
//
//   build/bench/suusiki_exact_check [COUNT [SEED]]
//
// Prints what was compared and every difference; exits with 1 when there is one.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/engine/exact_arithmetic.h"

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  const suusiki::exact::Tally tally = suusiki::exact::CompareWithCalculate(seed, count);
  for (const std::string& difference : tally.differences) std::printf("differs: %s\n", difference.c_str());
  std::printf(
      "%d formulas (seed %llu): %d values agree, %d divisions by zero and %d zeros divided by zero agree,\n"
      "%d skipped for a value of 1e15 or more; %d of those compared raise a negative value to a power.\n"
      "%zu differences.\n",
      count, seed, tally.values, tally.divisionsByZero, tally.zeroByZero, tally.outOfRange, tally.negativePowers,
      tally.differences.size());
  return tally.differences.empty() ? 0 : 1;
}
