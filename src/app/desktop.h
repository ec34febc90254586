// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// What the desktop shows of the program besides its own windows, set up at start-up before
// the first window exists.

// Loads Qt's own texts in Japanese (the standard buttons of message boxes, the line edits'
// context menus, Qt's messages) whatever the locale, as every text of the program is
// Japanese. Returns whether the translation was found; without it those texts stay English.
bool installQtJapanese();

// The program's icon for title bars and task bars: the one installed in the icon theme, or
// the program's own copy when it runs from where it was built.
QIcon programIcon();
