// SPDX-License-Identifier: GPL-3.0-or-later
// The module of ui/output.h: printing through Qt Print Support (the system's
// default printer, CUPS, or a PDF file) and SVG files through Qt SVG.
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSvgGenerator>

#include "ui/output.h"

namespace suusiki::output {
namespace {

// The lines in the printer's font, from the top left of the printable area,
// on as many pages as they need: lines that don't fit go on to the next.
bool Paint(QPrinter& printer, const QStringList& lines, QString* error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    *error = QStringLiteral("印刷を始められません。");
    return false;
  }
  const QFontMetrics metrics = painter.fontMetrics();
  int baseline = metrics.ascent();
  for (const QString& line : lines) {
    if (baseline + metrics.descent() > printer.height() && baseline > metrics.ascent()) {
      if (!printer.newPage()) {
        *error = QStringLiteral("次のページを始められません。");
        return false;
      }
      baseline = metrics.ascent();
    }
    painter.drawText(0, baseline, line);
    baseline += metrics.lineSpacing();
  }
  if (!painter.end()) {
    *error = QStringLiteral("印刷を終えられません。");
    return false;
  }
  return true;
}

bool Print(const QStringList& lines, QString* error) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    *error = QStringLiteral("プリンタが設定されていません。");
    return false;
  }
  QPrinter printer(info);
  return Paint(printer, lines, error);
}

bool PrintToPdf(const QStringList& lines, const QString& path, QString* error) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  return Paint(printer, lines, error);
}

bool WriteSvg(const QString& path, QSize size, const QString& title, const QString& description,
              const std::function<void(QPainter&)>& paint, QString* error) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(title);
  svg.setDescription(description);
  QPainter painter;
  if (!painter.begin(&svg)) {
    *error = QStringLiteral("ファイルを書けません。");
    return false;
  }
  paint(painter);
  painter.end();
  return true;
}

constexpr Functions kFunctions{Functions::kVersion, &Print, &PrintToPdf, &WriteSvg};

}  // namespace
}  // namespace suusiki::output

extern "C" __attribute__((visibility("default"))) const suusiki::output::Functions* SuusikiOutputFunctions() {
  return &suusiki::output::kFunctions;
}
