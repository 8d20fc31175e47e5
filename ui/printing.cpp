// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/printing.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace suusiki {
namespace {

// The lines in the printer's font, from the top left of the printable area,
// on as many pages as they need.
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

void PrintOrOfferPdf(const Platform& platform, const QStringList& lines, const QString& title) {
  QString error;
  if (platform.printer->Print(lines, &error)) return;
  // Never a silent nothing: say why, and offer the page as a PDF file.
  const QString offer = QStringLiteral("印刷できませんでした。\n%1\nPDF ファイルとして保存しますか？").arg(error);
  if (!platform.prompter->Ask(offer, title)) return;
  const QString path = platform.files->ChooseSave(QStringLiteral("PDF ﾌｧｲﾙ (*.pdf)|*.pdf"), QString());
  if (!path.isEmpty() && !platform.printer->PrintToPdf(lines, path, &error)) {
    platform.prompter->Tell(QStringLiteral("PDF ファイルに保存できませんでした。\n%1\n%2").arg(path, error), title,
                            Prompter::Icon::Exclamation);
  }
}

}  // namespace suusiki
