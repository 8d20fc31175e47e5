// SPDX-License-Identifier: GPL-3.0-or-later
// Writes that meet a failing disk, the auto-save's writer, and where the
// auto-save file lives.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "storage/file_auto_save.h"
#include "storage/variable_file.h"
#include "tests/storage/variable_file_fixture.h"
#include "version.h"

namespace suusiki::storage {
namespace {

using namespace std::string_literals;

TEST_F(VariableFileTest, FailedWriteLeavesTheOldFile) {
  Put("v", kOldFile.toStdString());
  ASSERT_TRUE(QDir(tempDir.path()).mkdir("folder"));
  for (const char* target : {"folder", "v/below", "missing/v"}) {
    const FileResult result = WriteVariableFile(Path(target), EmptyTable());
    EXPECT_EQ(result.status, FileStatus::WriteFailed) << target;
    EXPECT_FALSE(result.detail.isEmpty()) << target;
  }
  EXPECT_EQ(Get("v"), kOldFile);
  EXPECT_EQ(Listing(), (QStringList{"folder", "v"}));
  EXPECT_TRUE(QDir(Path("folder")).isEmpty());
}

TEST_F(VariableFileTest, FullDiskLeavesTheOldFile) {
  // Small files reach the disk when Qt flushes its buffer, large ones at once.
  VariableTable large = EmptyTable();
  large[0] += Text(40000, U'9');
  for (const VariableTable& table : {EmptyTable(), large}) {
    Put("v", kOldFile.toStdString());
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const FileResult result = WriteVariableFile(Path("v"), table);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(result.status, FileStatus::WriteFailed) << table[0].size();
    EXPECT_EQ(result.detail, QString::fromLocal8Bit(std::strerror(EFBIG)));
    ExpectOldFileKept("full disk");
  }
}

// Disk steps that fail as a broken or full disk would, or a file system that
// cannot sync at all; the flush and the syncs of the system otherwise.
struct FailingDisk {
  static inline int flushError = 0;
  static inline int syncError = 0;
  static inline int folderError = 0;
  // The folder's entries and the file "v" as the folder sync found them.
  static inline QStringList folderSynced;
  static inline QByteArray fileAtFolderSync;
  static DiskSteps Steps() {
    return {[](QFileDevice& file) {
              if (flushError == 0) return file.flush();
              errno = flushError;
              return false;
            },
            [](int fd) {
              if (syncError == 0) return ::fsync(fd);
              errno = syncError;
              return -1;
            },
            [](const char* folder) {
              const QDir dir(QFile::decodeName(folder));
              folderSynced = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
              QFile file(dir.filePath("v"));
              fileAtFolderSync = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
              if (folderError == 0) return SystemDiskSteps().syncFolder(folder);
              errno = folderError;
              return -1;
            }};
  }
  FailingDisk(int flush, int sync, int folder = 0) {
    flushError = flush;
    syncError = sync;
    folderError = folder;
    folderSynced.clear();
    fileAtFolderSync.clear();
  }
  ~FailingDisk() { flushError = syncError = folderError = 0; }
};

TEST_F(VariableFileTest, AFailingFlushOrSyncLeavesTheOldFile) {
  QByteArray written;  // EmptyTable() as a file
  for (char c = 'A'; c <= 'Z'; ++c) written += "\""s + c + ": \"\r\n";
  const struct {
    const char* name;
    int flushError, syncError, folderError = 0;
  } cases[] = {
      {"flush: input/output error", EIO, 0},
      {"flush: no space", ENOSPC, 0},
      {"sync: input/output error", 0, EIO},
      {"sync: no space", 0, ENOSPC},
      // After the rename: the new file is there, but a power cut may bring the
      // old one back, so the write has failed all the same.
      {"folder sync: input/output error", 0, 0, EIO},
  };
  for (const auto& c : cases) {
    Put("v", kOldFile.toStdString());
    const FailingDisk disk(c.flushError, c.syncError, c.folderError);
    const FileResult result = WriteVariableFile(Path("v"), EmptyTable(), FailingDisk::Steps());
    EXPECT_EQ(result.status, FileStatus::WriteFailed) << c.name;
    EXPECT_EQ(result.detail, QString::fromLocal8Bit(std::strerror(c.flushError + c.syncError + c.folderError)))
        << c.name;
    if (c.folderError == 0) {
      ExpectOldFileKept(c.name);
      EXPECT_EQ(FailingDisk::folderSynced, QStringList()) << c.name << ": nothing was renamed";
    } else {
      EXPECT_EQ(Get("v"), written) << c.name;
      EXPECT_EQ(Listing(), QStringList{"v"}) << c.name;
      // The folder was synced after the rename: the new file had its name,
      // and the temporary one was gone.
      EXPECT_EQ(FailingDisk::folderSynced, QStringList{"v"}) << c.name;
      EXPECT_EQ(FailingDisk::fileAtFolderSync, written) << c.name;
    }
  }
  // A file system that cannot sync a file, or a folder, is written as it is.
  const struct { int syncError, folderError; } unsynced[] = {{EINVAL, 0}, {0, EINVAL}};
  for (const auto& c : unsynced) {
    Put("v", kOldFile.toStdString());
    const FailingDisk disk(0, c.syncError, c.folderError);
    EXPECT_TRUE(WriteVariableFile(Path("v"), EmptyTable(), FailingDisk::Steps()).ok()) << c.syncError;
    EXPECT_EQ(Get("v"), written);
    EXPECT_EQ(Listing(), QStringList{"v"});
    EXPECT_EQ(FailingDisk::folderSynced, QStringList{"v"});
  }
}

TEST_F(VariableFileTest, AutoSaveFileGoesToTheDataFolderWhenTheProgramFolderIsNotWritable) {
  Put("v", "");
  const QString data = Path("data/suusiki");
  EXPECT_EQ(AutoSavePathIn(tempDir.path(), data), tempDir.path() + "/DATT.0DT");
  EXPECT_FALSE(QDir(data).exists());
  for (const QString& program : {Path("missing"), Path("v/bin"), Path("v")}) {
    EXPECT_EQ(AutoSavePathIn(program, data), data + "/DATT.0DT");
    EXPECT_TRUE(QDir(data).exists());
    QDir(Path("data")).removeRecursively();
  }
}

TEST_F(VariableFileTest, AnInstalledProgramKeepsItsVariablesInTheDataFolder) {
  // An installation: the program in bin/, its metainfo in share/metainfo/.
  const QString bin = Path("usr/bin");
  const QString data = Path("home/.local/share/suusiki");
  ASSERT_TRUE(QDir().mkpath(bin));
  EXPECT_FALSE(IsInstalledProgramFolder(bin)) << "a writable folder of its own: a portable copy";
  EXPECT_EQ(AutoSavePathIn(bin, data), bin + "/DATT.0DT");

  const QString metainfo =
      QStringLiteral("%1/%2/metainfo/%3.metainfo.xml")
          .arg(bin, QString::fromLatin1(kDataDirFromProgramDir), QString::fromLatin1(kApplicationId));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(metainfo).absolutePath()));
  Put("usr/share/metainfo/" + QString::fromLatin1(kApplicationId) + ".metainfo.xml", "<component/>");
  ASSERT_TRUE(QFile::exists(metainfo));
  EXPECT_TRUE(IsInstalledProgramFolder(bin));
  EXPECT_EQ(AutoSavePathIn(bin, data), data + "/DATT.0DT") << "never beside the installed program";
  EXPECT_TRUE(QDir(data).exists());
}

