// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textfile.h"

#include "core/regularfile.h"
#include "core/rubytext.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <iconv.h>
#include <optional>

namespace rinkaro
{

namespace
{

// glibc's converter rather than QStringDecoder: Qt built without ICU has no Shift_JIS or
// EUC-JP, and iconv says exactly where a byte cannot be decoded.
std::optional<QString> convert(QByteArrayView bytes, const char *from)
{
    const iconv_t cd = ::iconv_open("UTF-8", from);
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray out(bytes.size() * 3 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const size_t done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const bool complete = done != size_t(-1) && inLeft == 0 &&
                          ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != size_t(-1);
    ::iconv_close(cd);
    if (!complete)
        return std::nullopt;
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}

// How much a decoding looks like Japanese: kana and kanji count for it, half-width katakana
// (what EUC-JP read as Shift_JIS mostly turns into) and private-use characters against it.
long japaneseScore(const QString &text)
{
    long score = 0;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (isKana(c) || isKanji(c) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF5E))
            score += 2;
        else if ((c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xE000 && c <= 0xF8FF))
            score -= 3;
        else if (c >= 0x80)
            score -= 1;
    }
    return score;
}

QString unifyLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

TextFileRead refused(const QString &why)
{
    TextFileRead read;
    read.error = why;
    return read;
}

} // namespace

bool hasJapanese(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (isKana(c) || isKanji(c))
            return true;
    }
    return false;
}

TextFileRead decodeText(const QByteArray &bytes)
{
    const QString undecodable = QCoreApplication::translate(
        "TextFile", "文字コードが分かりません。UTF-8、UTF-16（BOM 付き）、Shift_JIS、EUC-JP "
                    "のテキストファイルを開けます。");
    const QString binary = QCoreApplication::translate(
        "TextFile", "NUL 文字を含むファイルです。テキストファイルを選んでください。");
    if (bytes.isEmpty())
        return refused(QCoreApplication::translate("TextFile", "空のファイルです。"));

    std::optional<QString> text;
    TextEncoding encoding = TextEncoding::Utf8;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8Bom;
        text = convert(QByteArrayView(bytes).sliced(3), "UTF-8");
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        encoding = little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        text = convert(QByteArrayView(bytes).sliced(2), little ? "UTF-16LE" : "UTF-16BE");
    } else {
        if (bytes.contains('\0'))
            return refused(binary);
        text = convert(bytes, "UTF-8");
        if (!text) {
            // Shift_JIS as Windows writes it (CP932: the circled numbers and the wave dash
            // of many Aozora files), then EUC-JP; when both decode, the likelier wins.
            const std::optional<QString> sjis = convert(bytes, "CP932");
            const std::optional<QString> euc = convert(bytes, "EUC-JP");
            if (sjis && (!euc || japaneseScore(*sjis) >= japaneseScore(*euc)))
                text = sjis, encoding = TextEncoding::ShiftJis;
            else if (euc)
                text = euc, encoding = TextEncoding::EucJp;
        }
    }
    if (!text)
        return refused(undecodable);
    if (text->contains(QChar(0)))
        return refused(binary);
    if (text->trimmed().isEmpty())
        return refused(QCoreApplication::translate("TextFile", "空のファイルです。"));
    if (!hasJapanese(*text))
        return refused(
            QCoreApplication::translate("TextFile", "日本語（かなや漢字）が含まれていません。"));
    TextFileRead read;
    read.text = unifyLineEnds(*text);
    read.encoding = encoding;
    return read;
}

TextFileRead readTextFile(const QString &path, qint64 maxBytes)
{
    QFile file;
    if (fileKind(path) == FileKind::Missing)
        return refused(QCoreApplication::translate("TextFile", "ファイルが見つかりません。"));
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return refused(QCoreApplication::translate(
            "TextFile", "普通のファイルではないため開けません（フォルダー、"
                        "デバイス、パイプなど）。"));
    // One byte more than allowed tells a file that is too large without reading all of it.
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(QCoreApplication::translate("TextFile", "ファイルを読めません。"));
    if (bytes.size() > maxBytes)
        return refused(QCoreApplication::translate(
            "TextFile", "ファイルが大きすぎます。1 MiB までのテキストを開けます。"));
    return decodeText(bytes);
}

} // namespace rinkaro
