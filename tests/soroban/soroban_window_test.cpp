// SPDX-License-Identifier: GPL-3.0-or-later
// The window ソロバン driven with real key presses and clicks on Qt's offscreen
// platform.
#include "soroban/soroban_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>

#include "soroban/board_view.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace suusiki::soroban {
namespace {

class SorobanWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<SorobanWindow>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    auto* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
  BoardView* Board() const { return window->board(); }

  void Type(const char* keys) const { QTest::keyClicks(Board(), QString::fromLatin1(keys)); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    QTest::keyClick(Board(), key, modifiers);
  }
  void Set(const char* number) const {
    Type(number);
    Key(Qt::Key_Return);
  }
  void Click(const QPointF& point) const {
    QTest::mouseClick(Board(), Qt::LeftButton, Qt::NoModifier, point.toPoint());
  }
  // Waits until the moves have all been shown.
  bool WaitForTheMoves() const {
    for (int i = 0; i < 500 && window->calculator().animating(); ++i) QTest::qWait(10);
    return !window->calculator().animating();
  }

  std::unique_ptr<SorobanWindow> window;
};

TEST_F(SorobanWindowTest, AnAdditionRunsMoveByMoveTo51) {
  Find<QComboBox>("Speed")->setCurrentIndex(2);  // 速い
  Set("12");
  EXPECT_EQ(Text("Value"), "12");
  Type("+39");
  EXPECT_EQ(Text("Entry"), "＋ 39");
  Key(Qt::Key_Return);
  // The first move is under way: the tens rod, +3.
  EXPECT_TRUE(window->calculator().animating());
  EXPECT_EQ(Text("Move"), "＋39　十の位　+3");
  EXPECT_EQ(Text("Value"), "42");
  EXPECT_EQ(Text("Entry"), "");
  ASSERT_TRUE(WaitForTheMoves());
  EXPECT_EQ(Text("Value"), "51");
  EXPECT_EQ(Text("Move"), "");
}

TEST_F(SorobanWindowTest, AnyKeyFinishesTheMovesAtOnce) {
  Find<QComboBox>("Speed")->setCurrentIndex(0);  // 遅い
  Set("999");
  Type("+1");
  Key(Qt::Key_Return);
  ASSERT_TRUE(window->calculator().animating());
  Key(Qt::Key_Shift);
  EXPECT_FALSE(window->calculator().animating());
  EXPECT_EQ(Text("Value"), "1,000");
  EXPECT_EQ(Text("Move"), "");
  // A key that does something does it after the moves are made.
  Type("-1");
  Key(Qt::Key_Return);
  ASSERT_TRUE(window->calculator().animating());
  Type("7");
  EXPECT_EQ(Text("Value"), "999");
  EXPECT_EQ(Text("Entry"), "7");
}

TEST_F(SorobanWindowTest, EscAndTheButtonClearTheBoard) {
  Set("1234.5");
  Type("*2");
  Key(Qt::Key_Escape);
  EXPECT_EQ(Text("Value"), "0");
  EXPECT_EQ(Text("Entry"), "");
  Set("77");
  QTest::mouseClick(Find<QPushButton>("Clear"), Qt::LeftButton);
  EXPECT_EQ(Text("Value"), "0");
}

TEST_F(SorobanWindowTest, MultiplyAndDivideSetTheAnswerAtOnce) {
  Set("12");
  Type("*3");
  Key(Qt::Key_Return);
  EXPECT_FALSE(window->calculator().animating());
  EXPECT_EQ(Text("Value"), "36");
  Type("/0");
  Key(Qt::Key_Return);
  EXPECT_EQ(Text("Value"), "36");
  EXPECT_EQ(Text("Message"), "0で割ることはできません。");
  Key(Qt::Key_Backspace);
  Type("7");
  Key(Qt::Key_Enter);  // the keypad's Enter
  EXPECT_EQ(Text("Value"), "5.1428571428");
  EXPECT_EQ(Text("Message"), "割り切れないので、小数第10位より先を切り捨てました。");
}

