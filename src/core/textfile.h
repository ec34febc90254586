// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace rinkaro
{

// The learner's own texts as files on disk: read only when they are plain files, up to a
// size that a drill can use, in whichever of the encodings Japanese texts come in.

enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, ShiftJis, EucJp };

constexpr qint64 maxTextFileBytes = 1 << 20; // 1 MiB

struct TextFileRead {
    QString text;  // line ends made "\n"; empty when refused
    QString error; // why the file was refused, in Japanese for the learner; empty: read
    TextEncoding encoding = TextEncoding::Utf8;
    bool ok() const { return error.isEmpty(); }
};

// The file's text. A device, pipe, socket or folder is refused at once, without blocking;
// so is a file over maxTextFileBytes, an empty one, one with NULs or bytes that none of
// the encodings decode, and one without Japanese.
TextFileRead readTextFile(const QString &path, qint64 maxBytes = maxTextFileBytes);
// The bytes' text, the encoding told by a byte-order mark or else by the content.
TextFileRead decodeText(const QByteArray &bytes);

// Whether `text` holds any kana or kanji.
bool hasJapanese(const QString &text);

} // namespace rinkaro
