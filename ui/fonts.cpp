// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QStringList>

namespace suusiki {

void InstallFontSubstitutions() {
  const auto list = [](const char* first, const char* second) {
    return QStringList{QString::fromLatin1(first), QString::fromLatin1(second)};
  };
  QFont::insertSubstitutions(kPGothic, list("IPAPGothic", "Noto Sans CJK JP"));
  QFont::insertSubstitutions(kGothic, list("IPAGothic", "Noto Sans Mono CJK JP"));
  QFont::insertSubstitutions(kMincho, list("IPAMincho", "Noto Serif CJK JP"));
}

QFont WindowFont(const QString& family, double points, bool bold) {
  QFont font(family);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace suusiki
