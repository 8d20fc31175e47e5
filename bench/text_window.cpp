// SPDX-License-Identifier: GPL-3.0-or-later
// The second yardstick of bench/startup: the bare window with one line of
// Japanese text in the main window's font. Against the bare window it shows
// what the first text of any Qt window costs (fontconfig's configuration, the
// font database, a font and its glyphs); against suusiki, what our own start
// adds beyond that.
#include <QApplication>
#include <QLabel>

#include "ui/fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(suusiki::WindowFont(suusiki::kPGothic, 9));
  QLabel window(QStringLiteral("数式 1,234.5"));
  window.show();
  return QApplication::exec();
}
