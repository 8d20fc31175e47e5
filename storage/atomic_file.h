// SPDX-License-Identifier: GPL-3.0-or-later
// Atomic writes: a file is replaced whole or left as it was. The new contents
// go to a temporary file beside the target, reach the disk, and only then
// replace the target by a rename; the rename reaches the disk before the write
// counts as done, so that a power cut never brings the old file back.
#pragma once

#include <QByteArrayView>
#include <QString>

class QFileDevice;

namespace suusiki::storage {

// The steps that take a written file to the disk: Qt's buffer is written out
// (false on failure), then the file is synced (as fsync: 0, or -1), both
// before it replaces the old one; after the rename the folder that holds it
// is synced (0, or -1), so that the new name is on the disk too. Each leaves
// the system's reason in errno. Tests put in steps that fail as a full or
// broken disk would.
struct DiskSteps {
  bool (*flush)(QFileDevice& file);
  int (*sync)(int fd);
  int (*syncFolder)(const char* folder);
};
// QFileDevice::flush, fsync, and fsync of the folder opened read-only.
DiskSteps SystemDiskSteps();

// Replaces the file at `path` with `contents` as above. False, with the
// system's reason in `error`, when it can't; the old file, if any, is then
// untouched, unless only the folder sync failed (the new file is there, but
// may not last).
bool WriteAtomically(const QString& path, QByteArrayView contents, QString* error,
                     const DiskSteps& steps = SystemDiskSteps());

}  // namespace suusiki::storage
