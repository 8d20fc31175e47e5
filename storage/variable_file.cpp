// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/variable_file.h"

#include <iconv.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <bit>
#include <cerrno>
#include <cstring>

#include "version.h"

namespace suusiki::storage {
namespace {

constexpr char kCodePage[] = "CP932";
// char32_t text handed to iconv as bytes, in this machine's byte order.
constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

// Code page 932 <-> character text through glibc iconv.
class Cp932 {
 public:
  Cp932() : decoder_(iconv_open(kUtf32, kCodePage)), encoder_(iconv_open(kCodePage, kUtf32)) {}
  ~Cp932() {
    if (decoder_ != kInvalid) iconv_close(decoder_);
    if (encoder_ != kInvalid) iconv_close(encoder_);
  }
  Cp932(const Cp932&) = delete;
  Cp932& operator=(const Cp932&) = delete;

  bool available() const { return decoder_ != kInvalid && encoder_ != kInvalid; }

  // False for bytes that are not code page 932 (including a cut-off double-byte character).
  bool Decode(QByteArrayView bytes, Text& text) {
    text.resize(static_cast<std::size_t>(bytes.size()));  // never more characters than bytes
    std::size_t written = 0;
    if (!Run(decoder_, bytes.data(), static_cast<std::size_t>(bytes.size()), reinterpret_cast<char*>(text.data()),
             text.size() * sizeof(char32_t), written)) {
      return false;
    }
    text.resize(written / sizeof(char32_t));
    return true;
  }

  // False when a character has no code page 932 form. iconv maps some characters
  // best-fit (U+00A5 to the backslash byte, U+301C to the full-width tilde); those
  // count as having none, so the text must come back unchanged from its bytes.
  bool Encode(TextView text, QByteArray& bytes) {
    bytes.resize(static_cast<qsizetype>(text.size()) * 2);  // at most two bytes a character
    std::size_t written = 0;
    if (!Run(encoder_, reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char32_t), bytes.data(),
             static_cast<std::size_t>(bytes.size()), written)) {
      return false;
    }
    bytes.resize(static_cast<qsizetype>(written));
    Text back;
    return Decode(bytes, back) && back == text;
  }

 private:
  // iconv_open's error value, (iconv_t)-1, as its manual gives it.
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

  static bool Run(iconv_t cd, const char* in, std::size_t inSize, char* out, std::size_t outSize,
                  std::size_t& written) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in);  // iconv does not write through it
    char* outPtr = out;
    std::size_t outLeft = outSize;
    if (iconv(cd, &inPtr, &inSize, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      return false;
    }
    written = outSize - outLeft;
    return true;
  }

  iconv_t decoder_;
  iconv_t encoder_;
};

const QString kNoCodec = QStringLiteral("code page 932 conversion is not available");

