// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <iostream>

#include "cli/calc_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // Standard output is buffered: the tool flushes it itself before a read of
  // standard input that may wait, so the stream need not flush before every
  // read. A terminal shows each answer line as soon as it is written.
  std::cin.tie(nullptr);
  if (isatty(STDOUT_FILENO) != 0) std::cout << std::unitbuf;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = suusiki::cli::RunCalcTool(args, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