TEST_F(VariableFileTest, TheAutoSaveWriterRewritesOnlyWhatChanged) {
  const auto inode = [&] {
    struct stat info {};
    return ::stat(QFile::encodeName(Path("v")).constData(), &info) == 0 ? info.st_ino : 0;
  };
  VariableFileWriter writer(Path("v"));
  VariableTable table = EmptyTable();
  ASSERT_TRUE(writer.Write(table).ok());
  const auto first = inode();
  ASSERT_TRUE(writer.Write(table).ok());
  EXPECT_EQ(inode(), first) << "the same table is not written twice";

  table[1] = FromUtf8("B: 2");
  ASSERT_TRUE(writer.Write(table).ok());
  EXPECT_NE(inode(), first) << "a changed table is written";
  EXPECT_TRUE(Get("v").contains("\"B: 2\""));

  // A file changed behind the writer's back is written again.
  Put("v", kOldFile.toStdString());
  ASSERT_TRUE(writer.Write(table).ok());
  EXPECT_TRUE(Get("v").contains("\"B: 2\""));
  QFile::remove(Path("v"));
  ASSERT_TRUE(writer.Write(table).ok());
  EXPECT_TRUE(Get("v").contains("\"B: 2\""));
}

TEST_F(VariableFileTest, AWriteThatFailedIsTriedAgain) {
  VariableFileWriter writer(Path("v"), FailingDisk::Steps());
  VariableTable table = EmptyTable();
  ASSERT_TRUE(writer.Write(table).ok());
  const QByteArray written = Get("v");
  table[1] = FromUtf8("B: 2");
  {
    const FailingDisk disk(0, EIO);
    // The file is still the one the first write left, but the table is not.
    EXPECT_EQ(writer.Write(table).status, FileStatus::WriteFailed);
    EXPECT_EQ(writer.Write(table).status, FileStatus::WriteFailed);
    EXPECT_EQ(writer.writes(), 3);
    EXPECT_EQ(Get("v"), written);
  }
  EXPECT_TRUE(writer.Write(table).ok());
  EXPECT_TRUE(Get("v").contains("\"B: 2\""));
  EXPECT_TRUE(writer.Write(table).ok());
  EXPECT_EQ(writer.writes(), 4) << "once written, the same table is skipped";
}

TEST_F(VariableFileTest, TheAutoSaveTellsOfEachRunOfFailuresOnce) {
  FileAutoSave save(Path("sub/DATT.0DT"));
  VariableTable table = EmptyTable();
  Put("sub", "x");  // a file where the folder should be
  save.Save(table);
  EXPECT_TRUE(save.behind());
  EXPECT_EQ(save.lastResult().status, FileStatus::WriteFailed);
  EXPECT_TRUE(save.TakeNewFailure());
  EXPECT_FALSE(save.TakeNewFailure());
  save.Save(table);
  EXPECT_FALSE(save.TakeNewFailure()) << "the same run of failures";

  ASSERT_TRUE(QFile::remove(Path("sub")));
  ASSERT_TRUE(QDir(tempDir.path()).mkdir("sub"));
  save.Save(table);
  EXPECT_FALSE(save.behind());
  EXPECT_FALSE(save.TakeNewFailure());

  ASSERT_TRUE(QDir(Path("sub")).removeRecursively());
  Put("sub", "x");
  table[0] = FromUtf8("A: 1");
  save.Save(table);
  EXPECT_TRUE(save.TakeNewFailure()) << "a new run of failures after a write that worked";
  EXPECT_EQ(save.writes(), 4);
}

}  // namespace
}  // namespace suusiki::storage