TEST_F(SorobanWindowTest, CopyAndPaste) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  Set("1234.5");
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "1234.5");

  const struct {
    const char* clipboard;
    const char* value;
    const char* message;
  } cases[] = {
      {"9,876.5 ", "9,876.5", ""},
      {"42は答え", "9,876.5", "貼り付けた「42は答え」は数ではありません。"},
      {"１２３．４", "123.4", ""},  // full-width digits
  };
  for (const auto& c : cases) {
    clipboard->setText(QString::fromUtf8(c.clipboard));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text("Value"), QString::fromUtf8(c.value)) << c.clipboard;
    EXPECT_EQ(Text("Message"), QString::fromUtf8(c.message)) << c.clipboard;
  }
}

TEST_F(SorobanWindowTest, ClickedBeadsMoveAndTheValueFollows) {
  const int unit = window->calculator().board().unitRod();
  Click(Board()->BeadCenter(unit, 0));
  EXPECT_EQ(Text("Value"), "5");
  Click(Board()->BeadCenter(unit, 3));
  EXPECT_EQ(Text("Value"), "8");
  Click(Board()->BeadCenter(unit, 2));  // goes back with bead 3
  EXPECT_EQ(Text("Value"), "6");
  Click(Board()->BeadCenter(unit - 1, 4));
  EXPECT_EQ(Text("Value"), "46");
  Click(Board()->BeadCenter(unit + 1, 1));
  EXPECT_EQ(Text("Value"), "46.1");
}

TEST_F(SorobanWindowTest, ClickingADotMovesTheUnit) {
  Set("51");
  Click(Board()->DotCenter(19));
  EXPECT_EQ(window->calculator().board().unitRod(), 19);
  EXPECT_EQ(Text("Value"), "51,000");
  Click(Board()->DotCenter(13));
  EXPECT_EQ(Text("Value"), "0.051");
  Click(Board()->DotCenter(14));  // no dot there
  EXPECT_EQ(window->calculator().board().unitRod(), 13);
}

TEST_F(SorobanWindowTest, TheSpeedListIsReachedByTabAndDigitsStillType) {
  auto* speed = Find<QComboBox>("Speed");
  Board()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Find<QPushButton>("Clear"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), speed);
  QTest::keyClick(speed, Qt::Key_Down);
  EXPECT_EQ(speed->currentText(), "速い");
  QTest::keyClicks(speed, "25");
  QTest::keyClick(speed, Qt::Key_Return);
  EXPECT_EQ(Text("Value"), "25");
  EXPECT_EQ(speed->currentText(), "速い");
}

TEST_F(SorobanWindowTest, EveryControlHasAJapaneseName) {
  // The controls that take the focus, and the labels that show the state.
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const bool control = widget->focusPolicy() != Qt::NoFocus;
    const QStringList displays = {"Value", "Entry", "Move", "Message"};
    if (!widget->isVisible() || (!control && !displays.contains(widget->objectName()))) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr);
    const QString name = accessible->text(QAccessible::Name);
    EXPECT_FALSE(name.trimmed().isEmpty()) << widget->objectName().toStdString();
    EXPECT_TRUE(std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x3000; }))
        << name.toStdString();
  }
  EXPECT_EQ(window->windowTitle(), "ソロバン");
  // What a screen reader says of the window and of the controls it names by
  // their roles: a window, not a "filler"; the speed list by its caption, not
  // by its current item, which is its value.
  const struct {
    const char* object;
    QAccessible::Role role;
    const char* name;
    const char* value;
  } cases[] = {
      {"Soroban", QAccessible::Window, "ソロバン", ""},
      {"Speed", QAccessible::ComboBox, "速さ", "普通"},
      {"Clear", QAccessible::Button, "ご破算", ""},
  };
  for (const auto& c : cases) {
    QWidget* widget = window->objectName() == c.object ? window.get() : Find(c.object);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr) << c.object;
    EXPECT_EQ(accessible->role(), c.role) << c.object;
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.object;
    EXPECT_EQ(accessible->text(QAccessible::Value), QString::fromUtf8(c.value)) << c.object;
  }
}

}  // namespace
}  // namespace suusiki::soroban

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
