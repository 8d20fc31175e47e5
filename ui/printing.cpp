// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/printing.h"

#include "ui/output.h"

namespace suusiki {

bool SystemPrinter::Print(const QStringList& lines, QString* error) {
  const output::Functions* output = output::Load(error);
  return output != nullptr && output->print(lines, error);
}

bool SystemPrinter::PrintToPdf(const QStringList& lines, const QString& path, QString* error) {
  const output::Functions* output = output::Load(error);
  return output != nullptr && output->printToPdf(lines, path, error);
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
