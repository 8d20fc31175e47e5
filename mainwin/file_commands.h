// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: the restore from the auto-save file, open,
// save and save-as of variable files, the file name the dialog remembers, and
// telling the user when a file can't be read or written. Nothing that a file
// can't give whole replaces the table, and a table the auto-save could not
// write stays in memory.
#pragma once

#include <QString>
#include <functional>

#include "engine/main_state.h"
#include "storage/file_auto_save.h"
#include "storage/variable_file.h"
#include "ui/platform.h"

namespace suusiki {

class FileCommands {
 public:
  // The filters of the file dialogs: the menu's save command shows its own.
  static inline const QString kFileFilter = QStringLiteral("数式ﾌｧｲﾙ (*.0DT)|*.0DT");
  static inline const QString kMenuSaveFilter = QStringLiteral("数式ﾌｧｲﾙ (*.)|*.0DT");

  // `show` puts the state into the window's controls; `focus` gives the
  // formula box the focus with the caret at the end of its text.
  FileCommands(MainState& state, FileAutoSave& autoSave, Platform& platform, std::function<void()> show,
               std::function<void()> focus);

  // Reads the table from the auto-save file (made from the table in memory
  // when it is missing) and shows A. While the last auto-save failed, the
  // table in memory is newer than the file and stays.
  void Restore();
  // Asks for a file and replaces the table with it when it reads whole.
  void Open();
  // The same without the dialog, for a file named on the command line.
  void OpenAt(const QString& path);
  // Writes to the remembered file, asking for one first (with `saveFilter`) when there is none.
  void Save(const QString& saveFilter);
  void SaveAs();
  // Tells the user once when the auto-save has started to fail.
  void ReportAutoSaveFailure();

  const QString& rememberedName() const { return fileName_; }

 private:
  void WriteTo(const QString& path);
  void Tell(const QString& message);

  MainState& state_;
  FileAutoSave& autoSave_;
  Platform& platform_;
  std::function<void()> show_;
  std::function<void()> focus_;
  QString fileName_;  // the file dialog's remembered name
  storage::FileResult lastRestoreProblem_;
};

}  // namespace suusiki
