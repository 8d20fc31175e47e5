// SPDX-License-Identifier: GPL-3.0-or-later
// The small interfaces through which the windows reach the desktop: the beep,
// message boxes, file dialogs and ending the program. Tests answer them without
// a person; the program uses the Qt implementations below.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace suusiki {

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

class Prompter {
 public:
  enum class Icon { None, Exclamation };
  virtual ~Prompter() = default;
  // A question with the buttons OK and Cancel; true for OK.
  virtual bool Ask(const QString& text, const QString& title) = 0;
  // A message with an OK button.
  virtual void Tell(const QString& text, const QString& title, Icon icon) = 0;
};

// File dialogs. A filter is a description and a pattern joined by "|", such as
// "数式ﾌｧｲﾙ (*.0DT)|*.0DT". `fileName` is the name the dialog remembers (empty
// at first). Both return the chosen path, or an empty text when cancelled.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual QString ChooseOpen(const QString& filter, const QString& fileName) = 0;
  // Asks before overwriting an existing file; no extension is added to the name.
  virtual QString ChooseSave(const QString& filter, const QString& fileName) = 0;
};

// The printer: one page of text lines from the top left of the printable area.
class Printer {
 public:
  virtual ~Printer() = default;
  // On the default printer. False, with the reason, when there is none or it fails.
  virtual bool Print(const QStringList& lines, QString* error) = 0;
  // Into a PDF file instead.
  virtual bool PrintToPdf(const QStringList& lines, const QString& path, QString* error) = 0;
};

class SystemBeeper : public Beeper {
 public:
  void Beep() override;
};

class MessageBoxPrompter : public Prompter {
 public:
  explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}
  bool Ask(const QString& text, const QString& title) override;
  void Tell(const QString& text, const QString& title, Icon icon) override;

 private:
  QWidget* parent_;
};

class DialogFileChooser : public FileChooser {
 public:
  explicit DialogFileChooser(QWidget* parent) : parent_(parent) {}
  QString ChooseOpen(const QString& filter, const QString& fileName) override;
  QString ChooseSave(const QString& filter, const QString& fileName) override;

 private:
  QWidget* parent_;
};

// "description|pattern" as a Qt name filter, "description (pattern)".
QString QtNameFilter(const QString& filter);

// What the windows need of the desktop. Members left empty get the real thing.
struct Platform {
  Beeper* beeper = nullptr;
  Prompter* prompter = nullptr;
  FileChooser* files = nullptr;
  Printer* printer = nullptr;
  std::function<void()> quit;  // ends the program at once, closing every window
  // Starts a program as a separate process without waiting; false, with the
  // reason, when it can't be started.
  std::function<bool(const QString& program, QString* error)> startProgram;
  // The path of the program `name` to start (see FindProgram).
  std::function<QString(const QString& name)> findProgram;
};

// A Platform whose empty members are filled with the real desktop: the system
// beep, message boxes and file dialogs over `dialogParent`, the default printer,
// starting programs detached, and ending the application.
class DesktopPlatform {
 public:
  DesktopPlatform(Platform given, QWidget* dialogParent);
  ~DesktopPlatform();
  DesktopPlatform(const DesktopPlatform&) = delete;
  DesktopPlatform& operator=(const DesktopPlatform&) = delete;

  Platform& get() { return platform_; }

 private:
  std::unique_ptr<Beeper> beeper_;
  std::unique_ptr<Prompter> prompter_;
  std::unique_ptr<FileChooser> files_;
  std::unique_ptr<Printer> printer_;
  Platform platform_;
};

// Where the program `name` is: in `folder` (the program's own folder) when it
// is there, otherwise on the PATH (or in `searchPaths` when given); `folder`
// and `name` joined when it is in neither, so that a message can name it.
QString FindProgram(const QString& folder, const QString& name, const QStringList& searchPaths = {});

// Loads Qt's own Japanese texts (qtbase_ja from Qt's translations folder), so
// that file dialogs and message-box buttons read "開く", "キャンセル"... whatever
// the system's language. False when the translation is not installed.
bool InstallJapaneseQtTexts();

// Starts `program` detached, in its own folder.
bool StartDetached(const QString& program, QString* error);

// Shows `window` in front of the others and makes it the active window; a
// minimised window is restored first.
void BringToFront(QWidget* window);

}  // namespace suusiki
