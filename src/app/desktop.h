// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/language.h"

#include <QIcon>

namespace rinkaro
{

// What the desktop shows of the program besides its own windows, set up at start-up before
// the first window exists.

// Puts the interface in `language`: the program's translation (none for Japanese, its source
// text) and Qt's own texts in the same language (the standard buttons of message boxes, the
// line edits' context menus, Qt's messages), whatever the locale. Replaces what an earlier
// call installed. Returns whether every translation needed was found; without Qt's Japanese
// its texts stay English.
bool installTranslations(Language language);

// The language of the desktop and of RK.ini at `optionsPath` (RK.ini), as the rule of
// interfaceLanguage takes them.
Language startLanguage(const QString &optionsPath);

// The program's icon for title bars and task bars: the one installed in the icon theme, or
// the program's own copy when it runs from where it was built.
QIcon programIcon();

} // namespace rinkaro
