// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/backgroundjobs.h"
#include "core/textlibrary.h"
#include "core/textpreparer.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace rinkaro
{

class Platform;
class RecordKeeper;

// The learner's own texts in the レベル menu: "テキストを開く…", "最近のテキスト" and
// "読みを直す…". A text is prepared on a thread of its own (MeCab may take a while with a
// long text) while the window goes on answering keys; the prepared text is handed on with
// textReady.
class TextMenu : public QObject
{
    Q_OBJECT
public:
    // Adds the items at the end of `levelMenu`. The texts folder and RK.ini are those beside
    // `settingsPath` (RK.set).
    TextMenu(QMenu *levelMenu, Platform &platform, QWidget *window, const RecordKeeper &files);
    ~TextMenu() override;

    // Opens the file at `path` (the command line's, the file dialog's).
    void openFile(const QString &path);
    void openRecent(const QString &name);
    // Texts are opened and readings corrected only outside a run (and the tutorial).
    void setRunUnderway(bool underway);
    // Where the next run of the current text starts; kept in the texts folder.
    void setPosition(int position);

    // The current text's best speed (kana per minute, 0 for none) and a run's, kept when it
    // beats that.
    double bestSpeed() const;
    void addSpeed(double kanaPerMinute);

    bool preparing() const { return preparing_ > 0; }
    const PreparedText &text() const { return text_; }
    bool hasText() const { return !text_.name.isEmpty(); }
    // The reading dialog on the sentence the next run starts at.
    void correctCurrentSentence();
    // The readers this menu makes; tests give their own.
    void setReaderFactory(WordReaderFactory readers) { readers_ = std::move(readers); }

signals:
    // Preparing began (the window says so) or ended, with or without a text.
    void preparingChanged(bool preparing);
    void textReady(const PreparedText &text);
    // A corrected reading: the current text's sentences changed, its position did not.
    void textCorrected(const PreparedText &text);

private:
    void chooseFile();
    void fillRecentMenu();
    void prepare(const std::function<TextPreparation()> &work);
    void finish(const TextPreparation &preparation);
    void updateItems();

    Platform &platform_;
    QWidget *window_;
    QString optionsPath_; // RK.ini
    TextLibrary library_;
    WordReaderFactory readers_;
    PreparedText text_;
    int preparing_ = 0;  // preparations under way; only the last one's text is taken
    int generation_ = 0; // of the last preparation started
    bool runUnderway_ = false;
    QAction *openItem_ = nullptr; // openTextItem
    QMenu *recentMenu_ = nullptr; // recentTextsMenu
    QAction *fixItem_ = nullptr;  // fixReadingItem
    BackgroundJobs jobs_;         // last: waited for before the rest goes
};

} // namespace rinkaro
