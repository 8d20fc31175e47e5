// SPDX-License-Identifier: GPL-3.0-or-later
// The window fonts are named by their Windows names; on Linux they map to the
// IPA fonts, with Noto Sans CJK JP behind them. Positions come in twips.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace suusiki {

inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kMincho = QStringLiteral("ＭＳ 明朝");

// Registers the substitutions once per process.
void InstallFontSubstitutions();

// A font by its Windows name, size in points.
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
