// SPDX-License-Identifier: GPL-3.0-or-later
// The restore, the file commands, the shortcuts that reach them, and every way
// a variable file can fail without a variable being lost.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "storage/variable_file.h"
#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

using FileCommandsTest = WindowTest;

TEST_F(FileCommandsTest, ARestartFindsEveryDefinitionAgain) {
  Open();
  for (int i = 0; i < kVariableCount; ++i) {
    Select(i);
    TypeFormula(QStringLiteral("%1*①").arg(i));
    PressEnter(Text2());
  }
  window.reset();
  Open();
  for (int i = 0; i < kVariableCount; ++i) {
    EXPECT_EQ(Entry(i), QString(QChar(u'A' + i)) + QStringLiteral(": %1*①").arg(i));
  }
  EXPECT_EQ(Text2()->text(), QStringLiteral("0*①"));
  EXPECT_EQ(Label("Label1"), QString()) << "the answer line starts empty";
}

TEST_F(FileCommandsTest, ComingBackFromASecondaryWindowRestoresTheTable) {
  Write(DattPath(), FileWith({"A: 1", "B: 2"}));
  Open();
  Select(1);
  // The table in memory now differs from DATT.0DT (as after an open).
  const QString other = dir.filePath(QStringLiteral("other.0DT"));
  Write(other, FileWith({"A: 7", "B: 8"}));
  desktop.chosen = other;
  QTest::keyClick(Text2(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(Entry(0), QStringLiteral("A: 7"));

  // A message box, a dialog or another program: no restore.
  QWidget dialog;
  dialog.setObjectName(QStringLiteral("QMessageBox"));
  Activate(&dialog);
  Activate(window.get());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 7"));

  // One of the program's own windows: the table comes back from DATT.0DT.
  QWidget tosa;
  tosa.setObjectName(QStringLiteral("TOSA"));
  Activate(&tosa);
  Select(1);
  Activate(window.get());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 1"));
  EXPECT_EQ(window->state().current(), 0);
  EXPECT_EQ(Label("Label2"), QStringLiteral("A:"));
  EXPECT_EQ(Text2()->text(), QStringLiteral("1"));
  EXPECT_EQ(Combo1()->count(), 26);
}

TEST_F(FileCommandsTest, ComingBackFromAnotherProgramDoesNotRestore) {
  Write(DattPath(), FileWith({"A: 1", "B: 2"}));
  Open();
  const QString other = dir.filePath(QStringLiteral("other.0DT"));
  Write(other, FileWith({"A: 7", "B: 8"}));
  desktop.chosen = other;
  window->OpenFile();
  ASSERT_EQ(Entry(0), QStringLiteral("A: 7"));

  // From TOSA to another program (no window of this one is active then), and
  // from there back to the main window.
  QWidget tosa;
  tosa.setObjectName(QStringLiteral("TOSA"));
  Activate(&tosa);
  QApplicationStateChangeEvent away(Qt::ApplicationInactive);
  QCoreApplication::sendEvent(qApp, &away);
  QApplicationStateChangeEvent back(Qt::ApplicationActive);
  QCoreApplication::sendEvent(qApp, &back);
  Activate(window.get());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 7"));

  // Straight from TOSA it still restores.
  Activate(&tosa);
  Activate(window.get());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 1"));
}

TEST_F(FileCommandsTest, ClearAllIsNotUndoneByTheQuestionClosing) {
  Write(DattPath(), FileWith({"A: 1", "B: 2"}));
  Open();
  Select(1);
  desktop.answers = {true};
  Click("Command34");
  QWidget box;  // the question's own window comes and goes
  Activate(&box);
  Activate(window.get());
  EXPECT_EQ(window->state().current(), 1);
  EXPECT_EQ(window->state().table(), EmptyTable());
}

TEST_F(FileCommandsTest, OpenReplacesTheTableOnlyWhenTheWholeFileReads) {
  Open();
  TypeFormula(QStringLiteral("5"));
  Click("Command1");
  ASSERT_EQ(Label("Label1"), QStringLiteral("5. "));

  const QString good = dir.filePath(QStringLiteral("good.0DT"));
  Write(good, FileWith({"A: 58*3", "B: C/2.2+67"}));
  desktop.chosen = good;
  window->OpenFile();
  EXPECT_EQ(desktop.dialogs.last(), QStringLiteral("open|数式ﾌｧｲﾙ (*.0DT)|*.0DT|"));
  EXPECT_EQ(Entry(1), QStringLiteral("B: C/2.2+67"));
  EXPECT_EQ(Text2()->text(), QStringLiteral("58*3"));
  EXPECT_EQ(Label("Label1"), QString());
  EXPECT_EQ(Label("Label2"), QStringLiteral("A:"));
  EXPECT_EQ(Rows().at(1), QStringLiteral("B: C/2.2+67"));
  EXPECT_TRUE(Read(DattPath()).contains("\"A: 5\"")) << "opening does not write the auto-save file";

  const QString tenLines = dir.filePath(QStringLiteral("ten.0DT"));
  Write(tenLines, FileWith({}).left(10 * 7));
  QDir().mkdir(dir.filePath(QStringLiteral("folder.0DT")));
  const QString broken[] = {tenLines, dir.filePath(QStringLiteral("folder.0DT")),
                            dir.filePath(QStringLiteral("none.0DT"))};
  for (const QString& path : broken) {
    desktop.told.clear();
    desktop.chosen = path;
    window->OpenFile();
    EXPECT_EQ(Entry(0), QStringLiteral("A: 58*3")) << path.toStdString();
    EXPECT_EQ(Rows().at(1), QStringLiteral("B: C/2.2+67"));
    ASSERT_EQ(desktop.told.size(), 1);
    EXPECT_TRUE(desktop.told[0].startsWith(QStringLiteral("Check|")));
    EXPECT_TRUE(desktop.told[0].contains(QDir::toNativeSeparators(path))) << desktop.told[0].toStdString();
  }
  // A calculation after a failed open saves the auto-save file as usual.
  Click("Command1");
  EXPECT_TRUE(Read(DattPath()).startsWith("\"A: 58*3\"\r\n\"B: C/2.2+67\"\r\n"));

  desktop.chosen.clear();  // cancelled
  window->OpenFile();
  EXPECT_EQ(Entry(0), QStringLiteral("A: 58*3"));
}

TEST_F(FileCommandsTest, SaveAsksForANameOnlyUntilOneIsKnown) {
  Open();
  TypeFormula(QStringLiteral("58*3"));
  Click("Command1");
  const QString typed = dir.filePath(QStringLiteral("mine"));  // no extension is added
  desktop.chosen = typed;
  QTest::keyClick(Text2(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(desktop.dialogs, QStringList{QStringLiteral("save|数式ﾌｧｲﾙ (*.)|*.0DT|")});
  EXPECT_EQ(Read(typed), Read(DattPath()));
  EXPECT_FALSE(QFile::exists(typed + QStringLiteral(".0DT")));

  TypeFormula(QStringLiteral("1"));
  Click("Command1");
  QTest::keyClick(Text2(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(desktop.dialogs.size(), 1) << "the remembered name is used without a dialog";
  EXPECT_TRUE(Read(typed).startsWith("\"A: 1\"\r\n"));

  // Toolbar save in a fresh window uses the other filter.
  FakeDesktop second;
  MainWindow other(dir.filePath(QStringLiteral("second.0DT")), second.platform());
  other.SaveFile(FileCommands::kFileFilter);
  EXPECT_EQ(second.dialogs, QStringList{QStringLiteral("save|数式ﾌｧｲﾙ (*.0DT)|*.0DT|")});
}

TEST_F(FileCommandsTest, SaveAsAlwaysAsksAndTheShortcutWinsOverSelectAll) {
  Open();
  TypeFormula(QStringLiteral("12"));
  const QString first = dir.filePath(QStringLiteral("a.0DT"));
  desktop.chosen = first;
  QTest::keyClick(Text2(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(Text2()->hasSelectedText()) << "Ctrl+A is save-as, not select-all";
  desktop.chosen = dir.filePath(QStringLiteral("b.0DT"));
  Combo1()->setFocus();
  QTest::keyClick(Combo1(), Qt::Key_A, Qt::ControlModifier);
  ASSERT_EQ(desktop.dialogs.size(), 2);
  EXPECT_EQ(desktop.dialogs[1], QStringLiteral("save|数式ﾌｧｲﾙ (*.0DT)|*.0DT|") + first);
  EXPECT_TRUE(QFile::exists(first));
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("b.0DT"))));
}

TEST_F(FileCommandsTest, AFailedSaveIsReported) {
  Open();
  QDir().mkdir(dir.filePath(QStringLiteral("taken")));
  desktop.chosen = dir.filePath(QStringLiteral("taken"));
  window->SaveFileAs();
  ASSERT_EQ(desktop.told.size(), 1);
  EXPECT_TRUE(desktop.told[0].contains(QStringLiteral("保存できません")));
}

TEST_F(FileCommandsTest, AnAutoSaveThatFailsKeepsTheTableAndTellsOnce) {
  // DATT.0DT below a regular file can be neither read nor written.
  Write(dir.filePath(QStringLiteral("file")), "x");
  const QString blocked = dir.filePath(QStringLiteral("file/DATT.0DT"));
  Open(blocked);
  EXPECT_EQ(window->state().table(), EmptyTable()) << "the window starts with 26 empty variables";
  ASSERT_EQ(desktop.told.size(), 1) << "and the user is told";
  EXPECT_TRUE(desktop.told[0].contains(QDir::toNativeSeparators(blocked)));

  TypeFormula(QStringLiteral("2+3"));
  PressEnter(Text2());
  EXPECT_EQ(Label("Label1"), QStringLiteral("5. ")) << "the calculation still runs";
  EXPECT_EQ(Entry(0), QStringLiteral("A: 2+3"));
  Select(1);
  TypeFormula(QStringLiteral("7"));
  Click("Command1");
  EXPECT_EQ(desktop.told.size(), 1) << "told once until a save succeeds again";

  // While the file is behind, coming back from another window keeps the table.
  QWidget tosa;
  tosa.setObjectName(QStringLiteral("TOSA"));
  Activate(&tosa);
  Activate(window.get());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 2+3"));
  EXPECT_EQ(Entry(1), QStringLiteral("B: 7"));
}

TEST_F(FileCommandsTest, ACharacterWithoutAShiftJisFormIsReported) {
  Open();
  TypeFormula(QStringLiteral("1+1 \U0001F600"));
  PressEnter(Text2());
  EXPECT_EQ(Label("Label1"), QStringLiteral("2. "));
  ASSERT_EQ(desktop.told.size(), 1);
  EXPECT_TRUE(desktop.told[0].contains(QStringLiteral("変数A"))) << desktop.told[0].toStdString();
  TypeFormula(QStringLiteral("1+1"));
  PressEnter(Text2());
  EXPECT_TRUE(Read(DattPath()).startsWith("\"A: 1+1\"\r\n")) << "the next good save goes through";
}

TEST_F(FileCommandsTest, AHandEditedAutoSaveFileShowsWhatCanBeRead) {
  const struct {
    QByteArray bytes;
    const char* a;
    const char* c;
    int told;
  } cases[] = {
      {"\"A: 1\"\r\n\"B: 2\"\r\n", "A: 1", "C: ", 1},                                // short
      {"\"A: 1\"\r\nB: 2\r\n\"C: 3\"\r\n", "A: 1", "C: ", 1},                        // a line without quotes
      {"\"A: 1\"\r\n\"B: 2\"\r\n\"Q\"\r\n" + FileWith({}).mid(21), "A: 1", "Q", 0},  // a short entry
      {QByteArray("\0\xFF\xFE", 3), "A: ", "C: ", 1},                                // binary
  };
  for (const auto& c : cases) {
    Write(DattPath(), c.bytes);
    desktop.told.clear();
    Open();
    EXPECT_EQ(Entry(0), QString::fromLatin1(c.a));
    EXPECT_EQ(Entry(2), QString::fromLatin1(c.c));
    EXPECT_EQ(Combo1()->count(), 26);
    EXPECT_EQ(desktop.told.size(), c.told);
    Select(2);
    EXPECT_EQ(Text2()->text(), QString(QString::fromLatin1(c.c).mid(3)));
    window.reset();
  }
}

}  // namespace
}  // namespace suusiki::testing
