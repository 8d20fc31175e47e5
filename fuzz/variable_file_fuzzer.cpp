// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the variable file reader. A file it accepts must
// write back and read back to the same table; a file it refuses must have
// replaced exactly the records it reports and left the rest of the table alone.
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "storage/variable_file.h"

namespace {

using suusiki::VariableTable;
using namespace suusiki::storage;

const QTemporaryDir& Folder() {
  static const QTemporaryDir kFolder;
  if (!kFolder.isValid()) std::abort();
  return kFolder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString input = Folder().filePath(QStringLiteral("input"));
  const QString copy = Folder().filePath(QStringLiteral("copy"));
  {
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    const auto length = static_cast<qint64>(size);
    if (file.write(reinterpret_cast<const char*>(data), length) != length) std::abort();
  }

  const VariableTable before = suusiki::EmptyTable();
  VariableTable table = before;
  const FileResult read = ReadVariableFile(input, table);
  if (!read.ok()) {
    if (read.status != FileStatus::Short && read.status != FileStatus::Malformed) std::abort();
    if (read.records < 0 || read.records >= suusiki::kVariableCount) std::abort();
    if (read.failedRecord != read.records + 1) std::abort();
    for (int i = read.records; i < suusiki::kVariableCount; ++i) {
      if (table[i] != before[i]) std::abort();
    }
    return 0;
  }
  if (read.records != suusiki::kVariableCount) std::abort();

  // Everything the reader accepts can be written back.
  if (!WriteVariableFile(copy, table).ok()) std::abort();
  VariableTable back;
  if (!ReadVariableFile(copy, back).ok() || back != table) std::abort();
  return 0;
}
