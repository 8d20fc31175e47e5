// The main window, driven through its real controls.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "mainwin/main_window.h"

namespace suusiki {
namespace {

class CountingBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

class MainWindowTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Find(const char* name) {
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  void TypeAndCalculate(const QString& formula) {
    auto* box = Find<QLineEdit>("Text2");
    box->setText(formula);
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  }

  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("DATT.0DT"));
  CountingBeeper beeper;
  MainWindow window{path, &beeper};
};

TEST_F(MainWindowTest, CalculateButtonShowsTheAnswerAndSavesTheTable) {
  TypeAndCalculate(QStringLiteral("1234.5"));
  EXPECT_EQ(Find<QLabel>("Label1")->text(), QStringLiteral("1,234.5 "));
  EXPECT_EQ(beeper.beeps, 0);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readLine().startsWith("\"A: 1234.5\"\r\n"));
}

TEST_F(MainWindowTest, AFailureBeepsAndShowsItsMessage) {
  TypeAndCalculate(QStringLiteral("5/0"));
  EXPECT_EQ(Find<QLabel>("Label1")->text(), QStringLiteral("文法エラー！0で除算"));
  EXPECT_EQ(beeper.beeps, 1);
  EXPECT_EQ(window.state().table[0], U"A: 5/0");
}

}  // namespace
}  // namespace suusiki
