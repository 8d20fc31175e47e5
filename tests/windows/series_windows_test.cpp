// SPDX-License-Identifier: GPL-3.0-or-later
// The windows TOSA and TOHI driven through their controls.
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "series/arithmetic_window.h"
#include "series/geometric_window.h"
#include "tests/windows/window_fixture.h"
#include "ui/fonts.h"
#include "ui/platform.h"
#include "ui/qt_text.h"

namespace suusiki::testing {
namespace {

struct CountingBeeper : Beeper {
  void Beep() override { ++beeps; }
  int beeps = 0;
};

// What tells the two windows apart in the tests that run on both.
struct SeriesCase {
  const char* name;
  std::function<QWidget*(Beeper&)> open;
  const char* result;  // the control that shows the sum
  const char *first, *second, *third, *shown;
};

void PrintTo(const SeriesCase& c, std::ostream* os) { *os << c.name; }

class SeriesWindowFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    delete window.data();
    DeleteClosed();
  }

  void Show(QWidget* w) {
    window = w;
    w->show();
    Activate(w);
  }
  static void DeleteClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return FindIn<T>(window, QString::fromLatin1(name));
  }
  QLineEdit* Box(const char* name) const { return Find<QLineEdit>(name); }
  QWidget* Focused() const { return QApplication::focusWidget(); }
  bool HasFocus(const char* name) const { return Focused() != nullptr && Focused()->objectName() == name; }
  // A key as the user presses it: to whatever has the focus.
  void Press(Qt::Key key) const {
    ASSERT_NE(Focused(), nullptr);
    QTest::keyClick(Focused(), key);
  }

  CountingBeeper beeper;
  QPointer<QWidget> window;
};

class SeriesWindowTest : public SeriesWindowFixture, public ::testing::WithParamInterface<SeriesCase> {
 protected:
  void Open() { Show(GetParam().open(beeper)); }
  QString Result() const {
    QWidget* result = Find(GetParam().result);
    if (auto* label = qobject_cast<QLabel*>(result)) return label->text();
    return qobject_cast<QLineEdit*>(result)->text();
  }
};

TEST_P(SeriesWindowTest, EnterWalksThroughTheBoxesAndASecondEnterResets) {
  for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
    Open();
    QTest::keyClicks(Focused(), QString::fromUtf8(GetParam().first));
    Press(enter);
    EXPECT_TRUE(HasFocus("Text2"));
    QTest::keyClicks(Focused(), QString::fromUtf8(GetParam().second));
    Press(enter);
    EXPECT_TRUE(HasFocus("Text3"));
    QTest::keyClicks(Focused(), QString::fromUtf8(GetParam().third));
    Press(enter);
    EXPECT_TRUE(HasFocus("Command1"));
    EXPECT_EQ(Result(), QString()) << "Enter in the last box only moves the focus";
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_EQ(Box("Text1")->text(), QString::fromUtf8(GetParam().first));
    EXPECT_EQ(Box("Text2")->text(), QString::fromUtf8(GetParam().second));
    EXPECT_EQ(Box("Text3")->text(), QString::fromUtf8(GetParam().third));

    Press(enter);  // on Calculate
    EXPECT_EQ(Result(), QString::fromUtf8(GetParam().shown));
    EXPECT_TRUE(HasFocus("Command2"));
    Press(enter);  // on Reset
    EXPECT_EQ(Result(), QString());
    for (const char* name : {"Text1", "Text2", "Text3"}) EXPECT_EQ(Box(name)->text(), QString()) << name;
    EXPECT_TRUE(HasFocus("Text1"));
    EXPECT_EQ(beeper.beeps, 2);

    delete window.data();
    beeper.beeps = 0;
  }
}

