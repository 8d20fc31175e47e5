// SPDX-License-Identifier: GPL-3.0-or-later
// The program's other windows: each exists at most once, is made when it is
// asked for and isn't open, and is otherwise brought to the front.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "graph/graph_window.h"
#include "history/history_window.h"

namespace suusiki {

struct Platform;

enum class SecondaryWindow {
  ArithmeticSeries,  // TOSA
  GeometricSeries,   // TOHI
  NewtonHelp,        // READ1
  ProgramHelp,       // READ2
  Version,           // VER
  Graph,             // GRAPH
  History,           // HISTORY
};

// The window's name (its objectName): "TOSA", "TOHI", "READ1", "READ2", "VER", "GRAPH", "HISTORY".
QString WindowName(SecondaryWindow window);

class SecondaryWindows {
 public:
  // `showMainWindow` brings the main window back (TOSA's "戻る"); `graph` is
  // what the graph reads, `historySource` what the history window shows. `platform`
  // must outlive the windows.
  SecondaryWindows(const Platform& platform, std::function<void()> showMainWindow, GraphSource graph,
                   history::HistorySource historySource);
  // Closes and deletes the windows still open.
  ~SecondaryWindows();
  SecondaryWindows(const SecondaryWindows&) = delete;
  SecondaryWindows& operator=(const SecondaryWindows&) = delete;

  // Makes the window when it isn't open, then brings it to the front.
  QWidget* Show(SecondaryWindow window);

  // The main window ran a command: an open graph reads the definitions again,
  // an open history shows the new entries.
  void StateChanged();

  // True for a window coming back from which to the main window restores the
  // table: each of these but the graph and the history, which never write the table.
  static bool RestoresTable(const QWidget* window);

 private:
  QWidget* Make(SecondaryWindow window) const;

  const Platform& platform_;
  std::function<void()> showMainWindow_;
  GraphSource graph_;
  history::HistorySource history_;
  std::array<QPointer<QWidget>, 7> windows_;
};

}  // namespace suusiki
