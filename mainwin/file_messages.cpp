// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/file_messages.h"

#include <QDir>

namespace suusiki {

using storage::FileStatus;

QString FileProblem(const storage::FileResult& result) {
  const QString letter = result.FailedLetter();
  switch (result.status) {
    case FileStatus::Ok: break;
    case FileStatus::Missing: return QStringLiteral("ファイルがありません。");
    case FileStatus::Unreadable: return QStringLiteral("ファイルを開けません（%1）。").arg(result.detail);
    case FileStatus::Short:
      return QStringLiteral("ファイルが %1 行しかありません（26 行必要です）。").arg(result.records);
    case FileStatus::Malformed:
      return QStringLiteral("%1 行目が変数の形式ではありません（%2）。").arg(result.failedRecord).arg(result.detail);
    case FileStatus::NotEncodable:
      return QStringLiteral("変数%1の「%2」は Shift-JIS で保存できない文字です。").arg(letter, result.detail);
    case FileStatus::WriteFailed: return QStringLiteral("書き込めません（%1）。").arg(result.detail);
  }
  return {};
}

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

QString AutoSaveFailedMessage(const QString& path, const storage::FileResult& result) {
  return QStringLiteral(
             "変数を自動保存できませんでした。\n%1\n%"
             "2\n変数は画面に残っています。保存できるようになるまで、計算は続けられます。")
      .arg(Shown(path), FileProblem(result));
}

QString RestoreFailedMessage(const QString& path, const storage::FileResult& result) {
  return QStringLiteral("自動保存ファイルを全部は読めませんでした。\n%1\n%2\n読めた変数だけを表示します。")
      .arg(Shown(path), FileProblem(result));
}

QString OpenFailedMessage(const QString& path, const storage::FileResult& result) {
  return QStringLiteral("ファイルを読めませんでした。\n%1\n%2\n変数は変えていません。")
      .arg(Shown(path), FileProblem(result));
}

QString SaveFailedMessage(const QString& path, const storage::FileResult& result) {
  return QStringLiteral("ファイルに保存できませんでした。\n%1\n%2").arg(Shown(path), FileProblem(result));
}

}  // namespace suusiki
