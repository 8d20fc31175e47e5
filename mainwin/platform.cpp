#include "mainwin/platform.h"

#include <QApplication>

namespace suusiki {

void SystemBeeper::Beep() { QApplication::beep(); }

}  // namespace suusiki
