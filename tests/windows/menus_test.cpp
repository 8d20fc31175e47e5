// SPDX-License-Identifier: GPL-3.0-or-later
// The menus, their shortcut keys from every box, the toolbar, the program's
// other windows, the companion calculator and printing.
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QToolButton>

#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

class MenusTest : public WindowTest {
 protected:
  MainWindow& OpenWithPrinter() {
    platform = desktop.platform();  // the companion is looked for beside the tests
    platform.printer = &printer;
    platform.startProgram = [this](const QString& program, QString* error) {
      started << program;
      *error = QStringLiteral("ファイルがありません。");
      return companionRuns;
    };
    window = std::make_unique<MainWindow>(DattPath(), platform);
    Activate(window.get());
    return *window;
  }
  // The open window of the program named `name`, if any.
  QWidget* Shown(const char* name) const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
  }
  void CloseOthers() const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w != window.get()) w->close();
    }
  }

  Platform platform;
  FakePrinter printer;
  QStringList started;
  bool companionRuns = true;
};

TEST_F(MenusTest, MenusHaveTheirCaptionsAccessKeysSeparatorsAndShortcuts) {
  OpenWithPrinter();
  const struct {
    const char* menu;
    const char* caption;
    std::vector<std::pair<const char*, const char*>> items;  // name, caption; shortcuts below
  } menus[] = {
      {"M1",
       "ﾌｧｲﾙ(&F)",
       {{"M11", "ﾌｧｲﾙを開く(&O)"},
        {"M12", "-"},
        {"M13", "上書き保存(&S)"},
        {"M14", "名前を付けて保存(&A)"},
        {"M15", "-"},
        {"M16", "印刷(&P)"},
        {"M17", "-"},
        {"M18", "終了(&X)"}}},
      {"M2",
       "ﾂｰﾙ(&T)",
       {{"M21", "ソロバン(&D)"},
        {"M23", "-"},
        {"M24", "等差数列の和(&S)"},
        {"M25", "等比数列の和(&H)"},
        {"M26", "グラフ(&G)"},
        {"M27", "計算の履歴(&I)"}}},
      {"M30",
       "ﾍﾙﾌﾟ(&H)",
       {{"M31", "ｶﾙﾒﾛの説明(&R)"}, {"M32", "ﾆｭｰﾄﾝ法の説明(&N)"}, {"M33", "-"}, {"M34", "ﾊﾞｰｼﾞｮﾝ情報(&V)"}}},
  };
  const QList<QAction*> bar = window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  for (std::size_t m = 0; m < std::size(menus); ++m) {
    QMenu* menu = bar[static_cast<qsizetype>(m)]->menu();
    EXPECT_EQ(menu->objectName(), QLatin1String(menus[m].menu));
    EXPECT_EQ(menu->title(), QString::fromUtf8(menus[m].caption));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(static_cast<std::size_t>(items.size()), menus[m].items.size());
    for (std::size_t i = 0; i < menus[m].items.size(); ++i) {
      const auto& [name, caption] = menus[m].items[i];
      EXPECT_EQ(items[static_cast<qsizetype>(i)]->objectName(), QLatin1String(name));
      if (QString::fromUtf8(caption) == QLatin1String("-")) {
        EXPECT_TRUE(items[static_cast<qsizetype>(i)]->isSeparator()) << name;
      } else {
        EXPECT_EQ(items[static_cast<qsizetype>(i)]->text(), QString::fromUtf8(caption)) << name;
      }
    }
  }
  const std::pair<const char*, const char*> shortcuts[] = {
      {"M11", "Ctrl+O"}, {"M13", "Ctrl+S"}, {"M14", "Ctrl+A"}, {"M16", "Ctrl+P"}, {"M18", "Ctrl+X"},
      {"M21", "Ctrl+D"}, {"M24", "Ctrl+B"}, {"M25", "Ctrl+C"}, {"M26", "Ctrl+G"}, {"M27", "Ctrl+H"},
      {"M31", "Ctrl+R"}, {"M32", "Ctrl+N"}, {"M34", "Ctrl+V"},
  };
  for (const auto& [name, keys] : shortcuts) {
    auto* action = window->findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(keys))) << name;
  }
}

