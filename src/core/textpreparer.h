// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/textlibrary.h"
#include "core/wordreader.h"

#include <QString>

#include <functional>
#include <memory>

namespace rinkaro
{

// From a file on disk, or a copy in the texts folder, to the sentences a drill types. Slow
// with a large text and a dictionary: meant for a thread of its own.

struct TextPreparation {
    PreparedText text;
    QString error;  // why nothing was opened (and nothing copied), for the learner
    QString notice; // opened, but something is worth saying (words left without reading)
    bool ok() const { return error.isEmpty(); }
};

// Made only when a sentence needs readings, so that a text with full ruby never loads the
// dictionary. A reader that cannot work says why in `missing`.
using WordReaderFactory = std::function<std::unique_ptr<WordReader>(QString *missing)>;

// The sentences of the first run, read before the rest of a long text is, so that the
// learner sees the text begin while the rest is read.
using FirstRunReady = std::function<void(const PreparedText &firstRun)>;

// Opens the file at `path`: read, Aozora markup dropped, cut into sentences, readings filled
// in, and copied into the library, where it is the first of the recent texts. A file whose
// copy is already there opens the copy instead, with its corrections and position.
TextPreparation prepareTextFile(const QString &path, TextLibrary &library,
                                const WordReaderFactory &readers,
                                const FirstRunReady &firstRunReady = {});
// Opens the copy `name` in the library where it stopped.
TextPreparation prepareCopy(const QString &name, TextLibrary &library,
                            const WordReaderFactory &readers);

} // namespace rinkaro
