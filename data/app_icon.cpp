// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/app_icon.h"

namespace suusiki {

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icon/%1.png").arg(size));
  return icon;
}

}  // namespace suusiki
