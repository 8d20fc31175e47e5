// SPDX-License-Identifier: GPL-3.0-or-later
// The program soroban: an abacus that calculates and shows how its beads move.
#include <QApplication>

#include "soroban/soroban_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("soroban"));
  QApplication::setWindowIcon(suusiki::soroban::SorobanIcon());
  suusiki::soroban::SorobanWindow window;
  window.show();
  return QApplication::exec();
}
