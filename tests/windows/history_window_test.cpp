// SPDX-License-Identifier: GPL-3.0-or-later
// The window "計算の履歴": every calculation of the main window in order, a
// formula handed back to the formula box, copying, removing and clearing
// rows, saving and printing, and the table of variables never touched.
#include "history/history_window.h"

#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <cerrno>
#include <csignal>

#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

const QString kLongest = QString(249, QLatin1Char('(')) + u'1' + QString(249, QLatin1Char(')'));

class HistoryWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w != window.get()) w->close();
    }
  }
  // The main window with the printer below, and the history opened with Ctrl+H.
  history::HistoryWindow* OpenHistory() {
    if (!window) {
      Platform platform = desktop.platform();
      platform.printer = &printer;
      window = std::make_unique<MainWindow>(DattPath(), platform);
      Activate(window.get());
    }
    Text2()->setFocus();
    QTest::keyClick(Text2(), Qt::Key_H, Qt::ControlModifier);
    history::HistoryWindow* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("HISTORY") && w->isVisible()) {
        EXPECT_EQ(shown, nullptr) << "one history window";
        shown = qobject_cast<history::HistoryWindow*>(w);
      }
    }
    EXPECT_NE(shown, nullptr);
    if (shown != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
    }
    return shown;
  }
  void Calculate(int row, const QString& formula) const {
    Select(row);
    TypeFormula(formula);
    Click("Command1");
  }
  static QTableWidget* Table(QWidget* history) { return FindIn<QTableWidget>(history, QStringLiteral("Entries")); }
  // Each row's variable, formula and answer, a tab between them.
  static QStringList Shown(QWidget* history) {
    QTableWidget* table = Table(history);
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
      EXPECT_TRUE(
          QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(table->item(r, 0)->text()).hasMatch());
      EXPECT_EQ(table->item(r, 3)->textAlignment(), Qt::AlignRight | Qt::AlignVCenter);
      rows << QStringList{table->item(r, 1)->text(), table->item(r, 2)->text(), table->item(r, 3)->text()}.join(u'\t');
    }
    return rows;
  }
  static void PressIn(QWidget* history, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Table(history)->setFocus();
    QTest::keyClick(Table(history), key, modifiers);
  }
  static void SelectRows(QWidget* history, std::initializer_list<int> rows) {
    QTableWidget* table = Table(history);
    table->clearSelection();
    for (int r : rows) {
      table->selectionModel()->select(table->model()->index(r, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  FakePrinter printer;
};

TEST_F(HistoryWindowTest, EveryCalculationOfTheMainWindowIsOneRowInOrder) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(history->windowTitle(), QStringLiteral("計算の履歴"));
  Calculate(0, QStringLiteral("1+2"));
  Select(1);
  TypeFormula(QStringLiteral("5/0"));
  PressEnter(Text2());
  Select(2);
  TypeFormula(QStringLiteral("2*3"));
  Combo1()->lineEdit()->setText(QStringLiteral("2*3"));
  Combo1()->setFocus();
  PressEnter(Combo1()->lineEdit());
  Calculate(3, kLongest);
  Calculate(4, QStringLiteral("1+한😀"));  // kept, though DATT.0DT can't hold it
  Calculate(0, QStringLiteral("X^2-8*X+12"));
  Text1()->setText(QStringLiteral("10"));
  Click("Command38");  // one row for the whole Newton run
  Calculate(0, QStringLiteral("5"));
  Click("Command38");
  // The series windows are no calculate command.
  QWidget* tosa = window->ShowWindow(SecondaryWindow::ArithmeticSeries);
  QTest::mouseClick(FindIn<QPushButton>(tosa, QStringLiteral("Command1")), Qt::LeftButton);
  tosa->close();

  EXPECT_EQ(Shown(history), (QStringList{
                                QStringLiteral("A\t1+2\t3. "),
                                QStringLiteral("B\t5/0\t文法エラー！0で除算"),
                                QStringLiteral("C\t2*3\t6. "),
                                QStringLiteral("D\t") + kLongest + QStringLiteral("\t1. "),
                                QStringLiteral("E\t1+한😀\t文法エラー！"),
                                QStringLiteral("A\tX^2-8*X+12\t12. "),
                                QStringLiteral("A\tX^2-8*X+12\tX=6.0 "),
                                QStringLiteral("A\t5\t5. "),
                                QStringLiteral("A\t5\t変数Ａ欄に 方程式を X で入力せよ！"),
                            }));
  QTableWidget* table = Table(history);
  EXPECT_EQ(table->currentRow(), table->rowCount() - 1) << "the newest row is current";
  EXPECT_TRUE(table->viewport()->rect().intersects(table->visualItemRect(table->item(table->rowCount() - 1, 0))))
      << "and in view";
  EXPECT_EQ(window->ShowWindow(SecondaryWindow::History), history) << "one window, brought to the front";
}

TEST_F(HistoryWindowTest, EnterOrADoubleClickPutsTheFormulaIntoTheBoxAndNothingElse) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  Calculate(0, QStringLiteral("1+2"));
  Calculate(1, QStringLiteral("B*0+Sqr(16)"));
  Calculate(2, QStringLiteral("7"));
  const struct {
    const char* how;
    int row;
    const char* formula;
  } cases[] = {{"Enter", 1, "B*0+Sqr(16)"}, {"double-click", 0, "1+2"}, {"Enter on the last", 2, "7"}};
  for (const auto& c : cases) {
    Select(3);
    const VariableTable table = window->state().table();
    const int writes = window->autoSave().writes();
    Activate(history);
    Table(history)->setCurrentCell(c.row, 2);
    if (c.how[0] == 'E') {
      PressIn(history, Qt::Key_Return);
    } else {
      QTableWidget* t = Table(history);
      const QPoint at = t->visualItemRect(t->item(c.row, 2)).center();
      QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
      QTest::mouseDClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    EXPECT_EQ(Text2()->text(), QString::fromUtf8(c.formula)) << c.how;
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get())) << c.how;
    EXPECT_TRUE(Text2()->hasFocus()) << c.how;
    EXPECT_EQ(window->state().table(), table) << c.how << ": not stored";
    EXPECT_EQ(window->autoSave().writes(), writes) << c.how;
    EXPECT_EQ(Label("Label2"), QStringLiteral("D: ")) << c.how << ": for the current variable";
    EXPECT_EQ(Label("Label1"), QStringLiteral("7. ")) << c.how << ": not calculated";
    EXPECT_EQ(Shown(history).size(), 3) << c.how;
  }
}

