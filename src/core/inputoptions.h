// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/language.h"

#include <QString>

// "RK.ini", beside RK.set: the input options that RK.set has no line for, in INI format
// ([input] freeRomaji=true). Read and written only when it is a plain file (or, for a
// write, missing); whatever else the file holds is kept.
struct InputOptions {
    bool freeRomaji = false; // every input method's spelling is right
    friend bool operator==(const InputOptions &, const InputOptions &) = default;
};

// The options of the file at `path`; the defaults when it is missing, not a plain file,
// unreadable or not INI.
InputOptions readInputOptions(const QString &path);
// Writes the options into the file at `path`, keeping its other keys. Nothing is written
// over anything but a plain file, nor over one that cannot be read or parsed. Returns
// whether the options were saved.
bool saveInputOptions(const QString &path, const InputOptions &options);

// [interface] language: the interface's language from the next start ("ja", "en", or the
// desktop's). Read and written with the same care as the options above, on its own, so that
// saving one never resets the other.
LanguageChoice readLanguageChoice(const QString &path);
bool saveLanguageChoice(const QString &path, LanguageChoice choice);
