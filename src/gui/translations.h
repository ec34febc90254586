// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/language.h"

#include <QLocale>
#include <QString>

namespace rinkaro
{

// The compiled translation of `language` among the program's resources; empty for Japanese,
// the source language.
QString translationFile(Language language);

// `source` of `context` in `language`, whatever language the interface is in: what a message
// about the next start says in the language chosen.
QString translatedIn(Language language, const char *context, const char *source);

// The language the interface is in now: the one whose translation is installed.
Language currentLanguage();

// The locale that dates and numbers are written in, the interface's.
QLocale interfaceLocale();

} // namespace rinkaro
