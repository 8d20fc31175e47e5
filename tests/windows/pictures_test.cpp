// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures the windows show: the window icon, built into the programs as
// raw pixels, and the toolbar's pictures, decided when first painted.
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "data/app_icon.h"

namespace suusiki {
namespace {

QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied); }

TEST(ApplicationIconTest, HasEveryRenderedSizeWithThePixelsOfItsPicture) {
  const QIcon icon = ApplicationIcon();
  QList<QSize> sizes = icon.availableSizes();
  std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
  const QList<QSize> rendered = {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
  ASSERT_EQ(sizes, rendered);
  for (const QSize size : rendered) {
    const QImage png = QImage(QStringLiteral(SUUSIKI_ICON_FOLDER "/%1.png").arg(size.width()))
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(png.isNull()) << size.width();
    EXPECT_EQ(Pixels(icon.pixmap(size)), png) << size.width() << " px";
  }
}

TEST(ToolbarPictureTest, ShowsTheThemesIconOrTheProgramsOwn) {
  const char* const themeNames[] = {"document-open", "document-save", "document-print", "accessories-calculator",
                                    "help-contents"};
  for (int button = 1; button <= 5; ++button) {
    const QIcon picture = ToolbarPicture(button);
    ASSERT_FALSE(picture.isNull()) << button;
    const QString name = QString::fromLatin1(themeNames[button - 1]);
    const QIcon expected = QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : BuiltInToolbarPicture(button);
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
      for (const int size : {16, 32}) {
        const QPixmap pixmap = picture.pixmap(QSize(size, size), mode);
        EXPECT_FALSE(pixmap.isNull()) << button;
        EXPECT_EQ(Pixels(pixmap), Pixels(expected.pixmap(QSize(size, size), mode))) << button << " at " << size;
      }
    }
    EXPECT_EQ(picture.availableSizes(), expected.availableSizes()) << button;
  }
  EXPECT_TRUE(ToolbarPicture(0).isNull());
  EXPECT_TRUE(ToolbarPicture(6).isNull());
}

// Without a desktop theme the buttons show the program's pictures at once,
// and the fallback theme's, where it has one, as soon as the events allow.
TEST(ToolbarPictureTest, WithoutADesktopThemeTheFallbackComesAfterThePaint) {
  QTemporaryDir icons;
  ASSERT_TRUE(QDir(icons.path()).mkpath(QStringLiteral("hicolor/16x16/actions")));
  QFile index(icons.filePath(QStringLiteral("hicolor/index.theme")));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write("[Icon Theme]\nName=Hicolor\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
  index.close();
  QImage open(16, 16, QImage::Format_ARGB32_Premultiplied);
  open.fill(Qt::red);
  ASSERT_TRUE(open.save(icons.filePath(QStringLiteral("hicolor/16x16/actions/document-open.png"))));
  const QStringList paths = QIcon::themeSearchPaths();
  const QString theme = QIcon::themeName();
  QIcon::setThemeSearchPaths({icons.path()});
  QIcon::setThemeName(QStringLiteral("hicolor"));

  std::vector<int> told;
  QImage themed;
  for (int button = 1; button <= 2; ++button) {
    const QIcon picture = ToolbarPicture(button, [&told, &themed, button](const QIcon& icon) {
      told.push_back(button);
      themed = Pixels(icon.pixmap(QSize(16, 16)));
    });
    EXPECT_EQ(Pixels(picture.pixmap(QSize(16, 16))), Pixels(BuiltInToolbarPicture(button).pixmap(QSize(16, 16))));
  }
  EXPECT_TRUE(told.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(told, std::vector<int>{1});  // the theme has document-open only
  EXPECT_EQ(themed, open);

  QIcon::setThemeName(theme);
  QIcon::setThemeSearchPaths(paths);
}

}  // namespace
}  // namespace suusiki
