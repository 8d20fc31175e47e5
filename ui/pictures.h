// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the toolbar buttons: the desktop's themed icons, with
// pictures drawn by the program when the theme has none; and a style that
// reads a bar's extension picture only when it is drawn.
#pragma once

#include <QIcon>
#include <functional>

class QStyle;

namespace suusiki {

// Button 1 to 5: open, save, print, the companion calculator, the description.
// Which picture the button shows is decided when it is first painted. Without
// a desktop icon theme, and with `themed` given, that is the program's own
// picture, and the fallback theme is looked through as soon as the event loop
// is free: `themed` is called with the theme's picture if it has one.
QIcon ToolbarPicture(int button, std::function<void(const QIcon&)> themed = {});

// The program's own picture for the button, without the theme.
QIcon BuiltInToolbarPicture(int button);

// The application's style (the desktop's, or the one asked for with -style or
// QT_STYLE_OVERRIDE), except that the picture of a menu bar's or toolbar's
// extension button is read when it is first drawn, not when the bar is made:
// reading it loads every image format plug-in.
QStyle* StyleWithLazyExtensionPicture();

}  // namespace suusiki
