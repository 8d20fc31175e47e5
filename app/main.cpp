// SPDX-License-Identifier: GPL-3.0-or-later
// The window program: the main window, with the variable table kept in DATT.0DT.
// One window runs per variable file; a second start brings that one forward
// (and has it open the file named on the command line, if any).
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

#include "app/instance_guard.h"
#include "data/app_icon.h"
#include "mainwin/main_window.h"
#include "storage/variable_file.h"
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/platform.h"
#include "version.h"

namespace {

// The command line: --help, --version and an optional variable file.
void Describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("SUUSIKI, a calculator for mathematics with 26 formula variables.\n"
                     "The variables are kept in DATT.0DT and come back at the next start."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("A variable file (*.0DT) to open after the start, as the Open command does."),
      QStringLiteral("[FILE]"));
}

// True when the command line asks for the help or the version: those need no
// display, so they are answered before the window system is opened.
bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") return true;
  }
  return false;
}

// With SUUSIKI_STARTUP_TIMES set, the start-up prints the milliseconds since
// main() began at each of its steps to standard error, up to the first paint
// of the main window: where the time of a start goes.
class StartupMarks {
 public:
  StartupMarks() : on_(qEnvironmentVariableIsSet("SUUSIKI_STARTUP_TIMES")) { timer_.start(); }
  void Mark(const char* step) const {
    if (on_) std::fprintf(stderr, "%8.1f ms  %s\n", static_cast<double>(timer_.nsecsElapsed()) / 1e6, step);
  }
  // Marks the first paint of `window`, once it is drawn.
  void WatchFirstPaint(QWidget* window) const {
    if (on_) suusiki::AfterFirstPaint(window, [this] { Mark("first paint of the main window"); });
  }

 private:
  bool on_;
  QElapsedTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
  StartupMarks marks;
  QCoreApplication::setApplicationName(QStringLiteral("suusiki"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(suusiki::kVersion));
  QCommandLineParser parser;
  Describe(parser);
  if (AsksForHelpOrVersion(argc, argv)) {
    const QCoreApplication core(argc, argv);
    parser.process(core);  // prints and ends the program
  }

  QApplication app(argc, argv);  // takes the window system's own options off the command line
  marks.Mark("application");
  parser.process(app);  // a bad option is told and ends the program
  QGuiApplication::setDesktopFileName(QString::fromLatin1(suusiki::kApplicationId));
  // The desktop's style (or the one asked for with -style), before any widget.
  QApplication::setStyle(suusiki::StyleWithLazyExtensionPicture());
  const QStringList files = parser.positionalArguments();
  const QString file = files.isEmpty() ? QString() : QFileInfo(files.constFirst()).absoluteFilePath();

  suusiki::InstallJapaneseQtTexts();
  marks.Mark("Japanese texts of Qt");
  // Menus and message boxes speak Japanese: in the window's own font they need
  // no search for a font that has the characters, and the system's default
  // font is never loaded.
  QApplication::setFont(suusiki::WindowFont(suusiki::kPGothic, 9));

  const QString path = suusiki::storage::AutoSavePath();
  suusiki::InstanceGuard guard(path);
  const suusiki::InstanceGuard::Outcome outcome = guard.Claim(file);
  marks.Mark("variable file claimed");
  switch (outcome) {
    case suusiki::InstanceGuard::Outcome::HandedOver: return 0;
    case suusiki::InstanceGuard::Outcome::Unreachable:
      QApplication::setWindowIcon(suusiki::ApplicationIcon());
      suusiki::MessageBoxPrompter(nullptr).Tell(suusiki::UnreachableMessage(path, guard.holder()),
                                                QStringLiteral("Check"), suusiki::Prompter::Icon::Exclamation);
      return 1;
    case suusiki::InstanceGuard::Outcome::First:
    case suusiki::InstanceGuard::Outcome::Unlocked: break;
  }

  suusiki::MainWindow window(path);
  marks.Mark("main window built");
  marks.WatchFirstPaint(&window);
  QObject::connect(&guard, &suusiki::InstanceGuard::activationRequested, &window, [&window](const QString& token) {
    // The platform takes the token from the environment when it activates the window.
    if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    suusiki::BringToFront(&window);
  });
  QObject::connect(&guard, &suusiki::InstanceGuard::openRequested, &window,
                   [&window](const QString& requested) { window.OpenFile(requested); });
  // The window icon is for the desktop, not part of the window's picture: it
  // comes once that is drawn (the desktop takes it whenever it is set).
  suusiki::AfterFirstPaint(&window, [] { QApplication::setWindowIcon(suusiki::ApplicationIcon()); });
  window.show();  // the first showing restores the table from DATT.0DT
  marks.Mark("main window shown");
  if (!file.isEmpty()) window.OpenFile(file);
  return QApplication::exec();
}
