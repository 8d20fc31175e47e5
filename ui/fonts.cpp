// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace suusiki {
namespace {

// The face itself when it is installed, otherwise its Noto CJK stand-in. One
// family only: a font with a second family makes Qt ask fontconfig for the
// fallbacks of each at once, a search that costs more than the rest of the
// font's loading, where a single family leaves it until a character is missing.
// (QFontDatabase::hasFamily would ask fontconfig for aliases of the name: the
// list of installed families answers without a search.)
QString Installed(const QString& family) {
  static const QStringList kFamilies = QFontDatabase::families();
  if (kFamilies.contains(family)) return family;
  if (family == kGothic) return QStringLiteral("Noto Sans Mono CJK JP");
  if (family == kMincho) return QStringLiteral("Noto Serif CJK JP");
  return QStringLiteral("Noto Sans CJK JP");
}

}  // namespace

QFont WindowFont(const QString& family, double points, bool bold) {
  static const QString kPGothicFace = Installed(kPGothic);
  static const QString kGothicFace = Installed(kGothic);
  static const QString kMinchoFace = Installed(kMincho);
  QFont font(family == kGothic ? kGothicFace : family == kMincho ? kMinchoFace : kPGothicFace);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace suusiki
