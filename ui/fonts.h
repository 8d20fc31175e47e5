// SPDX-License-Identifier: GPL-3.0-or-later
// The window fonts: the proportional Gothic, the fixed-pitch Gothic and the
// Mincho of the IPA fonts, each with the matching Noto CJK font behind it.
// They are asked for by their own family names, so that fontconfig finds them
// at once instead of searching for a substitute. Positions come in twips.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace suusiki {

// The three faces the windows use, by the family name fontconfig knows.
inline const QString kPGothic = QStringLiteral("IPAPGothic");
inline const QString kGothic = QStringLiteral("IPAGothic");
inline const QString kMincho = QStringLiteral("IPAMincho");

// A font of one of the three faces (kPGothic, kGothic or kMincho), size in
// points; the Noto CJK font of the same kind stands in where the IPA font is
// not installed.
QFont WindowFont(const QString& family, double points, bool bold = false);

// Positions and sizes are given in twips; 15 twips make one logical pixel.
constexpr int Twips(int twips) { return (twips + 7) / 15; }

// A child control named `name` at a position and size in twips, relative to
// its parent.
template <typename Widget>
Widget* PlaceControl(QWidget* parent, const QString& name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
  return widget;
}

}  // namespace suusiki
