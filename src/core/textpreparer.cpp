// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textpreparer.h"

#include "core/owntext.h"
#include "core/textfile.h"

#include <QCoreApplication>

namespace rinkaro
{

namespace
{

// Fills in what the sentences lack; false, with the reason in `error`, when a reader is
// needed and cannot work.
bool readSentences(std::vector<RubyLine> &sentences, const WordReaderFactory &readers,
                   TextPreparation &preparation,
                   const std::function<void(int done)> &beforeSentence = {})
{
    std::unique_ptr<WordReader> reader;
    int unread = 0;
    int done = 0;
    for (RubyLine &sentence : sentences) {
        if (beforeSentence)
            beforeSentence(done++);
        if (fullyRead(sentence))
            continue;
        if (!reader) {
            QString missing;
            reader = readers(&missing);
            if (!reader) {
                preparation.error = missing;
                return false;
            }
        }
        if (!fillReadings(sentence, *reader)) {
            preparation.error =
                QCoreApplication::translate("TextPreparer", "読みを付けられませんでした。");
            return false;
        }
        for (const RubySegment &segment : sentence)
            unread += segment.reading.isEmpty() && !segment.written.isEmpty();
    }
    if (unread > 0)
        preparation.notice =
            QCoreApplication::translate("TextPreparer",
                                        "%1 語の読みが分かりませんでした。「読みを直す…」で"
                                        "読みを付けられます。")
                .arg(unread);
    return true;
}

} // namespace

TextPreparation prepareTextFile(const QString &path, TextLibrary &library,
                                const WordReaderFactory &readers,
                                const FirstRunReady &firstRunReady)
{
    const QString name = TextLibrary::copyName(path);
    if (library.hasCopy(name))
        return prepareCopy(name, library, readers);
    TextPreparation preparation;
    const TextFileRead read = readTextFile(path);
    if (!read.ok()) {
        preparation.error = read.error;
        return preparation;
    }
    std::vector<RubyLine> sentences = textSentences(dropAozoraMarkup(read.text));
    if (sentences.empty()) {
        preparation.error =
            QCoreApplication::translate("TextPreparer", "練習できる文がありません。");
        return preparation;
    }
    const int firstRunEnd = nextRun(sentences, 0).to;
    const auto beforeSentence = [&](int done) {
        if (done == firstRunEnd && firstRunReady)
            firstRunReady({name, {sentences.begin(), sentences.begin() + firstRunEnd}, 0});
    };
    if (!readSentences(sentences, readers, preparation, beforeSentence))
        return preparation;
    if (!library.saveCopy(name, sentences) || !library.setPosition(name, 0)) {
        preparation.error =
            QCoreApplication::translate("TextPreparer", "テキストの写しを %1 に保存できません。")
                .arg(library.folder());
        return preparation;
    }
    preparation.text = {name, std::move(sentences), 0};
    return preparation;
}

TextPreparation prepareCopy(const QString &name, TextLibrary &library,
                            const WordReaderFactory &readers)
{
    TextPreparation preparation;
    std::optional<std::vector<RubyLine>> sentences = library.readCopy(name, &preparation.error);
    if (!sentences)
        return preparation;
    if (sentences->empty()) {
        preparation.error =
            QCoreApplication::translate("TextPreparer", "練習できる文がありません。");
        return preparation;
    }
    // A copy edited by hand may have lost readings: filled in again, and kept.
    if (!sentencesRead(*sentences)) {
        if (!readSentences(*sentences, readers, preparation))
            return preparation;
        library.saveCopy(name, *sentences);
    }
    int position = library.position(name);
    if (position >= int(sentences->size()))
        position = 0;
    library.setPosition(name, position);
    preparation.text = {name, std::move(*sentences), position};
    return preparation;
}

} // namespace rinkaro
