// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/textmenu.h"

#include "core/recordkeeper.h"
#include "gui/platform.h"
#include "gui/readingdialog.h"
#include "reading/mecabreader.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include <memory>

namespace rinkaro
{

namespace
{

std::unique_ptr<WordReader> makeMeCabReader(QString *missing)
{
    auto reader = std::make_unique<MeCabReader>();
    if (reader->available())
        return reader;
    *missing = reader->error();
    return nullptr;
}

} // namespace

TextMenu::TextMenu(QMenu *levelMenu, Platform &platform, QWidget *window, const RecordKeeper &files)
    : QObject(window), platform_(platform), window_(window), optionsPath_(files.optionsPath()),
      library_(TextLibrary::folderBeside(files.settingsPath())), readers_(makeMeCabReader)
{
    levelMenu->addSeparator()->setObjectName(QStringLiteral("ownTextSeparator"));
    openItem_ = levelMenu->addAction(tr("テキストを開く…"));
    openItem_->setObjectName(QStringLiteral("openTextItem"));
    connect(openItem_, &QAction::triggered, this, &TextMenu::chooseFile);
    recentMenu_ = levelMenu->addMenu(tr("最近のテキスト"));
    recentMenu_->setObjectName(QStringLiteral("recentTextsMenu"));
    recentMenu_->menuAction()->setObjectName(QStringLiteral("recentTextsMenu"));
    // Read when shown: the folder is another copy's too.
    connect(levelMenu, &QMenu::aboutToShow, this, &TextMenu::fillRecentMenu);
    fixItem_ = levelMenu->addAction(tr("読みを直す…"));
    fixItem_->setObjectName(QStringLiteral("fixReadingItem"));
    connect(fixItem_, &QAction::triggered, this, &TextMenu::correctCurrentSentence);
    fillRecentMenu();
}

TextMenu::~TextMenu()
{
    // A preparation under way writes into the texts folder: it ends before the program does.
    jobs_.waitAll();
}

void TextMenu::updateItems()
{
    openItem_->setEnabled(!runUnderway_);
    recentMenu_->menuAction()->setEnabled(!runUnderway_ && !recentMenu_->isEmpty());
    fixItem_->setEnabled(hasText() && !runUnderway_ && !preparing());
}

void TextMenu::fillRecentMenu()
{
    recentMenu_->clear();
    const QStringList names = library_.recent();
    for (const QString &name : names) {
        QAction *item = recentMenu_->addAction(textTitle(name));
        item->setData(name);
        connect(item, &QAction::triggered, this, [this, name] { openRecent(name); });
    }
    updateItems();
}

void TextMenu::chooseFile()
{
    QString folder = readLastTextFolder(optionsPath_);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    // Qt's own dialog: the same on every desktop, and it never opens a pipe to preview it.
    QFileDialog dialog(window_, tr("テキストを開く"), folder,
                       tr("テキスト (*.txt);;すべてのファイル (*)"));
    dialog.setObjectName(QStringLiteral("openTextDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    platform_.showModal(&dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    saveLastTextFolder(optionsPath_, QFileInfo(path).absolutePath());
    openFile(path);
}

void TextMenu::openFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // A long text shows its beginning while the rest is read; prepare() gives this
    // preparation the next generation.
    const auto firstRunReady = [this, generation = generation_ + 1](const PreparedText &part) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, part] {
                if (generation == generation_ && preparing()) {
                    text_ = part;
                    emit textReady(text_);
                }
            },
            Qt::QueuedConnection);
    };
    prepare([absolute, library = library_, readers = readers_, firstRunReady]() mutable {
        return prepareTextFile(absolute, library, readers, firstRunReady);
    });
}

void TextMenu::openRecent(const QString &name)
{
    prepare([name, library = library_, readers = readers_]() mutable {
        return prepareCopy(name, library, readers);
    });
}

void TextMenu::prepare(const std::function<TextPreparation()> &work)
{
    const int generation = ++generation_;
    jobs_.start([work](const BackgroundJobs::Cancelled &) { return work(); },
                [this, generation](const TextPreparation &result) {
                    --preparing_;
                    if (generation == generation_)
                        finish(result);
                    else if (!preparing())
                        emit preparingChanged(false);
                },
                QThread::LowPriority);
    ++preparing_;
    updateItems();
    emit preparingChanged(true);
}

void TextMenu::finish(const TextPreparation &preparation)
{
    emit preparingChanged(preparing());
    if (!preparation.ok()) {
        platform_.messageBox(window_, QMessageBox::Warning, QStringLiteral("Rinkaro 2"),
                             preparation.error, QMessageBox::Ok);
        updateItems();
        return;
    }
    text_ = preparation.text;
    fillRecentMenu();
    if (!preparation.notice.isEmpty())
        platform_.messageBox(window_, QMessageBox::Information, QStringLiteral("Rinkaro 2"),
                             preparation.notice, QMessageBox::Ok);
    emit textReady(text_);
}

void TextMenu::setRunUnderway(bool underway)
{
    runUnderway_ = underway;
    updateItems();
}

void TextMenu::setPosition(int position)
{
    if (!hasText())
        return;
    text_.position = position >= 0 && size_t(position) < text_.sentences.size() ? position : 0;
    library_.setPosition(text_.name, text_.position);
}

double TextMenu::bestSpeed() const
{
    return hasText() ? library_.bestSpeed(text_.name) : 0;
}

void TextMenu::addSpeed(double kanaPerMinute)
{
    if (hasText())
        library_.addSpeed(text_.name, kanaPerMinute);
}

void TextMenu::correctCurrentSentence()
{
    if (!hasText() || runUnderway_ || preparing())
        return;
    const int index = text_.position;
    ReadingDialog dialog(text_.sentences[size_t(index)], window_);
    platform_.showModal(&dialog);
    if (dialog.result() != QDialog::Accepted || dialog.sentence() == text_.sentences[size_t(index)])
        return;
    text_.sentences[size_t(index)] = dialog.sentence();
    if (!library_.saveCopy(text_.name, text_.sentences))
        platform_.messageBox(window_, QMessageBox::Warning, QStringLiteral("Rinkaro 2"),
                             tr("読みを %1 に保存できません。").arg(library_.folder()),
                             QMessageBox::Ok);
    emit textCorrected(text_);
}

} // namespace rinkaro