TEST_F(HistoryWindowTest, RowsAreCopiedRemovedAndClearedFromTheKeyboard) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  for (const char* f : {"1", "2", "3", "4"}) Calculate(0, QString::fromLatin1(f));
  SelectRows(history, {2, 0});
  PressIn(history, Qt::Key_C, Qt::ControlModifier);
  const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
  ASSERT_EQ(copied.size(), 3);
  EXPECT_TRUE(copied[0].endsWith(QStringLiteral("\tA\t1\t1. "))) << copied[0].toStdString();
  EXPECT_TRUE(copied[1].endsWith(QStringLiteral("\tA\t3\t3. ")));
  EXPECT_EQ(copied[2], QString()) << "each line ends with a line break";

  PressIn(history, Qt::Key_Delete);
  EXPECT_EQ(Shown(history), (QStringList{QStringLiteral("A\t2\t2. "), QStringLiteral("A\t4\t4. ")}));
  EXPECT_EQ(window->history().entries().size(), 2u);
  EXPECT_EQ(Table(history)->currentRow(), 0);

  const struct {
    const char* how;
    bool answer;
    int left;
    bool asked = true;
  } clears[] = {{"Ctrl+L", false, 2}, {"button", false, 2}, {"button", true, 0}, {"Ctrl+L", true, 0, false}};
  for (const auto& c : clears) {
    desktop.asked.clear();
    desktop.answers = {c.answer};
    if (c.how[0] == 'C') {
      PressIn(history, Qt::Key_L, Qt::ControlModifier);
    } else {
      QTest::mouseClick(FindIn<QPushButton>(history, QStringLiteral("Clear")), Qt::LeftButton);
    }
    EXPECT_EQ(Shown(history).size(), c.left) << c.how;
    // Nothing to clear: no question.
    EXPECT_EQ(desktop.asked,
              c.asked ? QStringList{QStringLiteral("Check|本当に履歴を全部消去してよろしいですか？")} : QStringList())
        << c.how;
  }
  EXPECT_EQ(Entry(0), QStringLiteral("A: 4")) << "the table of variables stays";
  PressIn(history, Qt::Key_Escape);
  EXPECT_FALSE(history->isVisible()) << "Esc closes the window";
}

TEST_F(HistoryWindowTest, TheLastThousandAreShownAndTheOldestGoes) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  MainState state;
  QTableWidget* table = Table(history);
  for (int i = 1; i <= 1002; ++i) {
    state.TypeInFormulaBox(Ascii(std::to_string(i)));
    state.Calculate();
    window->history().AddCalculation(state);
    if (i == 1 || i == 1000 || i == 1001) history->Refresh();
    if (i == 1001) {
      EXPECT_EQ(table->currentRow(), 999) << "the current row followed the newest";
      table->setCurrentCell(5, 0);  // the user went up
      table->scrollToTop();
    }
  }
  history->Refresh();
  const QStringList rows = Shown(history);
  ASSERT_EQ(rows.size(), 1000);
  EXPECT_EQ(rows.front(), QStringLiteral("A\t3\t3. "));
  EXPECT_EQ(rows.back(), QStringLiteral("A\t1002\t1,002. "));
  EXPECT_EQ(table->item(table->currentRow(), 2)->text(), QStringLiteral("7")) << "stays on its entry";
  EXPECT_TRUE(table->viewport()->rect().intersects(table->visualItemRect(table->item(999, 0))))
      << "the newest is in view";
}

