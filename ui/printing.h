// SPDX-License-Identifier: GPL-3.0-or-later
// Printing on the system's default printer (CUPS), or into a PDF file. Lines
// that don't fit on a page go on to the next.
#pragma once

#include "ui/platform.h"

namespace suusiki {

class SystemPrinter : public Printer {
 public:
  bool Print(const QStringList& lines, QString* error) override;
  bool PrintToPdf(const QStringList& lines, const QString& path, QString* error) override;
};

// Prints `lines` through the platform's printer. When that fails, says why and
// offers the page as a PDF file: the file dialog's name, then the PDF, and a
// message when it can't be written. The message boxes are titled `title`.
void PrintOrOfferPdf(const Platform& platform, const QStringList& lines, const QString& title);

}  // namespace suusiki
