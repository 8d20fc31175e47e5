// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion between the engine's character text and QString.
#pragma once

#include <QString>

#include "engine/text.h"

namespace suusiki {

inline QString ToQString(TextView text) { return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())); }

inline Text FromQString(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();
  return Text(ucs4.begin(), ucs4.end());
}

}  // namespace suusiki
