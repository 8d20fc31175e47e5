// SPDX-License-Identifier: GPL-3.0-or-later
// Every control a user can reach, in every window of the program, has a name
// that a screen reader can say.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>

#include "tests/windows/window_fixture.h"

namespace suusiki::testing {
namespace {

using AccessibilityTest = WindowTest;

bool IsInteractive(const QWidget* widget) {
  if (qobject_cast<const QAbstractButton*>(widget) != nullptr) return true;
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    return (label->textInteractionFlags() & Qt::TextSelectableByMouse) != 0;
  }
  return widget->focusPolicy() != Qt::NoFocus;
}

// "Window/Control" for every visible interactive widget of `window` without a name.
QStringList Unnamed(QWidget* window) {
  QStringList unnamed;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* widget : widgets) {
    if (!widget->isVisible() || !IsInteractive(widget)) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
      unnamed << window->objectName() + QLatin1Char('/') + widget->objectName() + QLatin1Char('(') +
                     QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(')');
    }
  }
  return unnamed;
}

TEST_F(AccessibilityTest, EveryReachableControlOfEveryWindowHasAName) {
  Open();
  QStringList unnamed = Unnamed(window.get());
  Click("Command41");  // the function help panel and its close button
  unnamed << Unnamed(window.get());
  Click("Command42");
  for (SecondaryWindow which :
       {SecondaryWindow::ArithmeticSeries, SecondaryWindow::GeometricSeries, SecondaryWindow::NewtonHelp,
        SecondaryWindow::ProgramHelp, SecondaryWindow::Version, SecondaryWindow::Graph, SecondaryWindow::History}) {
    QWidget* other = window->ShowWindow(which);
    ASSERT_NE(other, nullptr) << WindowName(which).toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(other));
    unnamed << Unnamed(other);
    // A window of its own to a screen reader, named by its title; not a "filler".
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(other);
    EXPECT_EQ(accessible->role(), QAccessible::Window) << WindowName(which).toStdString();
    EXPECT_EQ(accessible->text(QAccessible::Name), other->windowTitle()) << WindowName(which).toStdString();
    other->close();
  }
  EXPECT_EQ(unnamed, QStringList());
}

TEST_F(AccessibilityTest, SymbolsAndPicturesAreNamedInJapanese) {
  Open();
  const struct {
    const char* control;
    const char* name;
  } cases[] = {
      {"Command17", "掛ける"}, {"Command21", "割る"},    {"Command25", "引く"},     {"Command29", "足す"},
      {"Command28", "べき乗"}, {"Command27", "小数点"},  {"Label1", "答え"},        {"Text2", "数式"},
      {"Text1", "始点"},       {"Combo1", "変数の一覧"}, {"Command33_2", "変数 C"},
  };
  for (const auto& c : cases) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Find(QString::fromLatin1(c.control)));
    ASSERT_NE(accessible, nullptr) << c.control;
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.control;
  }
  // The toolbar's picture buttons say their tooltips.
  QStringList toolbar;
  for (auto* button : Find(QStringLiteral("Toolbar1"))->findChildren<QAbstractButton*>()) {
    toolbar << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
  }
  EXPECT_EQ(toolbar, (QStringList{QStringLiteral("ﾌｧｲﾙを開く"), QStringLiteral("上書き保存"), QStringLiteral("印刷"),
                                  QStringLiteral("ソロバン"), QStringLiteral("説明")}));
}

}  // namespace
}  // namespace suusiki::testing
