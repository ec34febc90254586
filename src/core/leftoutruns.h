// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <set>
#include <utility>

namespace rinkaro
{

// The runs the learner has left out of every figure (an interrupted run, one typed by
// someone else), each named by when it ended and its level. The history itself is never
// edited: the list is a small file of its own beside it, saved as the settings are.
class LeftOutRuns
{
public:
    // "RK.omit" in the folder of the history at `logPath`.
    static QString pathBeside(const QString &logPath);
    // The list in the file at `path`; empty when there is none or it is no plain file. Lines
    // that are not the writer's are passed over.
    static LeftOutRuns load(const QString &path);
    static LeftOutRuns parse(QByteArrayView text);
    QByteArray text() const;
    bool save(const QString &path) const;

    bool contains(qint64 endedMs, int level) const { return runs_.count({endedMs, level}) > 0; }
    void set(qint64 endedMs, int level, bool leftOut);
    bool empty() const { return runs_.empty(); }
    std::size_t size() const { return runs_.size(); }
    friend bool operator==(const LeftOutRuns &, const LeftOutRuns &) = default;

private:
    std::set<std::pair<qint64, int>> runs_;
};

} // namespace rinkaro
