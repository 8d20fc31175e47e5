// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows get from the desktop: where the companion program is found,
// Qt's own texts in Japanese, a window brought to the front, work left until a
// window's first picture is drawn, and the module that prints.
#include "ui/platform.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "ui/events.h"
#include "ui/output.h"

namespace suusiki {
namespace {

void MakeProgram(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\n");
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(FindProgramTest, BesideTheProgramFirstThenOnThePath) {
  QTemporaryDir folder, path;
  const QString beside = folder.filePath(QStringLiteral("soroban"));
  const QString onPath = path.filePath(QStringLiteral("soroban"));
  // In neither: the path beside the program, for the message that names it.
  EXPECT_EQ(FindProgram(folder.path(), QStringLiteral("soroban"), {path.path()}), beside);
  MakeProgram(onPath);
  EXPECT_EQ(FindProgram(folder.path(), QStringLiteral("soroban"), {path.path()}), onPath);
  MakeProgram(beside);
  EXPECT_EQ(FindProgram(folder.path(), QStringLiteral("soroban"), {path.path()}), beside);
  // A file beside that can't run does not count.
  QFile(beside).setPermissions(QFile::ReadOwner);
  EXPECT_EQ(FindProgram(folder.path(), QStringLiteral("soroban"), {path.path()}), onPath);
}

TEST(OutputModuleTest, FoundThroughTheRunPathOrWhyNot) {
  QString error;
  const output::Functions* functions = output::Load(&error);
  ASSERT_NE(functions, nullptr) << error.toStdString();
  error = QStringLiteral("an earlier failure");
  EXPECT_EQ(output::Load(&error), functions);
  EXPECT_EQ(error, QStringLiteral("an earlier failure"));  // left as it was
  struct Case {
    const char* module;
    const char* says;
  };
  for (const Case& c : {Case{"libsuusiki-nowhere.so", "を読み込めません"},
                        Case{"libc.so.6", "このプログラムの版のものではありません"}}) {
    error.clear();
    EXPECT_EQ(output::Load(&error, c.module), nullptr) << c.module;
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.module))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
  }
}

TEST(JapaneseQtTextsTest, DialogButtonsReadJapanese) {
  ASSERT_TRUE(InstallJapaneseQtTexts()) << "qt6-translations-l10n is installed by scripts/setup";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
}

TEST(BringToFrontTest, AMinimisedWindowIsRestoredAndShown) {
  QWidget window;
  window.showMinimized();
  BringToFront(&window);
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(window.isVisible());
}

TEST(AfterFirstPaintTest, RunsOnceWhenTheFirstPictureIsDrawn) {
  struct Canvas : QWidget {
    int paints = 0;
    void paintEvent(QPaintEvent* /*event*/) override { ++paints; }
  } window;
  int runs = 0;
  int paintsBefore = -1;
  AfterFirstPaint(&window, [&] {
    ++runs;
    paintsBefore = window.paints;
  });
  window.setWindowTitle(QStringLiteral("before"));  // an event, but no picture
  QCoreApplication::processEvents();
  EXPECT_EQ(runs, 0);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTRY_COMPARE(runs, 1);
  EXPECT_EQ(paintsBefore, 1) << "after the first picture, which the window itself drew";
  window.repaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(runs, 1) << "once only";
}

}  // namespace
}  // namespace suusiki
