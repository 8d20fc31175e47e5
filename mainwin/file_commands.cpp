// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/file_commands.h"

#include "mainwin/file_messages.h"

namespace suusiki {

FileCommands::FileCommands(MainState& state, FileAutoSave& autoSave, Platform& platform, std::function<void()> show,
                           std::function<void()> focus)
    : state_(state), autoSave_(autoSave), platform_(platform), show_(std::move(show)), focus_(std::move(focus)) {}

void FileCommands::Tell(const QString& message) {
  platform_.prompter->Tell(message, QStringLiteral("Check"), Prompter::Icon::Exclamation);
}

void FileCommands::ReportAutoSaveFailure() {
  if (autoSave_.TakeNewFailure()) Tell(AutoSaveFailedMessage(autoSave_.path(), autoSave_.lastResult()));
}

void FileCommands::Restore() {
  storage::FileResult problem;
  if (!autoSave_.behind()) {
    VariableTable table = EmptyTable();
    storage::FileResult read = storage::ReadVariableFile(autoSave_.path(), table);
    if (read.status == storage::FileStatus::Missing) {
      // A missing file is written from the table in memory: 26 empty variables
      // at the first start, and nothing is lost if it vanished later.
      autoSave_.Save(state_.table());
      if (!autoSave_.behind()) {
        table = EmptyTable();
        read = storage::ReadVariableFile(autoSave_.path(), table);
      }
    }
    switch (read.status) {
      case storage::FileStatus::Ok: state_.LoadTable(table); break;
      case storage::FileStatus::Short:
      case storage::FileStatus::Malformed:
        state_.LoadTable(table);  // what could be read, the rest empty
        problem = read;
        break;
      case storage::FileStatus::Missing: state_.RefreshAfterLoading(); break;  // could not be created: told below
      default:                                                                 // unreadable: the table in memory stays
        state_.RefreshAfterLoading();
        problem = read;
        break;
    }
  } else {
    state_.RefreshAfterLoading();
  }
  show_();
  focus_();
  // The same problem at every return to the window is told once.
  const bool repeated =
      problem.status == lastRestoreProblem_.status && problem.failedRecord == lastRestoreProblem_.failedRecord;
  lastRestoreProblem_ = problem;
  if (!problem.ok() && !repeated) Tell(RestoreFailedMessage(autoSave_.path(), problem));
  ReportAutoSaveFailure();
}

void FileCommands::Open() {
  const QString path = platform_.files->ChooseOpen(kFileFilter, fileName_);
  if (path.isEmpty()) {
    focus_();
    return;
  }
  OpenAt(path);
}

void FileCommands::OpenAt(const QString& path) {
  fileName_ = path;
  VariableTable table = EmptyTable();
  const storage::FileResult read = storage::ReadVariableFile(path, table);
  if (!read.ok()) {
    // Nothing of a file that can't be read whole replaces the table.
    Tell(OpenFailedMessage(path, read));
    focus_();
    return;
  }
  state_.LoadTable(table);
  state_.ClearAnswerLine();
  show_();
  focus_();
}

void FileCommands::Save(const QString& saveFilter) {
  if (fileName_.isEmpty()) {
    const QString path = platform_.files->ChooseSave(saveFilter, fileName_);
    if (path.isEmpty()) return;
    fileName_ = path;
  }
  WriteTo(fileName_);
  focus_();
}

void FileCommands::SaveAs() {
  const QString path = platform_.files->ChooseSave(kFileFilter, fileName_);
  if (path.isEmpty()) return;
  fileName_ = path;
  WriteTo(path);
  focus_();
}

void FileCommands::WriteTo(const QString& path) {
  const storage::FileResult written = storage::WriteVariableFile(path, state_.table());
  if (!written.ok()) Tell(SaveFailedMessage(path, written));
}

}  // namespace suusiki
