// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's layout, its variable list, the formula box with its keypad,
// driven through the real controls.
#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "tests/windows/window_fixture.h"
#include "ui/fonts.h"

namespace suusiki::testing {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, EveryControlHasItsPlaceCaptionAndFont) {
  Open();
  EXPECT_EQ(window->objectName(), QStringLiteral("SUUSIKI"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral(" ｶﾙﾒﾛ★★★"));
  EXPECT_EQ(window->centralWidget()->width(), 399);  // 5985 twips

  const struct {
    const char* name;
    const char* caption;
    int left, top, width, height;
    const char* font = nullptr;
    double points = 0;
    bool bold = false;
  } controls[] = {
      {"Frame4", "", 0, 0, 1760, 390},
      {"Command39", "?", 2640, 120, 255, 300, "IPAPGothic", 9, true},
      {"Command38", "ﾆｭｰﾄﾝ", 2880, 120, 855, 300, "IPAPGothic", 9, true},
      {"Label4", "始点：", 3860, 160, 555, 195},
      {"Text1", "", 4440, 120, 1455, 270, "IPAGothic", 9, true},
      {"Label3", "Ans：", 120, 560, 615, 255, "IPAPGothic", 11.25, true},
      {"Label1", "", 720, 520, 3735, 375, "IPAGothic", 11.25, true},
      {"Command36", "DEL", 4560, 520, 495, 320},
      {"Command35", "BS", 5100, 520, 375, 320},
      {"Command32", "CL", 5520, 520, 375, 320},
      {"Label2", "A:", 120, 960, 375, 300, "IPAGothic", 11.25, true},
      {"Combo1", "", 480, 960, 3975, 300, "IPAGothic", 9},
      {"Text2", "", 525, 1000, 3630, 195, "IPAPGothic", 9.75, true},
      {"Command1", "計算", 4560, 960, 615, 320},
      {"Command2", "終了", 5280, 960, 615, 320},
      {"Frame1", "関数", 75, 1320, 1755, 1935},
      {"Frame2", "", 1880, 1320, 2280, 1935},
      {"Frame3", "変数", 4200, 1320, 1695, 1700},
      {"Command3", "Abs", 120, 240, 495, 375, "IPAGothic", 9},
      {"Command8", "Int", 1160, 640, 495, 375, "IPAGothic", 9},
      {"Command13", "Pi", 640, 1450, 495, 375, "IPAGothic", 9},
      {"Command41", "？", 1160, 1450, 495, 375, "IPAPGothic", 11.25, true},
      {"Command14", "７", 120, 240, 375, 375},
      {"Command30", "（", 1780, 240, 375, 375},
      {"Command25", "－", 1380, 1050, 375, 375},
      {"Command28", "^", 1780, 1050, 375, 375, "IPAGothic", 11.25},
      {"Command26", "０", 120, 1450, 760, 375},
      {"Command27", ".", 1380, 1450, 375, 375, "IPAMincho", 11.25, true},
      {"Command29", "＋", 1780, 1450, 375, 375},
      {"Command33_0", "A", 120, 240, 255, 255},
      {"Command33_7", "H", 360, 520, 255, 255},
      {"Command33_23", "X", 1320, 1080, 255, 255},
      {"Command33_25", "Z", 360, 1360, 255, 255},
      {"Command34", "変数ｸﾘｱ", 720, 1360, 855, 255},
      {"Picture1", "", 1800, 600, 4215, 2655},
      {"Label6", "", 60, 120, 4040, 2080},
      {"Command42", "閉", 3600, 2280, 495, 255},
  };
  for (const auto& c : controls) {
    const QString name = QString::fromLatin1(c.name);
    QWidget* widget = Find(name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(Twips(c.left), Twips(c.top), Twips(c.width), Twips(c.height))) << c.name;
    QString caption;
    if (auto* button = qobject_cast<QPushButton*>(widget)) caption = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
    EXPECT_EQ(caption, QString::fromUtf8(c.caption)) << c.name;
    if (c.font != nullptr) {
      EXPECT_EQ(QFontInfo(widget->font()).family(), QString::fromUtf8(c.font)) << c.name;  // the face drawn
      EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), c.points) << c.name;
      EXPECT_EQ(widget->font().bold(), c.bold) << c.name;
    }
    const bool inHelpPanel = name == "Picture1" || name == "Label6" || name == "Command42";
    EXPECT_EQ(widget->isVisible(), !inHelpPanel) << c.name;
  }
  for (int k = 0; k < kVariableCount; ++k) {
    EXPECT_EQ(Find<QPushButton>(QStringLiteral("Command33_%1").arg(k))->text(), QString(QChar(u'A' + k)));
  }
}

