// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/app_icon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>
#include <cstring>

namespace suusiki {

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    // The pixels, as the build wrote them from the rendered PNG: premultiplied
    // ARGB words, row after row, stored uncompressed.
    const QResource pixels(QStringLiteral(":/icon/%1.argb").arg(size));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    const auto bytes = static_cast<std::size_t>(image.sizeInBytes());
    if (pixels.data() == nullptr || pixels.compressionAlgorithm() != QResource::NoCompression ||
        static_cast<std::size_t>(pixels.size()) != bytes)
      continue;
    std::memcpy(image.bits(), pixels.data(), bytes);
    icon.addPixmap(QPixmap::fromImage(std::move(image)));
  }
  return icon;
}

}  // namespace suusiki
