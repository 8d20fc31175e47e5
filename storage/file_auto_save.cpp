// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/file_auto_save.h"

namespace suusiki {

void FileAutoSave::Save(const VariableTable& table) {
  last_ = writer_.Write(table);
  behind_ = !last_.ok();
  if (last_.ok()) reported_ = false;
}

bool FileAutoSave::TakeNewFailure() {
  if (!behind_ || reported_) return false;
  reported_ = true;
  return true;
}

}  // namespace suusiki
