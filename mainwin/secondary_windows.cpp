// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/secondary_windows.h"

#include "help/help_windows.h"
#include "series/arithmetic_window.h"
#include "series/geometric_window.h"
#include "ui/platform.h"

namespace suusiki {
namespace {

// The windows coming back from which restores the table.
constexpr SecondaryWindow kRestoring[] = {SecondaryWindow::ArithmeticSeries, SecondaryWindow::GeometricSeries,
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
    case SecondaryWindow::Graph: return QStringLiteral("GRAPH");
    case SecondaryWindow::History: return QStringLiteral("HISTORY");
  }
  return {};
}

SecondaryWindows::SecondaryWindows(const Platform& platform, std::function<void()> showMainWindow, GraphSource graph,
                                   history::HistorySource historySource)
    : platform_(platform),
      showMainWindow_(std::move(showMainWindow)),
      graph_(std::move(graph)),
      history_(std::move(historySource)) {}

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
    case SecondaryWindow::ArithmeticSeries: return new ArithmeticSeriesWindow(*platform_.beeper, showMainWindow_);
    case SecondaryWindow::GeometricSeries: return new GeometricSeriesWindow(*platform_.beeper);
    case SecondaryWindow::NewtonHelp: return new NewtonHelpWindow();
    case SecondaryWindow::ProgramHelp: return new ProgramHelpWindow();
    case SecondaryWindow::Version: return new VersionWindow();
    case SecondaryWindow::Graph: return new graph::GraphWindow(graph_, platform_);
    case SecondaryWindow::History: return new history::HistoryWindow(history_, platform_);
  }
  return nullptr;
}

void SecondaryWindows::StateChanged() {
  QWidget* window = windows_.at(static_cast<std::size_t>(SecondaryWindow::Graph));
  if (window != nullptr) static_cast<graph::GraphWindow*>(window)->Reread();
  QWidget* shown = windows_.at(static_cast<std::size_t>(SecondaryWindow::History));
  if (shown != nullptr) static_cast<history::HistoryWindow*>(shown)->Refresh();
}

bool SecondaryWindows::RestoresTable(const QWidget* window) {
  if (window == nullptr) return false;
  for (SecondaryWindow w : kRestoring) {
    if (window->objectName() == WindowName(w)) return true;
  }
  return false;
}

}  // namespace suusiki
