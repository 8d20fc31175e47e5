// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/secondary_windows.h"

#include "help/help_windows.h"
#include "series/arithmetic_window.h"
#include "series/geometric_window.h"
#include "ui/platform.h"

namespace suusiki {
namespace {

constexpr SecondaryWindow kAll[] = {SecondaryWindow::ArithmeticSeries, SecondaryWindow::GeometricSeries,
                                    SecondaryWindow::NewtonHelp, SecondaryWindow::ProgramHelp,
                                    SecondaryWindow::Version};

}  // namespace

QString WindowName(SecondaryWindow window) {
  switch (window) {
    case SecondaryWindow::ArithmeticSeries: return QStringLiteral("TOSA");
    case SecondaryWindow::GeometricSeries: return QStringLiteral("TOHI");
    case SecondaryWindow::NewtonHelp: return QStringLiteral("READ1");
    case SecondaryWindow::ProgramHelp: return QStringLiteral("READ2");
    case SecondaryWindow::Version: return QStringLiteral("VER");
  }
  return {};
}

SecondaryWindows::SecondaryWindows(Beeper& beeper, std::function<void()> showMainWindow)
    : beeper_(beeper), showMainWindow_(std::move(showMainWindow)) {}

SecondaryWindows::~SecondaryWindows() {
  for (QPointer<QWidget>& window : windows_) delete window.data();
}

QWidget* SecondaryWindows::Show(SecondaryWindow which) {
  QPointer<QWidget>& window = windows_.at(static_cast<std::size_t>(which));
  if (window.isNull()) window = Make(which);
  BringToFront(window);
  return window;
}

QWidget* SecondaryWindows::Make(SecondaryWindow window) const {
  // Windows of their own, not owned by the main window: each is activated by
  // itself, and coming back from it is what restores the table.
  switch (window) {
    case SecondaryWindow::ArithmeticSeries: return new ArithmeticSeriesWindow(beeper_, showMainWindow_);
    case SecondaryWindow::GeometricSeries: return new GeometricSeriesWindow(beeper_);
    case SecondaryWindow::NewtonHelp: return new NewtonHelpWindow();
    case SecondaryWindow::ProgramHelp: return new ProgramHelpWindow();
    case SecondaryWindow::Version: return new VersionWindow();
  }
  return nullptr;
}

bool SecondaryWindows::IsOne(const QWidget* window) {
  if (window == nullptr) return false;
  for (SecondaryWindow w : kAll) {
    if (window->objectName() == WindowName(w)) return true;
  }
  return false;
}

}  // namespace suusiki