QString CodePointName(char32_t c) {
  return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

// The character itself, or its code point when it is not a Unicode scalar value.
QString CharacterText(char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return CodePointName(c);
  return QString::fromUcs4(&c, 1);
}

struct Unwritable {
  DetailKind kind = DetailKind::None;
  QString text;
};

// Why `entry` cannot go into a variable file (kind None when it can); its bytes in `bytes`.
Unwritable EncodeEntry(Cp932& codec, TextView entry, QByteArray& bytes) {
  for (char32_t c : entry) {
    if (c == U'\r' || c == U'\n') return {DetailKind::LineBreak, QStringLiteral("line break")};
    if (c == U'\0') return {DetailKind::Nul, QStringLiteral("NUL")};
  }
  if (codec.Encode(entry, bytes)) return {};
  QByteArray scratch;
  for (const char32_t& c : entry) {
    if (!codec.Encode(TextView(&c, 1), scratch)) return {DetailKind::Character, CharacterText(c)};
  }
  return {DetailKind::Text, QString::fromStdU32String(Text(entry))};
}

FileResult Failed(FileStatus status, int records, int failedRecord, const QString& detail,
                  DetailKind kind = DetailKind::Text) {
  return {status, records, failedRecord, detail, detail.isEmpty() ? DetailKind::None : kind};
}

enum class LineOutcome { Line, End, TooLong, Error };

// The next line without its line end (LF, or CR LF).
LineOutcome ReadLine(QFile& file, QByteArray& line) {
  // Room for the longest line and its CR LF, whether readLine() counts the
  // limit with or without a terminating NUL.
  line = file.readLine(kMaxLineBytes + 3);
  if (file.error() != QFileDevice::NoError) return LineOutcome::Error;
  if (line.isEmpty()) return LineOutcome::End;
  if (line.endsWith('\n')) {
    line.chop(line.endsWith("\r\n") ? 2 : 1);
  } else if (line.size() >= kMaxLineBytes + 2) {
    return LineOutcome::TooLong;  // no line end yet, even after a CR
  }
  // Otherwise the last line, without a line end.
  return line.size() > kMaxLineBytes ? LineOutcome::TooLong : LineOutcome::Line;
}

// The entry between the first and the last double quote of `line`; why the
// line is no record otherwise. 0x22 is never a trail byte of a double-byte
// character, so a byte search finds the quotes.
QString ParseRecord(Cp932& codec, const QByteArray& line, Text& entry) {
  if (line.contains('\0')) return QStringLiteral("a NUL byte");
  const qsizetype first = line.indexOf('"');
  const qsizetype last = line.lastIndexOf('"');
  if (first < 0 || first == last) return QStringLiteral("no pair of double quotes");
  const QByteArrayView inner = QByteArrayView(line).sliced(first + 1, last - first - 1);
  // A carriage return inside the quotes could never be written back.
  if (inner.contains('\r')) return QStringLiteral("a carriage return inside the quotes");
  if (!codec.Decode(inner, entry)) return QStringLiteral("bytes that are not code page 932");
  return {};
}

QString InFolder(const QString& folder, const QString& name) {
  return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace

FileResult WriteVariableFile(const QString& path, const VariableTable& table, const DiskSteps& steps) {
  Cp932 codec;
  if (!codec.available()) return Failed(FileStatus::WriteFailed, 0, 0, kNoCodec);

  // Every record is encoded before the disk is touched.
  QByteArray contents;
  QByteArray bytes;
  for (int i = 0; i < kVariableCount; ++i) {
    const Unwritable problem = EncodeEntry(codec, table[i], bytes);
    if (problem.kind != DetailKind::None) {
      return Failed(FileStatus::NotEncodable, 0, i + 1, problem.text, problem.kind);
    }
    contents += '"';
    contents += bytes;
    contents += "\"\r\n";
  }

  QString error;
  if (!WriteAtomically(path, contents, &error, steps)) return Failed(FileStatus::WriteFailed, 0, 0, error);
  return {FileStatus::Ok, kVariableCount, 0, {}};
}

FileResult ReadVariableFile(const QString& path, VariableTable& table) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return Failed(FileStatus::Missing, 0, 0, {});
    return Failed(FileStatus::Unreadable, 0, 0, QString::fromLocal8Bit(std::strerror(error)));
  }
  if (S_ISDIR(info.st_mode)) {
    return Failed(FileStatus::Unreadable, 0, 0, QString::fromLocal8Bit(std::strerror(EISDIR)));
  }
  // Opening a pipe would wait for a writer.
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    return Failed(FileStatus::Unreadable, 0, 0, QStringLiteral("not a regular file"));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return Failed(FileStatus::Unreadable, 0, 0, file.errorString());
  }
  Cp932 codec;
  if (!codec.available()) return Failed(FileStatus::Unreadable, 0, 0, kNoCodec);

  QByteArray line;
  for (int i = 0; i < kVariableCount; ++i) {
    switch (ReadLine(file, line)) {
      case LineOutcome::Line: break;
      case LineOutcome::End: return Failed(FileStatus::Short, i, i + 1, {});
      case LineOutcome::Error: return Failed(FileStatus::Unreadable, i, i + 1, file.errorString());
      case LineOutcome::TooLong:
        return Failed(FileStatus::Malformed, i, i + 1,
                      QStringLiteral("a line longer than %1 bytes").arg(kMaxLineBytes));
    }
    Text entry;
    const QString problem = ParseRecord(codec, line, entry);
    if (!problem.isEmpty()) return Failed(FileStatus::Malformed, i, i + 1, problem);
    table[i] = std::move(entry);
  }
  return {FileStatus::Ok, kVariableCount, 0, {}};
}

