// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/variable_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <future>
#include <iterator>
#include <string>

#include "storage/file_auto_save.h"
#include "version.h"

namespace suusiki::storage {
namespace {

using namespace std::string_literals;

// A well-formed record for variable i: "\"C: 2\"".
std::string Record(int i) { return "\""s + char('A' + i) + ": " + std::to_string(i) + "\""; }
Text EntryOf(int i) { return FromUtf8(Record(i).substr(1, Record(i).size() - 2)); }
std::string Records(int from, int to, const std::string& end = "\r\n") {
  std::string out;
  for (int i = from; i < to; ++i) out += Record(i) + end;
  return out;
}

VariableTable Sentinels() {
  VariableTable table;
  table.fill(FromUtf8("old"));
  return table;
}

const QByteArray kOldFile = "\"A: old\"\r\n";

class VariableFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Put(const QString& name, const std::string& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  QByteArray Get(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QStringList Listing() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  // The old file is whole and no temporary file was left beside it.
  void ExpectOldFileKept(const std::string& what) const {
    EXPECT_EQ(Get("v"), kOldFile) << what;
    EXPECT_EQ(Listing(), QStringList{"v"}) << what;
  }
  FileResult ReadBytes(const std::string& bytes, VariableTable& table) const {
    Put("v", bytes);
    return ReadVariableFile(Path("v"), table);
  }

  QTemporaryDir dir_;
};

TEST_F(VariableFileTest, WritesQuotedRecordsWithCrLfReplacingTheOldFile) {
  Put("v", kOldFile.toStdString());
  VariableTable table = EmptyTable();
  table[0] = FromUtf8("A: 58*3");
  const FileResult result = WriteVariableFile(Path("v"), table);
  ASSERT_TRUE(result.ok()) << result.detail.toStdString();
  EXPECT_EQ(result.records, 26);
  QByteArray expected = "\"A: 58*3\"\r\n";
  for (char c = 'B'; c <= 'Z'; ++c) expected += "\""s + c + ": \"\r\n";
  EXPECT_EQ(Get("v"), expected);
  EXPECT_EQ(Listing(), QStringList{"v"});
}

TEST_F(VariableFileTest, EntriesTravelAsCodePage932AndComeBack) {
  const struct {
    const char* entry;
    std::string bytes;
  } cases[] = {
      {"B: ①～", "B: \x87\x40\x81\x60"},
      {"C: 変数", "C: \x95\xcf\x90\x94"},
      {"D: ｶﾙﾒﾛ", "D: \xb6\xd9\xd2\xdb"},
      {"E: say \"hi\"", "E: say \"hi\""},
      {"F: \\~", "F: \\~"},
      {"", ""},
      {"Q", "Q"},
  };
  VariableTable table = EmptyTable();
  for (int i = 0; i < std::ssize(cases); ++i) table[i] = FromUtf8(cases[i].entry);
  ASSERT_TRUE(WriteVariableFile(Path("v"), table).ok());
  const QList<QByteArray> lines = Get("v").split('\n');
  for (int i = 0; i < std::ssize(cases); ++i) {
    EXPECT_EQ(lines[i], QByteArray::fromStdString("\"" + cases[i].bytes + "\"\r")) << cases[i].entry;
  }
  VariableTable back = Sentinels();
  ASSERT_TRUE(ReadVariableFile(Path("v"), back).ok());
  EXPECT_EQ(back, table);
}

TEST_F(VariableFileTest, UnencodableEntryWritesNothing) {
  const struct {
    const char* name;
    Text entry;
    QString detail;
  } cases[] = {
      {"emoji", FromUtf8("E: 😀"), "😀"},
      {"yen sign", FromUtf8("E: ¥5"), "¥"},
      {"wave dash", FromUtf8("E: 1〜2"), "〜"},
      {"minus sign", FromUtf8("E: −1"), "−"},
      {"line feed", FromUtf8("E: 1\n2"), "line break"},
      {"carriage return", FromUtf8("E: 1\r"), "line break"},
      {"NUL", Text{U'E', U':', U' ', U'\0'}, "NUL"},
      // No character at all: named by its code.
      {"lone surrogate", Text{U'E', U':', U' ', 0xD800}, "U+D800"},
      {"last lone surrogate", Text{U'E', U':', U' ', 0xDFFF}, "U+DFFF"},
      {"beyond Unicode", Text{U'E', U':', U' ', 0x110000}, "U+110000"},
      // The last code point is a character, shown as it is.
      {"last code point", Text{U'E', U':', U' ', 0x10FFFF}, QString::fromUcs4(U"\U0010FFFF")},
  };
  for (const auto& c : cases) {
    Put("v", kOldFile.toStdString());
    VariableTable table = EmptyTable();
    table[4] = c.entry;
    const FileResult result = WriteVariableFile(Path("v"), table);
    EXPECT_EQ(result.status, FileStatus::NotEncodable) << c.name;
    EXPECT_EQ(result.failedRecord, 5) << c.name;
    EXPECT_EQ(result.detail, c.detail) << c.name;
    ExpectOldFileKept(c.name);
  }
}

TEST_F(VariableFileTest, FailedWriteLeavesTheOldFile) {
  Put("v", kOldFile.toStdString());
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
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
// cannot sync at all; the flush or the sync of the system otherwise.
struct FailingDisk {
  static inline int flushError = 0;
  static inline int syncError = 0;
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
            }};
  }
  FailingDisk(int flush, int sync) {
    flushError = flush;
    syncError = sync;
  }
  ~FailingDisk() { flushError = syncError = 0; }
};

TEST_F(VariableFileTest, AFailingFlushOrSyncLeavesTheOldFile) {
  const struct {
    const char* name;
    int flushError, syncError;
  } cases[] = {
      {"flush: input/output error", EIO, 0},
      {"flush: no space", ENOSPC, 0},
      {"sync: input/output error", 0, EIO},
      {"sync: no space", 0, ENOSPC},
  };
  for (const auto& c : cases) {
    Put("v", kOldFile.toStdString());
    const FailingDisk disk(c.flushError, c.syncError);
    const FileResult result = WriteVariableFile(Path("v"), EmptyTable(), FailingDisk::Steps());
    EXPECT_EQ(result.status, FileStatus::WriteFailed) << c.name;
    EXPECT_EQ(result.detail, QString::fromLocal8Bit(std::strerror(c.flushError + c.syncError))) << c.name;
    ExpectOldFileKept(c.name);
  }
  // A file system that cannot sync at all is written as it is.
  const FailingDisk disk(0, EINVAL);
  EXPECT_TRUE(WriteVariableFile(Path("v"), EmptyTable(), FailingDisk::Steps()).ok());
  EXPECT_TRUE(Get("v").startsWith("\"A: \"\r\n\"B: \"\r\n"));
  EXPECT_EQ(Listing(), QStringList{"v"});
}

TEST_F(VariableFileTest, ReadsRecordsByPosition) {
  const std::string fill(kMaxLineBytes - 2, 'x');  // in quotes, the longest line accepted
  const struct {
    const char* name;
    std::string bytes;
    int index;
    Text entry;
  } cases[] = {
      {"another letter", Records(0, 2) + "\"Q: 7\"\r\n" + Records(3, 26) + "junk\r\n", 2, FromUtf8("Q: 7")},
      {"LF only, no final line end", Records(0, 25, "\n") + Record(25), 25, EntryOf(25)},
      {"quotes inside", "\"A: \"q\"\"x\r\n" + Records(1, 26), 0, FromUtf8("A: \"q\"")},
      {"empty entry", Records(0, 1) + "\"\"\r\n" + Records(2, 26), 1, Text()},
      {"longest line", "\"" + fill + "\"\r\n" + Records(1, 26), 0, FromUtf8(fill)},
      {"longest line, LF only", "\"" + fill + "\"\n" + Records(1, 26), 0, FromUtf8(fill)},
      {"blanks before the quote", Records(0, 1) + "  \"B: 7\"\r\n" + Records(2, 26), 1, FromUtf8("B: 7")},
      {"longest last line, no line end", Records(0, 25) + "\"" + fill + "\"", 25, FromUtf8(fill)},
  };
  for (const auto& c : cases) {
    VariableTable table = Sentinels();
    const FileResult result = ReadBytes(c.bytes, table);
    ASSERT_TRUE(result.ok()) << c.name << ": " << DescribeFailure(result, "v");
    for (int i = 0; i < 26; ++i) {
      EXPECT_EQ(table[i], i == c.index ? c.entry : EntryOf(i)) << c.name << " " << i;
    }
  }
}

TEST_F(VariableFileTest, ReadStopsAtTheFirstBadRecord) {
  const std::string head = Records(0, 2);
  const std::string tail = Records(3, 26);
  const std::string tooLong(kMaxLineBytes - 1, 'x');  // in quotes, one byte too many
  const struct {
    const char* name;
    std::string bytes;
    FileStatus status;
    int records;
  } cases[] = {
      {"empty", "", FileStatus::Short, 0},
      {"ten records", Records(0, 10), FileStatus::Short, 10},
      {"no quotes", head + "C: 2\r\n" + tail, FileStatus::Malformed, 2},
      {"one quote", head + "\"C: 2\r\n" + tail, FileStatus::Malformed, 2},
      {"NUL inside", head + "\"C: \0\"\r\n"s + tail, FileStatus::Malformed, 2},
      {"NUL outside", head + "\"C: 2\"\0\r\n"s + tail, FileStatus::Malformed, 2},
      {"bad trail byte", head + "\"C: \x81\x20\"\r\n" + tail, FileStatus::Malformed, 2},
      {"cut-off character", head + "\"C: \x81\"\r\n" + tail, FileStatus::Malformed, 2},
      {"unassigned byte", head + "\"C: \xa0\"\r\n" + tail, FileStatus::Malformed, 2},
      {"CR inside", head + "\"C:\r2\"\r\n" + tail, FileStatus::Malformed, 2},
      {"over-long line", head + "\"" + tooLong + "\"\r\n" + tail, FileStatus::Malformed, 2},
  };
  for (const auto& c : cases) {
    VariableTable table = Sentinels();
    const FileResult result = ReadBytes(c.bytes, table);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.records, c.records) << c.name;
    EXPECT_EQ(result.failedRecord, c.records + 1) << c.name;
    for (int i = 0; i < 26; ++i) {
      EXPECT_EQ(table[i], i < c.records ? EntryOf(i) : Sentinels()[i]) << c.name << " " << i;
    }
  }
}

