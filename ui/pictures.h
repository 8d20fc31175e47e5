// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the toolbar buttons: the desktop's themed icons, with
// pictures drawn by the program when the theme has none; and a style that
// reads a bar's extension picture only when it is drawn.
#pragma once

#include <QIcon>

class QStyle;

namespace suusiki {

// Button 1 to 5: open, save, print, the companion calculator, the description.
// Which picture the button shows is decided when it is first painted.
QIcon ToolbarPicture(int button);

// The program's own picture for the button, without the theme.
QIcon BuiltInToolbarPicture(int button);

// The application's style (the desktop's, or the one asked for with -style or
// QT_STYLE_OVERRIDE), except that the picture of a menu bar's or toolbar's
// extension button is read when it is first drawn, not when the bar is made:
// reading it loads every image format plug-in.
QStyle* StyleWithLazyExtensionPicture();

}  // namespace suusiki