TEST_F(HistoryWindowTest, SavingWritesTheHistoryOrSaysWhyNotAndLosesNothing) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  Calculate(0, QStringLiteral("1+2"));
  Calculate(1, QStringLiteral("1+한"));
  const QByteArray saved = QByteArray::fromStdString(history::TabSeparatedText(window->history()));
  ASSERT_TRUE(saved.startsWith("時刻\t変数\t数式\t答え\n"));
  ASSERT_TRUE(saved.contains("\tB\t1+한\t文法エラー！\n")) << "UTF-8, characters outside Shift-JIS kept";
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));
  Write(dir.filePath(QStringLiteral("old.txt")), "old");
  const struct {
    const char* chosen;
    const char* written;  // nullptr: a message, and the file as it was
    rlim_t sizeLimit = RLIM_INFINITY;
  } cases[] = {
      {"h.tsv", "h.tsv"},
      {"plain", "plain.txt"},
      {"old.txt", "old.txt"},  // replaced
      {"", nullptr},           // cancelled: no message either
      {"missing/h.txt", nullptr},
      {"folder.txt", nullptr},
      {"old.txt", nullptr, 16},  // a full disk
  };
  for (const auto& c : cases) {
    Write(dir.filePath(QStringLiteral("old.txt")), "old");
    desktop.chosen = *c.chosen ? dir.filePath(QString::fromUtf8(c.chosen)) : QString();
    desktop.told.clear();
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    limit.rlim_cur = c.sizeLimit;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    QTest::mouseClick(FindIn<QPushButton>(history, QStringLiteral("Save")), Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(desktop.dialogs.last().section(u'|', 0, 2), QStringLiteral("save|計算の履歴 (*.txt *.tsv)|*.txt *.tsv"));
    EXPECT_EQ(window->history().entries().size(), 2u) << c.chosen;
    if (c.written != nullptr) {
      EXPECT_TRUE(desktop.told.isEmpty()) << c.chosen;
      EXPECT_EQ(Read(dir.filePath(QString::fromUtf8(c.written))), saved) << c.chosen;
      continue;
    }
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("old.txt"))), "old") << c.chosen;
    EXPECT_EQ(desktop.told.size(), *c.chosen ? 1 : 0) << c.chosen;
    if (!desktop.told.isEmpty()) {
      EXPECT_TRUE(desktop.told[0].startsWith(QStringLiteral("計算の履歴|履歴を保存できませんでした。"))) << c.chosen;
    }
  }
  // A disk that fails as the file is synced: the old file stays.
  const storage::DiskSteps failing{[](QFileDevice&) { return true; },
                                   [](int) {
                                     errno = ENOSPC;
                                     return -1;
                                   },
                                   [](const char*) { return 0; }};
  QString error;
  EXPECT_FALSE(history::WriteHistoryFile(dir.filePath(QStringLiteral("old.txt")), window->history(), &error, failing));
  EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
  EXPECT_EQ(Read(dir.filePath(QStringLiteral("old.txt"))), "old");
}

TEST_F(HistoryWindowTest, PrintingPutsAnEntryALineOnAsManyPagesAsItTakes) {
  history::HistoryWindow* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  Calculate(0, QStringLiteral("58*3"));
  Calculate(1, QStringLiteral("5/0"));
  QTest::mouseClick(FindIn<QPushButton>(history, QStringLiteral("Print")), Qt::LeftButton);
  ASSERT_EQ(printer.printed.size(), 1u);
  const QStringList& page = printer.printed[0];
  ASSERT_EQ(page.size(), 5);
  EXPECT_EQ(page[1], QStringLiteral("　　計算の履歴"));
  EXPECT_TRUE(page[3].endsWith(QStringLiteral("　A: 58*3　= 174. "))) << page[3].toStdString();
  EXPECT_TRUE(page[4].endsWith(QStringLiteral("　B: 5/0　= 文法エラー！0で除算")));

  // Without a printer, the PDF: a hundred entries take more than a page.
  MainState state;
  for (int i = 3; i <= 100; ++i) {
    state.TypeInFormulaBox(Ascii(std::to_string(i)));
    state.Calculate();
    window->history().AddCalculation(state);
  }
  printer.works = false;
  const QString pdf = dir.filePath(QStringLiteral("history.pdf"));
  desktop.chosen = pdf;
  desktop.answers = {true};
  PressIn(history, Qt::Key_P, Qt::ControlModifier);
  ASSERT_EQ(printer.pdfs, QStringList{pdf});
  EXPECT_TRUE(desktop.asked.last().startsWith(QStringLiteral("印刷|印刷できませんでした。")));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) is needed";
  const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
  EXPECT_GT(pages.size(), 1);
  EXPECT_TRUE(pages.front().contains(QStringLiteral("A: 58*3"))) << pages.front().toStdString();
  EXPECT_TRUE(pages.back().contains(QStringLiteral("A: 100"))) << pages.back().toStdString();
}

}  // namespace
}  // namespace suusiki::testing
