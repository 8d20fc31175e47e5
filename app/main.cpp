// SPDX-License-Identifier: GPL-3.0-or-later
// The window program: the main window, with the variable table kept in DATT.0DT.
// One window runs per variable file; a second start brings that one forward.
#include <QApplication>

#include "app/instance_guard.h"
#include "mainwin/main_window.h"
#include "storage/variable_file.h"
#include "ui/fonts.h"
#include "ui/platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("suusiki"));
  suusiki::InstallFontSubstitutions();

  const QString path = suusiki::storage::AutoSavePath();
  suusiki::InstanceGuard guard(path);
  switch (guard.Claim()) {
    case suusiki::InstanceGuard::Outcome::HandedOver: return 0;
    case suusiki::InstanceGuard::Outcome::Unreachable:
      suusiki::MessageBoxPrompter(nullptr).Tell(suusiki::UnreachableMessage(path, guard.holder()),
                                                QStringLiteral("Check"), suusiki::Prompter::Icon::Exclamation);
      return 1;
    case suusiki::InstanceGuard::Outcome::First:
    case suusiki::InstanceGuard::Outcome::Unlocked: break;
  }

  suusiki::MainWindow window(path);
  QObject::connect(&guard, &suusiki::InstanceGuard::activationRequested, &window, [&window](const QString& token) {
    // The platform takes the token from the environment when it activates the window.
    if (!token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    suusiki::BringToFront(&window);
  });
  window.show();
  return QApplication::exec();
}