TEST_P(SeriesWindowTest, EveryActivationPutsTheFocusInTheFirstBox) {
  Open();
  Find("Command3")->setFocus();
  ASSERT_TRUE(HasFocus("Command3"));
  QWidget other;
  other.show();
  Activate(&other);
  Activate(window);
  EXPECT_TRUE(HasFocus("Text1"));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SeriesWindowTest,
    ::testing::Values(SeriesCase{"TOSA", [](Beeper& beeper) { return new ArithmeticSeriesWindow(beeper, [] {}); },
                                 "Label6", "1", "9", "5", "25. "},
                      SeriesCase{"TOHI", [](Beeper& beeper) { return new GeometricSeriesWindow(beeper); }, "Text4", "3",
                                 "5", "4", "468. "}),
    [](const ::testing::TestParamInfo<SeriesCase>& param) { return std::string(param.param.name); });

using SeriesBackTest = SeriesWindowFixture;

TEST_F(SeriesBackTest, ArithmeticBackShowsTheMainWindowThenCloses) {
  int mainShown = 0;
  bool openWhenShown = false;
  Show(new ArithmeticSeriesWindow(beeper, [&] {
    ++mainShown;
    openWhenShown = window->isVisible();
  }));
  QTest::mouseClick(Find<QPushButton>("Command3"), Qt::LeftButton);
  EXPECT_EQ(mainShown, 1);
  EXPECT_TRUE(openWhenShown);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->isVisible());
  DeleteClosed();
  EXPECT_TRUE(window.isNull()) << "closing discards the window";
  EXPECT_EQ(beeper.beeps, 0);
}

TEST_F(SeriesBackTest, GeometricBackOnlyCloses) {
  Show(new GeometricSeriesWindow(beeper));
  QTest::mouseClick(Find<QPushButton>("Command3"), Qt::LeftButton);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->isVisible());
  DeleteClosed();
  EXPECT_TRUE(window.isNull());
}

struct Control {
  const char* name;
  const char* parent;
  const char* caption;
  int left, top, width, height;
  double points = 9;
  bool bold = false;
};

void ExpectControls(QWidget* window, std::initializer_list<Control> controls) {
  for (const auto& c : controls) {
    auto* widget = window->findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(c.parent)) << c.name;
    EXPECT_EQ(widget->geometry(), QRect(Twips(c.left), Twips(c.top), Twips(c.width), Twips(c.height))) << c.name;
    QString caption;
    if (auto* button = qobject_cast<QPushButton*>(widget)) caption = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
    if (auto* box = qobject_cast<QLineEdit*>(widget)) caption = box->text();
    EXPECT_EQ(caption, QString::fromUtf8(c.caption)) << c.name;
    EXPECT_EQ(QFontInfo(widget->font()).family(), kPGothic) << c.name;
    EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), c.points) << c.name;
    EXPECT_EQ(widget->font().bold(), c.bold) << c.name;
  }
}

using SeriesLayoutTest = SeriesWindowFixture;

