// SPDX-License-Identifier: GPL-3.0-or-later
// The program soroban: an abacus that calculates and shows how its beads move.
#include <QApplication>

#include "data/app_icon.h"
#include "soroban/soroban_window.h"
#include "version.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("soroban"));
  QApplication::setApplicationVersion(QString::fromLatin1(suusiki::kVersion));
  // It belongs to SUUSIKI's desktop entry and shares its picture.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(suusiki::kApplicationId));
  QApplication::setWindowIcon(suusiki::ApplicationIcon());
  suusiki::soroban::SorobanWindow window;
  window.show();
  return QApplication::exec();
}