TEST_F(MainWindowTest, TheFormulaBoxCoversTheListsEditFieldButNotItsButton) {
  Open();
  const QRect box = Text2()->geometry();
  const QRect list = Combo1()->geometry();
  EXPECT_TRUE(list.contains(box));
  QStyleOptionComboBox option;
  option.initFrom(Combo1());
  option.editable = true;
  const QRect arrow =
      Combo1()->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, Combo1());
  EXPECT_LE(box.right(), list.left() + arrow.left()) << "the drop-down button stays visible";
  // The formula box is drawn in front of the list.
  const QObjectList siblings = Combo1()->parentWidget()->children();
  EXPECT_GT(siblings.indexOf(Text2()), siblings.indexOf(Combo1()));

  QTest::mouseClick(Combo1(), Qt::LeftButton, {}, arrow.center());
  EXPECT_TRUE(Combo1()->view()->isVisible());
  EXPECT_EQ(Combo1()->count(), 26);
  Combo1()->hidePopup();
}

TEST_F(MainWindowTest, FirstStartShowsTwentySixEmptyVariablesAndCreatesTheFile) {
  Open();
  QStringList empty;
  for (char c = 'A'; c <= 'Z'; ++c) empty << QString(QChar(c)) + QStringLiteral(": ");
  EXPECT_EQ(Rows(), empty);
  EXPECT_EQ(Label("Label2"), QStringLiteral("A:"));
  EXPECT_EQ(Text2()->text(), QString());
  EXPECT_EQ(Combo1()->currentText(), QString());
  EXPECT_EQ(window->state().current(), 0);
  EXPECT_EQ(Read(DattPath()), FileWith({}));
  EXPECT_TRUE(desktop.told.isEmpty());
}

TEST_F(MainWindowTest, ChoosingARowShowsTheStoredDefinition) {
  Write(DattPath(), FileWith({"A: 1", "B: 2*A"}));
  Open();
  TypeFormula(QStringLiteral("5+5"));  // typed, never stored
  Select(1);
  EXPECT_EQ(Text2()->text(), QStringLiteral("2*A"));
  EXPECT_EQ(Combo1()->currentText(), QStringLiteral("2*A"));
  EXPECT_EQ(Label("Label2"), QStringLiteral("B: "));
  EXPECT_EQ(Text2()->cursorPosition(), 3);
  EXPECT_TRUE(Text2()->hasFocus());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 1"));

  TypeFormula(QStringLiteral("5+5"));
  Select(2);
  EXPECT_EQ(Entry(1), QStringLiteral("B: 2*A")) << "an edit is lost when another row is chosen";
  EXPECT_EQ(Text2()->text(), QString());
  EXPECT_EQ(Label("Label2"), QStringLiteral("C: "));
  EXPECT_EQ(ToQString(window->state().workingFormula()), QStringLiteral("0"));
}

TEST_F(MainWindowTest, EnterInTheFormulaBoxStoresAndCalculates) {
  Open();
  Select(1);
  TypeFormula(QStringLiteral("2A"));
  PressEnter(Text2());
  EXPECT_EQ(Entry(1), QStringLiteral("B: 2A")) << "stored even when the calculation fails";
  EXPECT_EQ(Label("Label1"), QStringLiteral("文法エラー！"));
  EXPECT_EQ(desktop.beeps, 1);
  EXPECT_TRUE(Read(DattPath()).contains("\"B: 2A\"\r\n"));
  EXPECT_EQ(Rows().at(1), QStringLiteral("B: 2A"));

  TypeFormula(QStringLiteral("1234.5"));
  PressEnter(Text2());
  EXPECT_EQ(Label("Label1"), QStringLiteral("1,234.5 "));
  EXPECT_TRUE(Text2()->hasFocus());
  EXPECT_EQ(Text2()->cursorPosition(), 6);
}

TEST_F(MainWindowTest, NegativeValuesKeepTheirSignInTheAnswerLine) {
  Open();
  Select(1);
  TypeFormula(QStringLiteral("(1-3)^2+(2-5)^2"));
  PressEnter(Text2());
  EXPECT_EQ(Label("Label1"), QStringLiteral("13. "));
  TypeFormula(QStringLiteral("3*-Sin(0-30)"));
  Click("Command1");
  EXPECT_EQ(Label("Label1"), QStringLiteral("1.5 "));
  TypeFormula(QStringLiteral("-Sin(0-30)^2"));  // the minus typed first applies to the power
  Click("Command1");
  EXPECT_EQ(Label("Label1"), QStringLiteral("-0.25 "));
  EXPECT_EQ(desktop.beeps, 0);
}

