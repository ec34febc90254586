// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rubytext.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace rinkaro
{

// The "texts" folder beside RK.set: a copy of every text the learner opened, one sentence a
// line in ruby notation (UTF-8) with the reading of every word, so that readings are read
// once and corrections last while the original may move or go; and "index.txt", the texts
// with the sentence each continues at and the best speed typed in it (kana per minute), the
// last opened first ("12<TAB>name.txt<TAB>143.5").

constexpr int recentTextCount = 10;

// The folder the learner last opened a text from, kept in RK.ini ([texts] lastFolder) with
// the care the input options get: only a plain file, the other keys kept; empty when unknown.
QString readLastTextFolder(const QString &iniPath);
bool saveLastTextFolder(const QString &iniPath, const QString &folder);

// A text as the learner sees it named: its copy's name without ".txt".
QString textTitle(const QString &copyName);

struct PreparedText {
    QString name; // the copy's file name in the folder
    std::vector<RubyLine> sentences;
    int position = 0; // the sentence the next run starts at
};

class TextLibrary
{
public:
    // `folder` is the "texts" folder itself; it is made when a copy is first saved.
    explicit TextLibrary(QString folder);
    // The texts folder beside the settings file at `settingsPath`.
    static QString folderBeside(const QString &settingsPath);

    const QString &folder() const { return folder_; }
    // A name for the copy of the file at `originalPath`: its own name, made safe, as .txt.
    static QString copyName(const QString &originalPath);

    struct Entry {
        QString name;
        int position = 0;
        double bestSpeed = 0; // 0: no run yet
    };
    // The texts, the last opened first.
    std::vector<Entry> entries() const;
    QStringList recent() const; // up to recentTextCount names
    int position(const QString &name) const;
    // Moves `name` to the front with `position`. Returns whether the index was saved.
    bool setPosition(const QString &name, int position);
    double bestSpeed(const QString &name) const;
    // Keeps `kanaPerMinute` as the text's best when it beats it.
    bool addSpeed(const QString &name, double kanaPerMinute);

    bool hasCopy(const QString &name) const;
    // The copy's sentences; nullopt, with the reason in `error`, when it cannot be read.
    std::optional<std::vector<RubyLine>> readCopy(const QString &name, QString *error) const;
    // Writes the copy with the care RK.set gets. Returns whether it was saved.
    bool saveCopy(const QString &name, const std::vector<RubyLine> &sentences) const;

private:
    bool makeFolder() const;
    bool saveIndex(const std::vector<Entry> &entries) const;
    QString indexPath() const;

    QString folder_;
};

} // namespace rinkaro
