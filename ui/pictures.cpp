// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures.h"

#include <QCoreApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>

namespace suusiki {
namespace {

// Draws picture `button` on a 16 by 16 grid.
void Draw(QPainter& p, int button) {
  p.setRenderHint(QPainter::Antialiasing);
  const QPen outline(QColor(60, 60, 60), 0.8);
  switch (button) {
    case 1: {  // an open folder
      p.setPen(outline);
      p.setBrush(QColor(230, 180, 60));
      p.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
      p.setBrush(QColor(250, 215, 100));
      p.drawPolygon(QPolygonF({{3.5, 7.5}, {15, 7.5}, {13, 13.5}, {1.5, 13.5}}));
      break;
    }
    case 2: {  // a floppy disk
      p.setPen(outline);
      p.setBrush(QColor(50, 90, 170));
      p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
      p.setBrush(QColor(210, 210, 215));
      p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 8.5, 9, 6));
      break;
    }
    case 3: {  // a printer
      p.setPen(outline);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(150, 150, 155));
      p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 10, 7, 4.5));
      p.setPen(QPen(QColor(60, 160, 60), 1.2));
      p.drawPoint(QPointF(12.5, 8));
      break;
    }
    case 4: {  // an abacus
      p.setPen(QPen(QColor(110, 70, 30), 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(1.5, 2.5, 13, 11));
      p.drawLine(QPointF(1.5, 6), QPointF(14.5, 6));
      p.setPen(QPen(QColor(90, 90, 90), 0.8));
      for (double x : {4.5, 8.0, 11.5}) p.drawLine(QPointF(x, 2.5), QPointF(x, 13.5));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(180, 60, 40));
      for (double x : {4.5, 8.0, 11.5}) {
        p.drawEllipse(QPointF(x, 4.2), 1.6, 1.1);
        p.drawEllipse(QPointF(x, 8.2), 1.6, 1.1);
        p.drawEllipse(QPointF(x, 11.2), 1.6, 1.1);
      }
      break;
    }
    default: {  // a question mark in a circle
      p.setPen(outline);
      p.setBrush(QColor(40, 110, 200));
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      QPainterPath mark;
      mark.moveTo(5.8, 6.2);
      mark.cubicTo(5.8, 3.6, 10.4, 3.6, 10.4, 6.2);
      mark.cubicTo(10.4, 7.8, 8, 8, 8, 9.8);
      p.drawPath(mark);
      p.drawPoint(QPointF(8, 12.2));
      break;
    }
  }
}

}  // namespace

QIcon BuiltInToolbarPicture(int button) {
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(size / 16.0, size / 16.0);
    Draw(painter, button);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

namespace {

// A picture decided when it is first needed, by `decide`.
class LazyPictureEngine : public QIconEngine {
 public:
  explicit LazyPictureEngine(std::function<QIcon()> decide) : decide_(std::move(decide)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Picture().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Picture().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Picture().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Picture().pixmap(size, scale, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Picture().availableSizes(mode, state);
  }
  QString iconName() override { return Picture().name(); }
  // Every picture decided here has pixels.
  bool isNull() override { return false; }
  QIconEngine* clone() const override { return new LazyPictureEngine(*this); }

 private:
  const QIcon& Picture() {
    if (!picture_) picture_ = decide_();
    return *picture_;
  }

  std::function<QIcon()> decide_;
  std::optional<QIcon> picture_;
};

// The application's style, except that the picture of a bar's extension
// button (the "»" that a menu bar or toolbar shows only when its items don't
// fit) is read when it is first drawn. A menu bar makes that button at once,
// and reading the picture loads every image format plug-in.
class LazyExtensionPictureStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
    if ((which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton) ||
        option != nullptr) {
      return QProxyStyle::standardIcon(which, option, widget);
    }
    const QPointer<QWidget> asker(
        const_cast<QWidget*>(widget));  // NOLINT(cppcoreguidelines-pro-type-const-cast): QPointer takes no const
    return QIcon(
        new LazyPictureEngine([this, which, asker] { return QProxyStyle::standardIcon(which, nullptr, asker); }));
  }
};

}  // namespace

namespace {

// The theme's icon for the button; a null icon when the theme has none.
QIcon ThemePicture(int button) {
  static const char* const kThemeNames[] = {"document-open", "document-save", "document-print",
                                            "accessories-calculator", "help-contents"};
  QIcon picture = QIcon::fromTheme(QString::fromLatin1(kThemeNames[button - 1]));
  return picture.isNull() || picture.availableSizes().isEmpty() ? QIcon() : picture;
}

}  // namespace

QIcon ToolbarPicture(int button, std::function<void(const QIcon&)> themed) {
  if (button < 1 || button > 5) return {};
  // The theme's icon when the desktop's icon theme has one, the program's own
  // picture otherwise. Looking through an icon theme takes milliseconds (the
  // theme's index is read first), so the window's start leaves it to the
  // buttons' first paint, which shows the same picture it always did.
  return QIcon(new LazyPictureEngine([button, themed = std::move(themed)] {
    // Without a desktop theme the only one left is the fallback, which holds
    // programs' own icons and seldom these: the buttons show the program's
    // pictures at once and the fallback is looked through once they are drawn.
    const QString theme = QIcon::themeName();
    if (themed && (theme.isEmpty() || theme == QLatin1String("hicolor"))) {
      auto* later = new QTimer(QCoreApplication::instance());
      later->setSingleShot(true);
      QObject::connect(later, &QTimer::timeout, later, [later, button, themed] {
        if (const QIcon picture = ThemePicture(button); !picture.isNull()) themed(picture);
        later->deleteLater();
      });
      later->start(0);
      return BuiltInToolbarPicture(button);
    }
    const QIcon picture = ThemePicture(button);
    return picture.isNull() ? BuiltInToolbarPicture(button) : picture;
  }));
}

QStyle* StyleWithLazyExtensionPicture() { return new LazyExtensionPictureStyle; }

}  // namespace suusiki
