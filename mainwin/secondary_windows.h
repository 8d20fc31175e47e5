// SPDX-License-Identifier: GPL-3.0-or-later
// The program's other windows: each exists at most once, is made when it is
// asked for and isn't open, and is otherwise brought to the front.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

namespace suusiki {

class Beeper;

enum class SecondaryWindow {
  ArithmeticSeries,  // TOSA
  GeometricSeries,   // TOHI
  NewtonHelp,        // READ1
  ProgramHelp,       // READ2
  Version,           // VER
};

// The window's name (its objectName): "TOSA", "TOHI", "READ1", "READ2", "VER".
QString WindowName(SecondaryWindow window);

class SecondaryWindows {
 public:
  // `showMainWindow` brings the main window back (TOSA's "戻る").
  SecondaryWindows(Beeper& beeper, std::function<void()> showMainWindow);
  // Closes and deletes the windows still open.
  ~SecondaryWindows();
  SecondaryWindows(const SecondaryWindows&) = delete;
  SecondaryWindows& operator=(const SecondaryWindows&) = delete;

  // Makes the window when it isn't open, then brings it to the front.
  QWidget* Show(SecondaryWindow window);

  // True for one of these windows: coming back from one of them to the main
  // window restores the table.
  static bool IsOne(const QWidget* window);

 private:
  QWidget* Make(SecondaryWindow window) const;

  Beeper& beeper_;
  std::function<void()> showMainWindow_;
  std::array<QPointer<QWidget>, 5> windows_;
};

}  // namespace suusiki