TEST_F(VariableFileTest, ReadRefusesWhatIsNoVariableFile) {
  Put("v", "");
  const struct {
    QString path;
    FileStatus status;
    int failedRecord = 0;
  } cases[] = {
      {Path("missing"), FileStatus::Missing},
      {Path("v/below"), FileStatus::Missing},
      {dir_.path(), FileStatus::Unreadable},
      {"/proc/self/exe", FileStatus::Malformed, 1},
      {"/dev/zero", FileStatus::Malformed, 1},
      {"/proc/self/mem", FileStatus::Unreadable, 1},  // opens, then fails to read
  };
  for (const auto& c : cases) {
    VariableTable table = Sentinels();
    QElapsedTimer timer;
    timer.start();
    const FileResult result = ReadVariableFile(c.path, table);
    EXPECT_LT(timer.elapsed(), 2000) << c.path.toStdString();
    EXPECT_EQ(result.status, c.status) << c.path.toStdString();
    EXPECT_EQ(result.records, 0) << c.path.toStdString();
    EXPECT_EQ(result.failedRecord, c.failedRecord) << c.path.toStdString();
    EXPECT_EQ(table, Sentinels()) << c.path.toStdString();
  }
}

// A named pipe chosen by mistake: opening it would wait for a writer for ever.
TEST_F(VariableFileTest, ReadRefusesAPipeWithoutWaiting) {
  const QString pipe = Path("pipe");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  auto read = std::async(std::launch::async, [&pipe] {
    VariableTable table = Sentinels();
    const FileResult result = ReadVariableFile(pipe, table);
    EXPECT_EQ(table, Sentinels());
    return result.status;
  });
  if (read.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
    ADD_FAILURE() << "the read waits for a writer";
    QFile writer(pipe);  // a writer that closes at once lets the read end
    writer.open(QIODevice::WriteOnly);
  }
  EXPECT_EQ(read.get(), FileStatus::Unreadable);
}

