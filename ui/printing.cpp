// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/printing.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace suusiki {
namespace {

// The lines in the printer's font, from the top left of the printable area.
bool Paint(QPrinter& printer, const QStringList& lines, QString* error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    *error = QStringLiteral("印刷を始められません。");
    return false;
  }
  const QFontMetrics metrics = painter.fontMetrics();
  int baseline = metrics.ascent();
  for (const QString& line : lines) {
    painter.drawText(0, baseline, line);
    baseline += metrics.lineSpacing();
  }
  if (!painter.end()) {
    *error = QStringLiteral("印刷を終えられません。");
    return false;
  }
  return true;
}

}  // namespace

bool SystemPrinter::Print(const QStringList& lines, QString* error) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    *error = QStringLiteral("プリンタが設定されていません。");
    return false;
  }
  QPrinter printer(info);
  return Paint(printer, lines, error);
}

bool SystemPrinter::PrintToPdf(const QStringList& lines, const QString& path, QString* error) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  return Paint(printer, lines, error);
}

}  // namespace suusiki
