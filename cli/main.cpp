// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "cli/calc_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = suusiki::cli::RunCalcTool(args, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
