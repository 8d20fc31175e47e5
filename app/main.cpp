// The window program: the main window, with the variable table kept in DATT.0DT.
#include <QApplication>

#include "mainwin/fonts.h"
#include "mainwin/main_window.h"
#include "storage/variable_file.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("suusiki"));
  suusiki::InstallFontSubstitutions();
  suusiki::MainWindow window(suusiki::storage::AutoSavePath());
  window.show();
  return QApplication::exec();
}
