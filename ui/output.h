// SPDX-License-Identifier: GPL-3.0-or-later
// Painting onto paper, into a PDF file or into an SVG file. Qt Print Support
// and Qt SVG are linked into a module of their own, loaded the first time one
// of these is asked for: the windows start without either library.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;

namespace suusiki::output {

// What the module gives: its functions, behind the version of this list.
struct Functions {
  static constexpr int kVersion = 1;
  int version = kVersion;
  // The lines on the system's default printer, or into a PDF file at `path`.
  bool (*print)(const QStringList& lines, QString* error) = nullptr;
  bool (*printToPdf)(const QStringList& lines, const QString& path, QString* error) = nullptr;
  // An SVG file of `size` at `path`, drawn by `paint`.
  bool (*writeSvg)(const QString& path, QSize size, const QString& title, const QString& description,
                   const std::function<void(QPainter&)>& paint, QString* error) = nullptr;
};

// The file name of the module, found through the program's library path.
inline constexpr char kModuleName[] = "libsuusiki-output.so";

// The module's functions, loaded on the first call; nullptr, with `error`
// saying why, when it can't be loaded (the file missing, or from another
// version of the program). `module` names another file, for tests.
const Functions* Load(QString* error, const char* module = kModuleName);

}  // namespace suusiki::output
