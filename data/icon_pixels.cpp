// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: writes the pixels of a PNG picture as 32-bit premultiplied ARGB
// words (the machine's byte order), row after row, with nothing around them.
// The programs take their window icon from these, built in uncompressed, so
// that a start decodes no picture at all.
//
//   icon_pixels INPUT.png OUTPUT.argb
#include <QFile>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: icon_pixels INPUT.png OUTPUT.argb\n");
    return 2;
  }
  const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    std::fprintf(stderr, "icon_pixels: can't read %s\n", argv[1]);
    return 1;
  }
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "icon_pixels: can't write %s\n", argv[2]);
    return 1;
  }
  const qint64 row = static_cast<qint64>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y) {
    if (out.write(reinterpret_cast<const char*>(image.constScanLine(y)), row) != row) return 1;
  }
  return out.flush() ? 0 : 1;
}
