// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told about the program's windows.
#pragma once

namespace suusiki {

// Makes every top-level window that is a plain QWidget (the series, help,
// version, graph and history windows) a window to a screen reader. Qt gives a
// plain QWidget the role of a client area, which AT-SPI calls a "filler", even
// when it stands alone on the desktop. Call it before those windows are made;
// a second call changes nothing.
void InstallWindowRoles();

}  // namespace suusiki