TEST_F(MenusTest, ShortcutsRunTheMenuCommandsFromEveryBox) {
  OpenWithPrinter();
  desktop.answers = {false, false, false};  // cancel the print questions
  const char* const boxes[] = {"Text2", "Text1", "Combo1"};
  for (int b = 0; b < 3; ++b) {
    const char* box = boxes[b];
    const auto press = [&](Qt::Key key) {
      QWidget* target = Find(QLatin1String(box));
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
      target->setFocus();
      if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->setText(QStringLiteral("12"));
      QTest::keyClick(target, key, Qt::ControlModifier);
    };
    press(Qt::Key_C);
    EXPECT_NE(Shown("TOHI"), nullptr) << box << ": Ctrl+C opens the geometric series";
    press(Qt::Key_V);
    EXPECT_NE(Shown("VER"), nullptr) << box << ": Ctrl+V opens the version";
    press(Qt::Key_B);
    EXPECT_NE(Shown("TOSA"), nullptr) << box;
    press(Qt::Key_R);
    EXPECT_NE(Shown("READ2"), nullptr) << box;
    press(Qt::Key_N);
    EXPECT_NE(Shown("READ1"), nullptr) << box;
    press(Qt::Key_G);
    EXPECT_NE(Shown("GRAPH"), nullptr) << box;
    press(Qt::Key_H);
    EXPECT_NE(Shown("HISTORY"), nullptr) << box;
    CloseOthers();
    const int quits = desktop.quits;
    press(Qt::Key_X);
    EXPECT_EQ(desktop.quits, quits + 1) << box << ": Ctrl+X ends the program";
    const int dialogs = static_cast<int>(desktop.dialogs.size());
    press(Qt::Key_A);
    EXPECT_EQ(desktop.dialogs.size(), dialogs + 1) << box << ": Ctrl+A is save-as";
    press(Qt::Key_O);
    EXPECT_EQ(desktop.dialogs.size(), dialogs + 2) << box;
    press(Qt::Key_D);
    EXPECT_EQ(started.size(), b + 1) << box;
    const int asked = static_cast<int>(desktop.asked.size());
    press(Qt::Key_P);
    EXPECT_EQ(desktop.asked.size(), asked + 1) << box;
    if (auto* edit = qobject_cast<QLineEdit*>(Find(QLatin1String(box)))) {
      EXPECT_EQ(edit->text(), QStringLiteral("12")) << box << ": nothing was cut";
      EXPECT_FALSE(edit->hasSelectedText()) << box;
    }
  }
  CloseOthers();
}

TEST_F(MenusTest, EachOtherWindowExistsOnceAndIsBroughtToTheFront) {
  OpenWithPrinter();
  QWidget* tosa = window->ShowWindow(SecondaryWindow::ArithmeticSeries);
  ASSERT_NE(tosa, nullptr);
  auto* first = tosa->findChild<QLineEdit*>(QStringLiteral("Text1"));
  first->setText(QStringLiteral("5"));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->findChild<QAction*>(QStringLiteral("M24"))->trigger();
  EXPECT_EQ(Shown("TOSA"), tosa);
  EXPECT_EQ(first->text(), QStringLiteral("5")) << "the entries are kept";
  EXPECT_TRUE(QTest::qWaitForWindowActive(tosa));
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == QLatin1String("TOSA");
  EXPECT_EQ(count, 1);

  // "?" beside the start point opens the Newton-method help.
  Click("Command39");
  EXPECT_NE(Shown("READ1"), nullptr);
  CloseOthers();
}

TEST_F(MenusTest, ComingBackFromTheSeriesWindowRestoresTheTable) {
  Write(DattPath(), FileWith({"A: 1"}));
  OpenWithPrinter();
  Select(3);
  QWidget* tosa = window->ShowWindow(SecondaryWindow::ArithmeticSeries);
  ASSERT_TRUE(QTest::qWaitForWindowActive(tosa));
  VariableTable changed = window->state().table();  // as after an open
  changed[0] = U"A: changed in memory";
  window->state().LoadTable(changed);
  window->state().SelectRow(3);
  QTest::mouseClick(tosa->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);  // 戻る
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(Entry(0), QStringLiteral("A: 1"));
  EXPECT_EQ(window->state().current(), 0);
  EXPECT_EQ(Shown("TOSA"), nullptr);
}

TEST_F(MenusTest, ExitEndsTheProgramWithOtherWindowsOpen) {
  OpenWithPrinter();
  window->ShowWindow(SecondaryWindow::GeometricSeries);
  window->findChild<QAction*>(QStringLiteral("M18"))->trigger();
  EXPECT_EQ(desktop.quits, 1);
  EXPECT_TRUE(desktop.asked.isEmpty());
  CloseOthers();
}

