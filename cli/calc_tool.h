// SPDX-License-Identifier: GPL-3.0-or-later
// suusiki-calc: runs the calculate command of the main window without a window,
// for scripts, batch work and tests.
//
//   suusiki-calc [--table FILE] [--def L=TEXT]... [--current L] [--autosave FILE]
//                [--solve START] [--history] [FORMULA...]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace suusiki::cli {

// Runs the tool with `args` (without the program name), reading formulas from
// `in` when none are given, printing answer lines to `out` and complaints to
// `err`. With --solve, the Newton command runs after the formulas, from the
// start point given: each of its message boxes prints a line "[Check] message"
// when shown, and the answer line is printed at the end. With --history the
// run's history of calculations (see history/history.h) is printed last, as
// tab-separated lines under a header. With --autosave the
// tool holds the file's lock for its whole run. Returns the exit status: 0; 1
// when an auto-save could not be written; 2 for bad arguments, an unreadable
// table file, or an auto-save file that a running window or another run holds.
int RunCalcTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace suusiki::cli
