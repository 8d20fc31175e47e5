// SPDX-License-Identifier: GPL-3.0-or-later
// Variable files in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "storage/variable_file.h"

namespace suusiki::storage {

inline const QByteArray kOldFile = "\"A: old\"\r\n";

class VariableFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return tempDir.filePath(name); }
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
    return QDir(tempDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
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

  QTemporaryDir tempDir;
};

}  // namespace suusiki::storage