TEST_F(MenusTest, ToolbarButtonsHavePicturesTipsAndCommands) {
  OpenWithPrinter();
  auto* toolbar = Find(QStringLiteral("Toolbar1"));
  EXPECT_EQ(toolbar->parentWidget()->objectName(), QStringLiteral("Frame4"));
  const char* const tips[] = {"ﾌｧｲﾙを開く", "上書き保存", "印刷", "ソロバン", "説明"};
  const QList<QAction*> buttons = toolbar->actions();
  ASSERT_EQ(buttons.size(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(buttons[i]->toolTip(), QString::fromUtf8(tips[i]));
    EXPECT_FALSE(buttons[i]->icon().isNull());
    EXPECT_FALSE(buttons[i]->icon().pixmap(16, 16).isNull()) << "never blank";
    const QList<QToolButton*> tools = toolbar->findChildren<QToolButton*>();
    ASSERT_EQ(tools.size(), 5);
    EXPECT_EQ(tools[i]->defaultAction(), buttons[i]);
    EXPECT_TRUE(tools[i]->isVisible());
    EXPECT_TRUE(toolbar->rect().contains(tools[i]->geometry())) << "inside the frame";
    EXPECT_TRUE(toolbar->parentWidget()->rect().contains(toolbar->geometry()));
  }
  // Save with no file name yet: the toolbar's dialog shows "(*.0DT)", the menu's "(*.)".
  window->ToolbarClick(2);
  window->findChild<QAction*>(QStringLiteral("M13"))->trigger();
  EXPECT_EQ(desktop.dialogs,
            QStringList({QStringLiteral("save|数式ﾌｧｲﾙ (*.0DT)|*.0DT|"), QStringLiteral("save|数式ﾌｧｲﾙ (*.)|*.0DT|")}));
  window->ToolbarClick(1);
  EXPECT_EQ(desktop.dialogs.last(), QStringLiteral("open|数式ﾌｧｲﾙ (*.0DT)|*.0DT|"));
  window->ToolbarClick(5);
  EXPECT_NE(Shown("READ2"), nullptr);
  window->ToolbarClick(7);  // any other number does nothing
  CloseOthers();
}

TEST_F(MenusTest, TheCompanionStartsOnceAClickAndAMissingOneIsReported) {
  OpenWithPrinter();
  window->ToolbarClick(4);
  window->findChild<QAction*>(QStringLiteral("M21"))->trigger();
  ASSERT_EQ(started.size(), 2);
  EXPECT_EQ(started[0], QCoreApplication::applicationDirPath() + QStringLiteral("/soroban"));
  EXPECT_TRUE(desktop.told.isEmpty());

  companionRuns = false;
  window->ToolbarClick(4);
  ASSERT_EQ(desktop.told.size(), 1);
  EXPECT_TRUE(desktop.told[0].startsWith(QStringLiteral("Check|")));
  EXPECT_TRUE(desktop.told[0].contains(started[0]));

  // The real starter refuses a program that is not there.
  QString error;
  EXPECT_FALSE(StartDetached(dir.filePath(QStringLiteral("soroban")), &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(MenusTest, PrintAsksThenPrintsTheList) {
  Write(DattPath(), FileWith({"A: 58*3", "B: C/2.2+67"}));
  OpenWithPrinter();
  Click("Command1");
  Find(QStringLiteral("Text1"))->setFocus();
  desktop.answers = {false};
  window->Print();
  EXPECT_EQ(desktop.asked, QStringList{QStringLiteral("印刷|変数一覧の印刷しますか？")});
  EXPECT_TRUE(printer.printed.empty());
  EXPECT_TRUE(Find(QStringLiteral("Text1"))->hasFocus()) << "Cancel leaves the focus where it was";

  desktop.answers = {true};
  window->Print();
  ASSERT_EQ(printer.printed.size(), 1u);
  EXPECT_EQ(printer.printed[0],
            QStringList({QStringLiteral("　"), QStringLiteral("　　A: 58*3"), QStringLiteral("   　　= 174. "),
                         QStringLiteral("　") + QString(60, QLatin1Char('-')), QStringLiteral("　　A: 58*3"),
                         QStringLiteral("　　B: C/2.2+67")}));
  EXPECT_TRUE(Text2()->hasFocus());
}

TEST_F(MenusTest, WithoutAPrinterThePageCanBeSavedAsPdf) {
  Write(DattPath(), FileWith({"A: 58*3"}));
  OpenWithPrinter();
  Click("Command1");
  printer.works = false;
  const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
  desktop.chosen = pdf;
  desktop.answers = {true, true};
  window->Print();
  ASSERT_EQ(desktop.asked.size(), 2);
  EXPECT_TRUE(desktop.asked[1].startsWith(QStringLiteral("印刷|印刷できませんでした。")));
  EXPECT_EQ(desktop.dialogs, QStringList{QStringLiteral("save|PDF ﾌｧｲﾙ (*.pdf)|*.pdf|")});
  ASSERT_EQ(printer.pdfs, QStringList{pdf});

  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) is needed";
  const QString page = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(page.contains(QStringLiteral("A: 58*3"))) << page.toStdString();
  EXPECT_TRUE(page.contains(QStringLiteral("= 174."))) << page.toStdString();
  EXPECT_TRUE(page.contains(QString(60, QLatin1Char('-')))) << page.toStdString();

  // A PDF that can't be written is reported.
  desktop.chosen = dir.filePath(QStringLiteral("missing/list.pdf"));
  desktop.answers = {true, true};
  window->Print();
  ASSERT_EQ(desktop.told.size(), 1);
  EXPECT_TRUE(desktop.told[0].startsWith(QStringLiteral("印刷|PDF ファイルに保存できませんでした。")));
}

}  // namespace
}  // namespace suusiki::testing