TEST_F(VariableFileTest, AutoSaveFileGoesToTheDataFolderWhenTheProgramFolderIsNotWritable) {
  Put("v", "");
  const QString data = Path("data/suusiki");
  EXPECT_EQ(AutoSavePathIn(dir_.path(), data), dir_.path() + "/DATT.0DT");
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

TEST(DescribeFailure, NamesWhatWentWrong) {
  const struct {
    FileResult result;
    std::string line;
  } cases[] = {
      {{FileStatus::Ok, 26, 0, {}}, "v: 26 records, no failure"},
      {{FileStatus::Missing, 0, 0, {}}, "v: no such file"},
      {{FileStatus::Unreadable, 0, 0, "Permission denied"}, "v: cannot be read (Permission denied)"},
      {{FileStatus::Short, 10, 11, {}}, "v: the file ends after 10 of 26 records"},
      {{FileStatus::Malformed, 2, 3, "no pair of double quotes"},
       "v: record 3 is not a quoted entry (no pair of double quotes)"},
      {{FileStatus::NotEncodable, 0, 5, "😀"},
       "v: the entry for E contains \"😀\" (U+1F600), which has no code page 932 form"},
      {{FileStatus::NotEncodable, 0, 1, "é", DetailKind::Character},
       "v: the entry for A contains \"é\" (U+00E9), which has no code page 932 form"},
      {{FileStatus::NotEncodable, 0, 26, "U+110000", DetailKind::Character},
       "v: the entry for Z contains \"U+110000\", which has no code page 932 form"},
      {{FileStatus::NotEncodable, 0, 26, "line break", DetailKind::LineBreak},
       "v: the entry for Z contains a line break, which a variable file cannot hold"},
      {{FileStatus::NotEncodable, 0, 2, "NUL", DetailKind::Nul},
       "v: the entry for B contains a NUL, which a variable file cannot hold"},
      {{FileStatus::WriteFailed, 0, 0, "No space left on device"}, "v: cannot be written (No space left on device)"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeFailure(c.result, "v"), c.line);
  for (const int record : {0, 27}) {
    const FileResult noRecord{FileStatus::Short, 0, record, {}};
    EXPECT_EQ(noRecord.FailedLetter(), "") << record;
  }
  EXPECT_EQ(DescribeFailure({FileStatus::Short, 10, 11, {}}, "DATT.0DT"),
            "DATT.0DT: the file ends after 10 of 26 records");
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
  ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
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
