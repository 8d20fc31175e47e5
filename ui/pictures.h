// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the toolbar buttons: the desktop's themed icons, with
// pictures drawn by the program when the theme has none.
#pragma once

#include <QIcon>

namespace suusiki {

// Button 1 to 5: open, save, print, the companion calculator, the description.
// Which picture the button shows is decided when it is first painted.
QIcon ToolbarPicture(int button);

// The program's own picture for the button, without the theme.
QIcon BuiltInToolbarPicture(int button);

}  // namespace suusiki