TEST_F(MainWindowTest, EnterInTheListStoresTheFormulaBoxText) {
  Open();
  TypeFormula(QStringLiteral("3"));
  Combo1()->lineEdit()->setText(QStringLiteral("7"));
  Combo1()->setFocus();
  PressEnter(Combo1()->lineEdit());
  EXPECT_EQ(Entry(0), QStringLiteral("A: 3"));
  EXPECT_EQ(Label("Label1"), QStringLiteral("3. "));
  EXPECT_EQ(Combo1()->currentText(), QStringLiteral("3"));
  EXPECT_TRUE(Combo1()->hasFocus());
}

TEST_F(MainWindowTest, EnterInTheListRunsOnceEvenWhenTheFormulaFails) {
  Open();
  const struct {
    const char* formula;
    const char* answer;
  } cases[] = {{"1/0", "文法エラー！0で除算"},
               {"Sqr(-1)", "文法エラー！"},
               {"2A", "文法エラー！"},
               {"10^400", "文法エラー！桁あふれ"},
               {"0/0", "文法エラー！0で除算"}};
  for (const auto& c : cases) {
    TypeFormula(QString::fromUtf8(c.formula));
    Combo1()->lineEdit()->setText(QStringLiteral("7"));
    Combo1()->setFocus();
    const int beeps = desktop.beeps;
    const int writes = window->autoSave().writes();
    PressEnter(Combo1()->lineEdit());
    EXPECT_EQ(Label("Label1"), QString::fromUtf8(c.answer)) << c.formula;
    EXPECT_EQ(desktop.beeps - beeps, 1) << c.formula;
    // The edit field's text, then the formula box's; the repeated store of the
    // same table is no write.
    EXPECT_EQ(window->autoSave().writes() - writes, 2) << c.formula;
    EXPECT_EQ(Entry(0), QStringLiteral("A: ") + QString::fromUtf8(c.formula));
  }
}

TEST_F(MainWindowTest, TheAnswerCanBeCopied) {
  Open();
  TypeFormula(QStringLiteral("1234.5"));
  Click("Command1");
  auto* answer = Find<QLabel>(QStringLiteral("Label1"));
  ASSERT_EQ(answer->text(), QStringLiteral("1,234.5 "));
  EXPECT_TRUE(answer->textInteractionFlags() & Qt::TextSelectableByMouse);
  EXPECT_EQ(answer->focusPolicy(), Qt::NoFocus) << "a click leaves the focus in the formula box";
  EXPECT_EQ(answer->contextMenuPolicy(), Qt::ActionsContextMenu);
  ASSERT_EQ(answer->actions().size(), 1);
  QAction* copy = answer->actions().constFirst();
  EXPECT_EQ(copy->text(), QStringLiteral("コピー"));

  copy->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1,234.5")) << "without the trailing space";
  answer->setSelection(2, 3);
  copy->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("234"));
  answer->setSelection(0, 0);

  TypeFormula(QStringLiteral("1/0"));
  Click("Command1");
  copy->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("文法エラー！0で除算"));

  // A tiny answer keeps its 15 digits, and pasted back it is the same answer.
  TypeFormula(QStringLiteral("6.62607015*10^-34*299792458/(500*10^-9)"));
  Click("Command1");
  EXPECT_EQ(answer->text(), QStringLiteral("3.97289171429786*10^-19 "));
  copy->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("3.97289171429786*10^-19"));
  TypeFormula(QGuiApplication::clipboard()->text());
  Click("Command1");
  EXPECT_EQ(answer->text(), QStringLiteral("3.97289171429786*10^-19 "));
}

TEST_F(MainWindowTest, ClearAllAsksFirst) {
  Write(DattPath(), FileWith({"A: 1", "B: 2"}));
  Open();
  Select(1);
  const QByteArray before = Read(DattPath());

  desktop.answers = {false};
  Click("Command34");
  EXPECT_EQ(desktop.asked, QStringList{QStringLiteral("Check|本当に変数を全部クリアしてよろしいですか？")});
  EXPECT_EQ(Entry(1), QStringLiteral("B: 2"));
  EXPECT_EQ(Read(DattPath()), before);
  EXPECT_EQ(desktop.beeps, 0);

  desktop.answers = {true};
  Click("Command34");
  EXPECT_EQ(window->state().table(), EmptyTable());
  EXPECT_EQ(Read(DattPath()), FileWith({}));
  EXPECT_EQ(Rows().at(1), QStringLiteral("B: "));
  EXPECT_EQ(Label("Label1"), QStringLiteral("0. "));
  EXPECT_EQ(Label("Label2"), QStringLiteral("B: ")) << "the current variable stays";
  EXPECT_EQ(window->state().current(), 1);
  EXPECT_EQ(desktop.beeps, 1);
}

