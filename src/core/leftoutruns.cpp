// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/leftoutruns.h"

#include "core/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>

namespace rinkaro
{

namespace
{

// Far more runs than anyone leaves out; a larger file is not one this program wrote.
constexpr qint64 largestList = 1 << 20;

template <typename T> bool readNumber(QByteArrayView text, T &value)
{
    const char *end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && !text.isEmpty();
}

} // namespace

QString LeftOutRuns::pathBeside(const QString &logPath)
{
    return QFileInfo(logPath).dir().filePath(QStringLiteral("RK.omit"));
}

LeftOutRuns LeftOutRuns::parse(QByteArrayView text)
{
    LeftOutRuns list;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        const qsizetype tab = line.indexOf('\t');
        qint64 endedMs = 0;
        int level = 0;
        if (tab > 0 && readNumber(line.first(tab), endedMs) &&
            readNumber(line.sliced(tab + 1), level) && level > 0)
            list.runs_.emplace(endedMs, level);
    }
    return list;
}

QByteArray LeftOutRuns::text() const
{
    QByteArray text;
    for (const auto &[endedMs, level] : runs_)
        text += QByteArray::number(endedMs) + '\t' + QByteArray::number(level) + '\n';
    return text;
}

LeftOutRuns LeftOutRuns::load(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return {};
    return parse(file.read(largestList));
}

bool LeftOutRuns::save(const QString &path) const
{
    return replaceRegularFile(path, text());
}

void LeftOutRuns::set(qint64 endedMs, int level, bool leftOut)
{
    if (leftOut)
        runs_.emplace(endedMs, level);
    else
        runs_.erase({endedMs, level});
}

} // namespace rinkaro