TEST_F(SeriesLayoutTest, ArithmeticWindowControls) {
  Show(new ArithmeticSeriesWindow(beeper, [] {}));
  EXPECT_EQ(window->objectName(), QStringLiteral("TOSA"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("等差数列の和"));
  EXPECT_EQ(window->size(), QSize(Twips(3255), Twips(2520)));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  ExpectControls(window, {
                             {"Frame1", "TOSA", "例", 120, 120, 3015, 735},
                             {"Label1", "Frame1", " 1 + 3 + 5 + 7 + 9　の場合", 120, 195, 2655, 255},
                             {"Label2", "Frame1", " 初項= 1　末項= 9　項数= 5", 120, 405, 2655, 255},
                             {"Label3", "TOSA", "初項：", 40, 1000, 500, 255},
                             {"Text1", "TOSA", "", 540, 960, 735, 330, 11.25},
                             {"Label4", "TOSA", "末項：", 40, 1360, 500, 255},
                             {"Text2", "TOSA", "", 540, 1320, 735, 330, 11.25},
                             {"Label5", "TOSA", "項数：", 40, 1720, 500, 255},
                             {"Text3", "TOSA", "", 540, 1680, 735, 330, 11.25},
                             {"Frame2", "TOSA", "等差数列の和", 1440, 1080, 1695, 735},
                             {"Label6", "Frame2", "", 120, 240, 1455, 300, 11.25, true},
                             {"Command1", "TOSA", "計算", 120, 2040, 855, 375},
                             {"Command2", "TOSA", "ﾘｾｯﾄ", 1080, 2040, 735, 375},
                             {"Command3", "TOSA", "戻る", 2160, 2040, 975, 375},
                         });
}

TEST_F(SeriesLayoutTest, GeometricWindowControls) {
  Show(new GeometricSeriesWindow(beeper));
  EXPECT_EQ(window->objectName(), QStringLiteral("TOHI"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("等比数列の和"));
  EXPECT_EQ(window->size(), QSize(Twips(4530), Twips(3015)));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  ExpectControls(window, {
                             {"Frame1", "TOHI", "例", 120, 120, 3495, 855},
                             {"Label1", "Frame1", "の式で X=5 の場合", 1880, 240, 1575, 255},
                             {"Label2", "Frame1", "初項=3　 公比=5 　項数=4", 1080, 540, 2295, 255},
                             {"Label3", "TOHI", "初項：", 120, 1120, 495, 255},
                             {"Text1", "TOHI", "", 615, 1080, 1335, 330, 11.25},
                             {"Label4", "TOHI", "公比：", 120, 1480, 495, 255},
                             {"Text2", "TOHI", "", 615, 1440, 1335, 330, 11.25},
                             {"Label5", "TOHI", "項数：", 120, 1840, 495, 255},
                             {"Text3", "TOHI", "", 615, 1800, 1335, 330, 11.25},
                             {"Frame2", "TOHI", "等比数列の和", 75, 2200, 4380, 735},
                             {"Text4", "Frame2", "", 120, 240, 4095, 375, 11.25, true},
                             {"Command1", "TOHI", "計算", 2400, 1200, 855, 375},
                             {"Command2", "TOHI", "ﾘｾｯﾄ", 2400, 1680, 855, 375},
                             {"Command3", "TOHI", "戻る", 3360, 1680, 975, 375},
                         });
  EXPECT_TRUE(Box("Text4")->isReadOnly());

  auto* image2 = Find<QLabel>("Image2");
  ASSERT_NE(image2, nullptr);
  EXPECT_EQ(image2->parentWidget()->objectName(), QStringLiteral("Frame1"));
  EXPECT_EQ(image2->size(), QSize(113, 20));
  EXPECT_EQ(image2->pixmap().size(), QSize(113, 20));
  EXPECT_EQ(image2->y(), Find("Label1")->y());
  EXPECT_LT(image2->geometry().right(), Find("Label1")->x())
      << "the picture lies left of the text that goes on from it";
}

TEST(SeriesExampleImageTest, IsABlackOnWhitePictureWithRaisedExponents) {
  const QImage image = SeriesExampleImage();
  EXPECT_EQ(image.size(), QSize(113, 20));
  EXPECT_EQ(image.format(), QImage::Format_RGB888);

  int black = 0;
  int left = image.width();  // the first column with ink: the first term, "3"
  int top = image.height();  // the highest row with ink
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      ASSERT_TRUE(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255)) << x << "," << y;
      if (pixel != qRgb(0, 0, 0)) continue;
      ++black;
      left = std::min(left, x);
      top = std::min(top, y);
    }
  }
  ASSERT_GT(black, 100);
  EXPECT_GT(left, 0) << "the series is not cut off at the left";
  int firstTermTop = image.height();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = left; x < left + 4; ++x) {
      if (image.pixel(x, y) == qRgb(0, 0, 0)) firstTermTop = std::min(firstTermTop, y);
    }
  }
  EXPECT_LT(top + 2, firstTermTop) << "the exponents stand higher than the terms";
}

}  // namespace
}  // namespace suusiki::testing
