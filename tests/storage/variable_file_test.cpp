// SPDX-License-Identifier: GPL-3.0-or-later
// Variable files: the bytes written, the records read, and what a failure says.
#include "storage/variable_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <chrono>
#include <future>
#include <iterator>
#include <string>

#include "tests/storage/variable_file_fixture.h"

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
      {tempDir.path(), FileStatus::Unreadable},
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

}  // namespace
}  // namespace suusiki::storage
