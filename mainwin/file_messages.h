// SPDX-License-Identifier: GPL-3.0-or-later
// What the user is told when a variable file can't be read or written.
#pragma once

#include <QString>

#include "storage/variable_file.h"

namespace suusiki {

// Why the operation failed, in one sentence.
QString FileProblem(const storage::FileResult& result);

// The whole message for the message box, naming the file.
QString AutoSaveFailedMessage(const QString& path, const storage::FileResult& result);
QString RestoreFailedMessage(const QString& path, const storage::FileResult& result);
QString OpenFailedMessage(const QString& path, const storage::FileResult& result);
QString SaveFailedMessage(const QString& path, const storage::FileResult& result);

}  // namespace suusiki
