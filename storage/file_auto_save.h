// SPDX-License-Identifier: GPL-3.0-or-later
// The auto-save: every change of the variable table is written to one file
// (DATT.0DT for the window). A failed write never stops a command; the table
// in memory is then newer than the file, and the user is told once until a
// write succeeds again.
#pragma once

#include <QString>

#include "engine/main_state.h"
#include "storage/variable_file.h"

namespace suusiki {

class FileAutoSave : public AutoSave {
 public:
  explicit FileAutoSave(QString path) : writer_(std::move(path)) {}

  void Save(const VariableTable& table) override;

  const QString& path() const { return writer_.path(); }
  // How many times the file was really written.
  int writes() const { return writer_.writes(); }
  // True while the last write failed: the table in memory is newer than the file.
  bool behind() const { return behind_; }
  const storage::FileResult& lastResult() const { return last_; }
  // True once after a write has started to fail, for the caller to tell the user.
  bool TakeNewFailure();

 private:
  storage::VariableFileWriter writer_;
  storage::FileResult last_;
  bool behind_ = false;
  bool reported_ = false;
};

}  // namespace suusiki
