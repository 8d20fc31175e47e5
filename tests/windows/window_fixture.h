// SPDX-License-Identifier: GPL-3.0-or-later
// A main window on Qt's offscreen platform with every desktop interface
// answered by the test: beeps are counted, questions answered from a list,
// messages recorded, file dialogs return a chosen path.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>

#include "mainwin/main_window.h"
#include "ui/printing.h"
#include "ui/qt_text.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace suusiki::testing {

// The child of `parent` named `name`; a test failure when there is none.
template <typename T = QWidget>
T* FindIn(const QWidget* parent, const QString& name) {
  auto* widget = parent->findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name.toStdString();
  return widget;
}

// Shows `widget` and makes it the active window.
inline void Activate(QWidget* widget) {
  widget->show();
  widget->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(widget)) << widget->objectName().toStdString();
}

struct FakeDesktop : Beeper, Prompter, FileChooser {
  void Beep() override { ++beeps; }
  bool Ask(const QString& text, const QString& title) override {
    asked.push_back(title + QLatin1Char('|') + text);
    const bool answer = answers.empty() || answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void Tell(const QString& text, const QString& title, Icon) override {
    told.push_back(title + QLatin1Char('|') + text);
  }
  QString ChooseOpen(const QString& filter, const QString& fileName) override {
    dialogs.push_back(QStringLiteral("open|") + filter + QLatin1Char('|') + fileName);
    return chosen;
  }
  QString ChooseSave(const QString& filter, const QString& fileName) override {
    dialogs.push_back(QStringLiteral("save|") + filter + QLatin1Char('|') + fileName);
    return chosen;
  }
  Platform platform() {
    Platform p;
    p.beeper = this;
    p.prompter = this;
    p.files = this;
    p.quit = [this] { ++quits; };
    // The companion is looked for beside the tests, never on this machine's PATH.
    p.findProgram = [](const QString& name) {
      return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    };
    return p;
  }

  int beeps = 0;
  int quits = 0;
  std::deque<bool> answers;  // OK (true) or Cancel for the next questions
  QStringList asked, told, dialogs;
  QString chosen;  // what the file dialogs return; empty: cancelled
};

// A printer that keeps each page it was given, works or fails as told, and
// writes real PDF files.
struct FakePrinter : Printer {
  bool Print(const QStringList& lines, QString* error) override {
    printed.push_back(lines);
    if (!works) *error = QStringLiteral("プリンタが設定されていません。");
    return works;
  }
  bool PrintToPdf(const QStringList& lines, const QString& path, QString* error) override {
    pdfs.push_back(path);
    return SystemPrinter().PrintToPdf(lines, path, error);
  }
  bool works = true;
  std::vector<QStringList> printed;
  QStringList pdfs;
};

class WindowTest : public ::testing::Test {
 protected:
  // Opens the main window on `autoSavePath` (DATT.0DT in the test's folder by default).
  MainWindow& Open(const QString& autoSavePath = {}) {
    window = std::make_unique<MainWindow>(autoSavePath.isEmpty() ? DattPath() : autoSavePath, desktop.platform());
    Activate(window.get());
    return *window;
  }

  QString DattPath() const { return dir.filePath(QStringLiteral("DATT.0DT")); }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    return FindIn<T>(window.get(), name);
  }
  QLineEdit* Text1() const { return Find<QLineEdit>(QStringLiteral("Text1")); }
  QLineEdit* Text2() const { return Find<QLineEdit>(QStringLiteral("Text2")); }
  QComboBox* Combo1() const { return Find<QComboBox>(QStringLiteral("Combo1")); }
  QString Label(const char* name) const { return Find<QLabel>(QString::fromLatin1(name))->text(); }
  void Click(const QString& name) const { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
  void Click(const char* name) const { Click(QString::fromLatin1(name)); }

  // Chooses a row of the variable list as the user does.
  void Select(int row) const {
    Combo1()->setCurrentIndex(row);
    emit Combo1()->activated(row);
  }
  void TypeFormula(const QString& text) const {
    Text2()->setFocus();
    Text2()->setText(text);
  }
  void PressEnter(QWidget* widget) const { QTest::keyClick(widget, Qt::Key_Return); }

  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < Combo1()->count(); ++i) rows << Combo1()->itemText(i);
    return rows;
  }
  QString Entry(int index) const { return ToQString(window->state().table()[static_cast<std::size_t>(index)]); }

  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  // A variable file's bytes with the given definitions ("A: 1", ...) and the rest empty.
  static QByteArray FileWith(std::initializer_list<const char*> entries) {
    QByteArray bytes;
    auto it = entries.begin();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      bytes += '"';
      bytes += it != entries.end() ? QByteArray(*it++) : QByteArray(1, letter) + ": ";
      bytes += "\"\r\n";
    }
    return bytes;
  }

  QTemporaryDir dir;
  FakeDesktop desktop;
  std::unique_ptr<MainWindow> window;
};

}  // namespace suusiki::testing
