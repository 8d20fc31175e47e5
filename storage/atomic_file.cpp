// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace suusiki::storage {
namespace {

// Qt reports a short write (a full disk, a file size limit) without the
// system's reason; errno, cleared before the write, still holds it.
QString WriteError(const QSaveFile& file, int error) {
  if (error != 0) return QString::fromLocal8Bit(std::strerror(error));
  return file.errorString();
}

// fsync of `folder`: what makes a rename in it last.
int SyncFolder(const char* folder) {
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int result = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  errno = error;
  return result;
}

}  // namespace

DiskSteps SystemDiskSteps() {
  return {[](QFileDevice& file) { return file.flush(); }, ::fsync, SyncFolder};
}

bool WriteAtomically(const QString& path, QByteArrayView contents, QString* error, const DiskSteps& steps) {
  // QSaveFile writes a temporary file beside the target and renames it over the
  // target only when everything was written; on failure it removes the temporary.
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    *error = file.errorString();
    return false;
  }
  // commit() flushes and syncs too, but renames the temporary over the target
  // even when either fails (a full disk), so both are done and checked here. A
  // file system that cannot sync at all (EINVAL) is taken as it is.
  errno = 0;
  if (file.write(contents.data(), contents.size()) != contents.size() || !steps.flush(file) ||
      (steps.sync(file.handle()) != 0 && errno != EINVAL)) {
    *error = WriteError(file, errno);
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    *error = file.errorString();
    return false;
  }
  // The rename changed the folder, which is synced as the file was: the folder
  // where the file was replaced, for a symbolic link its target's, as
  // QSaveFile writes there. Until then a power cut may bring the old file
  // back, so a failure counts as a failed write, and the next write tries
  // again. A file system that cannot sync a folder is taken as it is.
  const QString replaced = QFileInfo(path).canonicalFilePath();
  const QString folder = QFileInfo(replaced.isEmpty() ? path : replaced).absolutePath();
  errno = 0;
  if (steps.syncFolder(QFile::encodeName(folder).constData()) != 0 && errno != EINVAL) {
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace suusiki::storage
