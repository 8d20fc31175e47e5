// SPDX-License-Identifier: GPL-3.0-or-later
// Variable files: the 26 entries of the variable table on disk.
//
// A variable file is 26 lines, one per variable A to Z, each the table entry in
// double quotes followed by CR LF, in code page 932 (windows-31j). There is no
// header, count or checksum; records are taken by position, so the third line
// is always C's entry whatever letter its text starts with.
//
// Every write replaces the file atomically: either the whole new file is there
// or the old one is left untouched. The new file is on the disk before it
// replaces the old one, and the replacement is on the disk before the write
// counts as done, so that a power cut never brings the old table back. A read
// stores records into the table as it goes, so after a failure the records
// read so far have replaced the first entries and the rest of the table is as
// it was.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <utility>

#include "engine/variable_table.h"
#include "storage/atomic_file.h"

namespace suusiki::storage {

enum class FileStatus {
  Ok,
  Missing,       // the file does not exist
  Unreadable,    // it exists but cannot be opened or read (a directory, no permission)
  Short,         // it ends before the 26th record
  Malformed,     // a record is not a quoted code page 932 entry
  NotEncodable,  // an entry has a character a variable file cannot hold; nothing was written
  WriteFailed,   // the file could not be replaced, and the old one is untouched; or it was
                 // replaced but its folder could not be synced, so the old one may come back
};

// What the detail of a failure names.
enum class DetailKind {
  None,
  Text,       // a sentence: the system's error text, or what is wrong with a record
  LineBreak,  // the entry holds a CR or LF ("line break")
  Nul,        // the entry holds a NUL character ("NUL")
  Character,  // the entry holds this character, which has no code page 932 form
};

struct FileResult {
  FileStatus status = FileStatus::Ok;
  int records = 0;       // records read into the table (reads) or written (writes: 26 on success)
  int failedRecord = 0;  // 1-based record (= variable index + 1) where reading stopped or whose
                         // entry can't be written; 0 when not applicable
  QString detail;        // system error text, the character that has no code page 932 form, or
                         // what is wrong with a malformed record, for messages
  DetailKind detailKind = DetailKind::None;
  bool ok() const { return status == FileStatus::Ok; }
  // The letter of the failed record's variable, "A" to "Z"; empty when there is none.
  QString FailedLetter() const;
};

// The longest line a reader accepts, in bytes without its line end.
inline constexpr int kMaxLineBytes = 64 * 1024;

// The auto-save file's name, in the program's folder or the per-user data folder.
inline constexpr char kAutoSaveFileName[] = "DATT.0DT";

FileResult WriteVariableFile(const QString& path, const VariableTable& table,
                             const DiskSteps& steps = SystemDiskSteps());
FileResult ReadVariableFile(const QString& path, VariableTable& table);

// Writes the variable table to one file again and again, as the auto-save does
// after every change. A write is skipped when the table is the one the last
// successful write put there and the file on disk is still that same file
// (same inode, size and modification time), since its bytes are then already
// what would be written.
class VariableFileWriter {
 public:
  explicit VariableFileWriter(QString path, DiskSteps steps = SystemDiskSteps())
      : path_(std::move(path)), steps_(steps) {}

  FileResult Write(const VariableTable& table);
  const QString& path() const { return path_; }
  // How many times the file was really written (skipped writes don't count).
  int writes() const { return writes_; }

 private:
  struct Stamp {
    unsigned long long inode = 0, size = 0;
    long long seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
  };
  static std::optional<Stamp> StampOf(const QString& path);

  QString path_;
  DiskSteps steps_;
  VariableTable table_;         // what the last successful write put in the file
  std::optional<Stamp> stamp_;  // the file as that write left it; empty before one
  int writes_ = 0;
};

// Where the auto-save file lives. An installed program (its folder holds
// programs of an installation: the metainfo is where the installation keeps
// it) uses the per-user data folder ($XDG_DATA_HOME/suusiki, usually
// ~/.local/share/suusiki). A program run from its build folder or a copy in a
// folder of its own uses that folder when it is writable, otherwise the
// per-user data folder. The data folder is created when needed.
// AutoSavePath() needs a QCoreApplication.
QString AutoSavePath();
QString AutoSavePathIn(const QString& programFolder, const QString& dataFolder);

// True when `programFolder` is the program folder of an installation (see above).
bool IsInstalledProgramFolder(const QString& programFolder);

// One English line (UTF-8, the name in the bytes that name the file on disk)
// for the command-line tool, e.g.
// "DATT.0DT: the file ends after 10 of 26 records".
std::string DescribeFailure(const FileResult& result, const QString& path);

}  // namespace suusiki::storage
