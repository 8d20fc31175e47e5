// SPDX-License-Identifier: GPL-3.0-or-later
// The help windows READ1 and READ2 and the version window VER.
#include "help/help_windows.h"

#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "tests/windows/window_fixture.h"
#include "ui/fonts.h"
#include "version.h"

namespace suusiki::testing {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kEnd = QString(25, QChar(0x3000)) + QStringLiteral("以　上");  // the last visible line

struct HelpText {
  const char* name;
  QString (*text)();
  int lines;
  const char* second;
};

TEST(HelpTextTest, LinesEndWithCrLfAndCloseWithTheEndMark) {
  const HelpText texts[] = {
      {"READ1", &NewtonHelpText, 42, "　★★★　ニュートン法による数値解　★★★"},
      {"READ2", &ProgramHelpText, 48, "　★★★★★★　カルメロ　★★★★★★"},
  };
  for (const auto& t : texts) {
    const QString text = t.text();
    ASSERT_TRUE(text.endsWith(kCrLf)) << t.name;
    EXPECT_EQ(text.count(kCrLf), t.lines) << t.name;
    EXPECT_EQ(text.count(QLatin1Char('\r')), t.lines) << t.name << ": no CR alone";
    EXPECT_EQ(text.count(QLatin1Char('\n')), t.lines) << t.name << ": no LF alone";
    QStringList lines = text.split(kCrLf);
    lines.removeLast();  // after the last CR LF
    ASSERT_EQ(lines.size(), t.lines) << t.name;
    EXPECT_EQ(lines.first(), QStringLiteral(" ")) << t.name;
    EXPECT_EQ(lines.at(1), QString::fromUtf8(t.second)) << t.name;
    EXPECT_EQ(lines.at(t.lines - 2), kEnd) << t.name << ": 25 ideographic spaces before the end mark";
    EXPECT_EQ(lines.last(), QString()) << t.name;
  }
}

TEST(HelpTextTest, TheVersionWindowShowsTheProgramsVersion) {
  EXPECT_EQ(FullWidth(QString::fromLatin1(kVersion)), QStringLiteral("２．４２"));
  EXPECT_EQ(FullWidth(QStringLiteral("10.1 b")), QStringLiteral("１０．１ ｂ"));
  VersionWindow window;
  EXPECT_EQ(FindIn<QLabel>(&window, QStringLiteral("Label1"))->text(),
            QStringLiteral("カルメロ　Version ") + FullWidth(QString::fromLatin1(kVersion)));
}

TEST(HelpTextTest, TheDescriptionKeepsItsOwnVersion) {
  EXPECT_EQ(ProgramHelpText().split(kCrLf).at(3), QStringLiteral("　　○ ﾊﾞｰｼﾞｮﾝ  ： ２．３０"));
}

// The help and version windows, by what tells them apart.
struct WindowCase {
  const char* name;
  std::function<QWidget*()> open;
  const char* caption;
  int clientWidth, clientHeight;
  QRect box;          // Text1 or Label1, twips
  QRect button;       // Command1, twips
  QString (*text)();  // nullptr: VER
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

QRect InTwips(const QRect& r) { return QRect(Twips(r.x()), Twips(r.y()), Twips(r.width()), Twips(r.height())); }

class HelpWindowTest : public ::testing::TestWithParam<WindowCase> {
 protected:
  void TearDown() override { delete window.data(); }

  void Open() {
    window = GetParam().open();
    window->show();
    Activate(window);
  }
  template <typename T = QWidget>
  T* Find(const char* name) const {
    return FindIn<T>(window, QString::fromLatin1(name));
  }
  // The lines the box shows; the box keeps each CR LF as the end of a paragraph.
  QStringList BoxLines() const { return Find<QPlainTextEdit>("Text1")->toPlainText().split(QLatin1Char('\n')); }
  QStringList TextLines() const { return GetParam().text().split(kCrLf); }

  QPointer<QWidget> window;
};

TEST_P(HelpWindowTest, ControlsHaveTheirPlacesCaptionsAndFonts) {
  Open();
  const WindowCase& c = GetParam();
  EXPECT_EQ(window->objectName(), QString::fromLatin1(c.name));
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.caption));
  EXPECT_EQ(window->size(), QSize(Twips(c.clientWidth), Twips(c.clientHeight)));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));

  auto* button = Find<QPushButton>("Command1");
  EXPECT_EQ(button->geometry(), InTwips(c.button));
  EXPECT_EQ(button->text(), QStringLiteral("閉じる"));
  if (c.text == nullptr) {
    auto* label = Find<QLabel>("Label1");
    EXPECT_EQ(label->geometry(), InTwips(c.box));
    EXPECT_EQ(label->text(), QStringLiteral("カルメロ　Version ２．４２"));
    EXPECT_EQ(QFontInfo(label->font()).family(), kPGothic);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9);
    EXPECT_EQ(QFontInfo(button->font()).family(), kGothic);
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 9);
    return;
  }
  auto* box = Find<QPlainTextEdit>("Text1");
  EXPECT_EQ(box->geometry(), InTwips(c.box));
  EXPECT_EQ(QFontInfo(box->font()).family(), kGothic);
  EXPECT_DOUBLE_EQ(box->font().pointSizeF(), 9);
  EXPECT_FALSE(box->font().bold());
  EXPECT_TRUE(box->isReadOnly());
  EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::NoWrap);
}

using HelpTextWindowTest = HelpWindowTest;

TEST_P(HelpTextWindowTest, TheBoxShowsTheTextFromConstructionOn) {
  window = GetParam().open();  // not shown yet
  EXPECT_EQ(BoxLines(), TextLines());
  auto* help = qobject_cast<HelpTextWindow*>(window.data());
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->text(), GetParam().text()) << "the built text keeps its CR LF";
}

TEST_P(HelpTextWindowTest, EveryActivationPutsTheTextBack) {
  Open();
  auto* box = Find<QPlainTextEdit>("Text1");
  box->setPlainText(QStringLiteral("changed"));
  QWidget other;
  other.show();
  Activate(&other);
  EXPECT_EQ(box->toPlainText(), QStringLiteral("changed")) << "leaving the window keeps the box";
  Activate(window);
  EXPECT_EQ(BoxLines(), TextLines());
}

TEST_P(HelpWindowTest, CloseButtonClosesAndDiscardsTheWindow) {
  Open();
  QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

const WindowCase kNewton{"READ1",
                         [] { return new NewtonHelpWindow; },
                         "ニュートン法",
                         6450,
                         4110,
                         QRect(120, 120, 6255, 3375),
                         QRect(5400, 3600, 855, 375),
                         &NewtonHelpText};
const WindowCase kProgram{"READ2",
                          [] { return new ProgramHelpWindow; },
                          "カルメロの説明",
                          6960,
                          4065,
                          QRect(120, 120, 6735, 3375),
                          QRect(6000, 3600, 855, 375),
                          &ProgramHelpText};
const WindowCase kVersion{"VER",
                          [] { return new VersionWindow; },
                          "ﾊﾞｰｼﾞｮﾝ情報",
                          3195,
                          1095,
                          QRect(240, 120, 2895, 255),
                          QRect(2160, 720, 855, 330),
                          nullptr};

std::string CaseName(const ::testing::TestParamInfo<WindowCase>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Windows, HelpWindowTest, ::testing::Values(kNewton, kProgram, kVersion), CaseName);
INSTANTIATE_TEST_SUITE_P(Windows, HelpTextWindowTest, ::testing::Values(kNewton, kProgram), CaseName);

}  // namespace
}  // namespace suusiki::testing
