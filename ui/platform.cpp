// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTranslator>

#include "ui/printing.h"

namespace suusiki {

void SystemBeeper::Beep() { QApplication::beep(); }

bool MessageBoxPrompter::Ask(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent_);
  return box.exec() == QMessageBox::Ok;
}

void MessageBoxPrompter::Tell(const QString& text, const QString& title, Icon icon) {
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                  parent_);
  box.exec();
}

QString QtNameFilter(const QString& filter) {
  const qsizetype bar = filter.indexOf(QLatin1Char('|'));
  if (bar < 0) return filter;
  return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + QLatin1Char(')');
}

namespace {

QString Choose(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter, const QString& fileName) {
  QFileDialog dialog(parent);
  // The desktop's own dialog where the platform offers one.
  dialog.setOptions(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(QtNameFilter(filter));
  if (!fileName.isEmpty()) dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

QString DialogFileChooser::ChooseOpen(const QString& filter, const QString& fileName) {
  return Choose(parent_, QFileDialog::AcceptOpen, filter, fileName);
}

QString DialogFileChooser::ChooseSave(const QString& filter, const QString& fileName) {
  return Choose(parent_, QFileDialog::AcceptSave, filter, fileName);
}

DesktopPlatform::DesktopPlatform(Platform given, QWidget* dialogParent) : platform_(std::move(given)) {
  if (platform_.beeper == nullptr) platform_.beeper = (beeper_ = std::make_unique<SystemBeeper>()).get();
  if (platform_.prompter == nullptr) {
    platform_.prompter = (prompter_ = std::make_unique<MessageBoxPrompter>(dialogParent)).get();
  }
  if (platform_.files == nullptr) platform_.files = (files_ = std::make_unique<DialogFileChooser>(dialogParent)).get();
  if (platform_.printer == nullptr) platform_.printer = (printer_ = std::make_unique<SystemPrinter>()).get();
  if (!platform_.startProgram) platform_.startProgram = StartDetached;
  if (!platform_.findProgram) {
    platform_.findProgram = [](const QString& name) {
      return FindProgram(QCoreApplication::applicationDirPath(), name);
    };
  }
  if (!platform_.quit) {
    platform_.quit = [] {
      QApplication::closeAllWindows();
      QApplication::quit();
    };
  }
}

DesktopPlatform::~DesktopPlatform() = default;

QString FindProgram(const QString& folder, const QString& name, const QStringList& searchPaths) {
  QString beside = QDir(folder).filePath(name);
  const QFileInfo file(beside);
  if (file.isFile() && file.isExecutable()) return beside;
  const QString found = QStandardPaths::findExecutable(name, searchPaths);
  return found.isEmpty() ? beside : found;
}

bool InstallJapaneseQtTexts() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

bool StartDetached(const QString& program, QString* error) {
  const QFileInfo file(program);
  if (!file.exists()) {
    *error = QStringLiteral("ファイルがありません。");
    return false;
  }
  if (!file.isFile() || !file.isExecutable()) {
    *error = QStringLiteral("実行できるファイルではありません。");
    return false;
  }
  QProcess process;
  process.setProgram(program);
  process.setWorkingDirectory(file.absolutePath());
  if (!process.startDetached()) {
    *error = process.errorString();
    return false;
  }
  return true;
}

void BringToFront(QWidget* window) {
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace suusiki
