// SPDX-License-Identifier: GPL-3.0-or-later
// The window "計算の履歴" (HISTORY): the main window's history of
// calculations as a table, newest at the bottom. It reads the history, may
// remove entries from it and save or print it, and hands a formula back to the
// main window's formula box; it never touches the variable table. It deletes
// itself when closed.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "history/history.h"
#include "storage/atomic_file.h"

class QTableWidget;

namespace suusiki {

struct Platform;

namespace history {

// What the window works on: the main window's history, and the main window's
// formula box, which `useFormula` fills with a formula (neither stored nor
// calculated) and brings to the front.
struct HistorySource {
  History* history = nullptr;
  std::function<void(TextView formula)> useFormula;
};

// Writes `history` to `path` as TabSeparatedText, atomically (see
// storage/atomic_file.h). False, with the reason, when it can't; the history
// and any old file stay as they were.
bool WriteHistoryFile(const QString& path, const History& history, QString* error,
                      const storage::DiskSteps& steps = storage::SystemDiskSteps());

class HistoryWindow : public QWidget {
  Q_OBJECT

 public:
  // The save dialog's filter; a name without an ending gets ".txt".
  static inline const QString kFileFilter = QStringLiteral("計算の履歴 (*.txt *.tsv)|*.txt *.tsv");

  // `platform` gives the dialogs, the message boxes and the printer; it and
  // the history must outlive the window.
  HistoryWindow(HistorySource source, const Platform& platform, QWidget* parent = nullptr);

  // Shows the entries that arrived and drops those that went: the main window
  // calls this after each of its commands. New entries are scrolled into view,
  // and a current row at the bottom moves down to the newest.
  void Refresh();

  // Enter or a double-click: the current row's formula goes to the main window.
  void UseCurrentFormula();
  // Ctrl+C: the selected rows as lines of tab-separated fields.
  void CopySelected();
  // Delete: the selected rows leave the history.
  void RemoveSelected();
  // Ctrl+L and the button: every entry leaves the history, after a question.
  void ClearAll();
  // "保存": asks for a file name, then writes the history.
  void Save();
  // "印刷": the history on the printer, or as a PDF file.
  void Print();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<std::uint64_t> SelectedIds() const;
  void BuildButtons();

  HistorySource source_;
  const Platform& platform_;
  QString savedName_;  // the save dialog's remembered name
  QTableWidget* table_ = nullptr;
};

}  // namespace history
}  // namespace suusiki
