// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/wordreader.h"

#include <QString>

#include <memory>

namespace rinkaro
{

// Word readings from MeCab and its IPA dictionary. The library is opened (dlopen) only when
// a reader is made, that is when a text needs readings: the program starts without it, and
// a machine without MeCab still runs every drill and every text with full ruby.
// A reader belongs to one thread at a time.
class MeCabReader : public WordReader
{
public:
    MeCabReader();
    ~MeCabReader() override;
    MeCabReader(const MeCabReader &) = delete;
    MeCabReader &operator=(const MeCabReader &) = delete;

    // Whether MeCab and a dictionary could be loaded; otherwise error() says what to install.
    bool available() const;
    QString error() const { return error_; }

    std::optional<std::vector<Word>> words(const QString &text) override;

    // What the learner is told where readings cannot be given.
    static QString missingMessage();

private:
    struct Library;
    std::unique_ptr<Library> library_;
    QString error_;
};

} // namespace rinkaro