std::optional<VariableFileWriter::Stamp> VariableFileWriter::StampOf(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  return Stamp{info.st_ino, static_cast<unsigned long long>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

FileResult VariableFileWriter::Write(const VariableTable& table) {
  if (stamp_ && table == table_ && StampOf(path_) == stamp_) return {FileStatus::Ok, kVariableCount, 0, {}};
  FileResult result = WriteVariableFile(path_, table, steps_);
  ++writes_;
  stamp_ = result.ok() ? StampOf(path_) : std::nullopt;
  if (stamp_) table_ = table;
  return result;
}

bool IsInstalledProgramFolder(const QString& programFolder) {
  const QString metainfo = QStringLiteral("%1/metainfo/%2.metainfo.xml")
                               .arg(QString::fromLatin1(kDataDirFromProgramDir), QString::fromLatin1(kApplicationId));
  return QFileInfo::exists(InFolder(programFolder, metainfo));
}

QString AutoSavePathIn(const QString& programFolder, const QString& dataFolder) {
  const QString name = QString::fromLatin1(kAutoSaveFileName);
  const QFileInfo program(programFolder);
  if (program.isDir() && program.isWritable() && !IsInstalledProgramFolder(programFolder)) {
    return InFolder(programFolder, name);
  }
  QDir().mkpath(dataFolder);  // a failure shows when the file is written
  return InFolder(dataFolder, name);
}

QString AutoSavePath() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return AutoSavePathIn(QCoreApplication::applicationDirPath(), InFolder(data, QStringLiteral("suusiki")));
}

QString FileResult::FailedLetter() const {
  return failedRecord >= 1 && failedRecord <= kVariableCount ? QString(QChar(u'A' + failedRecord - 1)) : QString();
}

std::string DescribeFailure(const FileResult& result, const QString& path) {
  const QString record = QString::number(result.failedRecord);
  const QString letter = result.FailedLetter().isEmpty() ? QStringLiteral("?") : result.FailedLetter();
  QString what;
  switch (result.status) {
    case FileStatus::Ok: what = QStringLiteral("%1 records, no failure").arg(result.records); break;
    case FileStatus::Missing: what = QStringLiteral("no such file"); break;
    case FileStatus::Unreadable: what = QStringLiteral("cannot be read (%1)").arg(result.detail); break;
    case FileStatus::Short:
      what = QStringLiteral("the file ends after %1 of %2 records").arg(result.records).arg(kVariableCount);
      break;
    case FileStatus::Malformed:
      what = QStringLiteral("record %1 is not a quoted entry (%2)").arg(record, result.detail);
      break;
    case FileStatus::NotEncodable:
      if (result.detailKind == DetailKind::LineBreak || result.detailKind == DetailKind::Nul) {
        what = QStringLiteral("the entry for %1 contains a %2, which a variable file cannot hold")
                   .arg(letter, result.detail);
      } else {
        const QList<uint> codePoints = result.detail.toUcs4();
        const QString code =
            codePoints.size() == 1 ? QStringLiteral(" (%1)").arg(CodePointName(codePoints[0])) : QString();
        what = QStringLiteral("the entry for %1 contains \"%2\"%3, which has no code page 932 form")
                   .arg(letter, result.detail, code);
      }
      break;
    case FileStatus::WriteFailed: what = QStringLiteral("cannot be written (%1)").arg(result.detail); break;
  }
  // The name as the bytes that name the file.
  return QFile::encodeName(path).toStdString() + ": " + what.toStdString();
}

}  // namespace suusiki::storage
