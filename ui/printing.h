// SPDX-License-Identifier: GPL-3.0-or-later
// Printing through Qt Print Support: the system's default printer (CUPS), or a
// PDF file.
#pragma once

#include "ui/platform.h"

namespace suusiki {

class SystemPrinter : public Printer {
 public:
  bool Print(const QStringList& lines, QString* error) override;
  bool PrintToPdf(const QStringList& lines, const QString& path, QString* error) override;
};

}  // namespace suusiki