TEST_F(MainWindowTest, ButtonsInsertAtTheCaretAndKeepTheSelection) {
  Open();
  const struct {
    const char* text;
    int caret;
    int selected;  // characters selected from the caret on
    const char* button;
    const char* result;
    int caretAfter;
  } cases[] = {
      {"2*3", 2, 0, "Command10", "2*Sin(3", 6},
      {"", 0, 0, "Command13", "Pi", 2},
      {"1+", 2, 0, "Command33_2", "1+C", 3},
      {"1+2", 0, 3, "Command14", "71+2", 1},
      {"①②", 1, 0, "Command29", "①+②", 2},
      {"\xF0\x9F\x98\x80"
       "1",
       1, 0, "Command17", "\xF0\x9F\x98\x80*1", 2},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    Text2()->setText(text);
    const int start = static_cast<int>(ToQString(FromQString(text).substr(0, c.caret)).size());
    const int end = static_cast<int>(ToQString(FromQString(text).substr(0, c.caret + c.selected)).size());
    if (c.selected > 0) {
      Text2()->setSelection(end, start - end);  // the caret at the selection's start
    } else {
      Text2()->setCursorPosition(start);
    }
    Click(c.button);
    const QString result = QString::fromUtf8(c.result);
    EXPECT_EQ(Text2()->text(), result) << c.button;
    EXPECT_EQ(Text2()->cursorPosition(), ToQString(FromQString(result).substr(0, c.caretAfter)).size()) << c.button;
    EXPECT_TRUE(Text2()->hasFocus());
  }
  EXPECT_EQ(window->state().current(), 0) << "a variable button inserts a reference only";
}

TEST_F(MainWindowTest, BsDelAndClEdit) {
  Write(DattPath(), FileWith({"A: 9"}));
  Open();
  const struct {
    const char* button;
    const char* text;
    int caret;
    int selected;
    const char* result;
    int caretAfter;
  } cases[] = {
      {"Command35", "123", 0, 0, "123", 0}, {"Command35", "123", 2, 0, "13", 1},
      {"Command35", "123", 1, 2, "23", 0},  // the selection stays; the character before it goes
      {"Command36", "123", 1, 0, "13", 1},  {"Command36", "123", 0, 2, "3", 0},
      {"Command36", "123", 3, 0, "123", 3}, {"Command36", "①②③", 1, 0, "①③", 1},
      {"Command32", "123", 1, 0, "", 0},
  };
  for (const auto& c : cases) {
    Text2()->setText(QString::fromUtf8(c.text));
    if (c.selected > 0) {
      Text2()->setSelection(c.caret + c.selected, -c.selected);
    } else {
      Text2()->setCursorPosition(c.caret);
    }
    Click(c.button);
    EXPECT_EQ(Text2()->text(), QString::fromUtf8(c.result)) << c.button << ' ' << c.text;
    EXPECT_EQ(Text2()->cursorPosition(), c.caretAfter) << c.button << ' ' << c.text;
    EXPECT_TRUE(Text2()->hasFocus());
  }
  EXPECT_EQ(Combo1()->currentText(), QString()) << "CL empties the list's edit field too";
  EXPECT_EQ(Entry(0), QStringLiteral("A: 9")) << "but not the stored definition";
  Select(0);
  EXPECT_EQ(Text2()->text(), QStringLiteral("9"));
}

TEST_F(MainWindowTest, FunctionHelpPanelOpensAndCloses) {
  Open();
  Click("Command41");
  auto* panel = Find(QStringLiteral("Picture1"));
  EXPECT_TRUE(panel->isVisible());
  const QStringList lines = Label("Label6").split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 12);  // eleven lines, each ending with CR LF
  EXPECT_EQ(lines[0], QStringLiteral("　Atn：ｱｰｸﾀﾝｼﾞｪﾝﾄ　　入力：Atn(高さ／底辺)＝角度"));
  EXPECT_EQ(lines[4], QStringLiteral("　Exp：指数関数 (自然対数の底のべき乗) "));
  EXPECT_EQ(lines[10], QStringLiteral("　Pi ：円周率　3.14･･････"));
  EXPECT_EQ(lines[11], QString());
  EXPECT_TRUE(Find(QStringLiteral("Command42"))->hasFocus());
  // In front of the keypad it overlaps.
  const QObjectList siblings = panel->parentWidget()->children();
  EXPECT_GT(siblings.indexOf(panel), siblings.indexOf(Find(QStringLiteral("Frame2"))));

  Click("Command42");
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(Text2()->hasFocus());

  // The caret goes to the end of the formula box, as after every command.
  TypeFormula(QStringLiteral("12345"));
  Text2()->setCursorPosition(1);
  Click("Command41");
  Click("Command42");
  EXPECT_TRUE(Text2()->hasFocus());
  EXPECT_EQ(Text2()->cursorPosition(), 5);
}

TEST_F(MainWindowTest, ExitEndsTheProgram) {
  Open();
  Click("Command2");
  EXPECT_EQ(desktop.quits, 1);
  EXPECT_TRUE(desktop.asked.isEmpty());
}

}  // namespace
}  // namespace suusiki::testing
