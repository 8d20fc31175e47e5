// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of bench/startup: a bare Qt window, an empty QWidget shown by
// the smallest program Qt allows.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.show();
  return QApplication::exec();
}
