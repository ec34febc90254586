// SPDX-License-Identifier: GPL-3.0-or-later
// The learner's texts in the window: opened from the command line and the file dialog,
// listed, refused with a message, and a reading corrected in its dialog.
#include "app/commandline.h"
#include "core/textlibrary.h"
#include "gui/textdrillview.h"
#include "testwindow.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using namespace rinkaro;

class OwnTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void menuItems();
    void commandLineAndCorrection();
    void fileDialog();
    void refused();
};

static QString panelText(TestWindow &w, const char *name)
{
    return w.form->findChild<QLabel *>(QLatin1String(name))->text();
}

static QString writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qWarning("cannot write the text");
    return path;
}

static QString readCopy(TestWindow &w, const QString &name)
{
    QFile file(w.dir.filePath(QStringLiteral("texts/") + name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void OwnTextsTest::menuItems()
{
    TestWindow w;
    // Nothing to correct and nothing recent before a text is opened.
    QVERIFY(!w.form->findChild<QAction *>(QStringLiteral("fixReadingItem"))->isEnabled());
    QVERIFY(!w.form->findChild<QAction *>(QStringLiteral("recentTextsMenu"))->isEnabled());
    QAction *open = w.form->findChild<QAction *>(QStringLiteral("openTextItem"));
    QVERIFY(open->isEnabled());
    // Not during a run.
    w.form->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QVERIFY(!open->isEnabled());
    w.form->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QVERIFY(open->isEnabled());
}

// Opened from the command line, a reading corrected, then one run typed key by key from the
// reading row: the text drill shows the corrected reading, the history names the text, and
// the text keeps its best speed; opened again from the recent list after a restart.
void OwnTextsTest::commandLineAndCorrection()
{
    TestWindow w;
    // Given relative, as a shell gives it: made absolute from where the program started.
    writeText(w.dir.filePath(QStringLiteral("手紙.txt")),
              QStringLiteral("今日《こんにち》はＡ社《しゃ》へ。\r\n明日《あす》も。"));
    const CommandLine line =
        readCommandLine({QStringLiteral("rinkaro"), QStringLiteral("手紙.txt")}, QString());
    QCOMPARE(int(line.action), int(CommandLine::Action::Run));
    QCOMPARE(line.textFile, w.dir.filePath(QStringLiteral("手紙.txt")));
    w.form->openTextFile(line.textFile);
    QTRY_COMPARE(w.textPanel()->text(), QStringLiteral("手紙"));
    QCOMPARE(w.tickedLevel(), 0);
    QVERIFY(
        readCopy(w, QStringLiteral("手紙.txt")).startsWith(QStringLiteral("今日《こんにち》は")));
    QAction *fix = w.action(QStringLiteral("fixReadingItem"));
    QVERIFY(fix->isEnabled());
    QMenu *recent = w.find<QMenu>(QStringLiteral("recentTextsMenu"));
    QCOMPARE(recent->actions().size(), 1);
    QCOMPARE(recent->actions().first()->text(), QStringLiteral("手紙"));

    // A reading that cannot be typed keeps the dialog open; a right one is saved and used.
    QStringList faults;
    w.platform.onModal = [&faults](QDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("reading0"));
        QVERIFY(edit);
        QCOMPARE(edit->text(), QStringLiteral("こんにち"));
        edit->setText(QStringLiteral("今日"));
        dialog->accept();
        faults << dialog->findChild<QLabel *>(QStringLiteral("faultLabel"))->text();
        QVERIFY(dialog->isVisible());
        edit->setText(QStringLiteral("キョウ"));
        dialog->accept();
    };
    fix->trigger();
    w.platform.onModal = nullptr;
    QCOMPARE(faults.size(), 1);
    QVERIFY(faults.first().startsWith(QStringLiteral("今日：")));
    QVERIFY(readCopy(w, QStringLiteral("手紙.txt")).startsWith(QStringLiteral("今日《きょう》は")));

    w.clickStart();
    QVERIFY(!fix->isEnabled());
    auto *view = w.find<TextDrillView>(QStringLiteral("textDrillView"));
    QCOMPARE(view->written(), QStringLiteral("今日はＡ社へ。"));
    QCOMPARE(view->reading(), QStringLiteral("きょうはAしゃへ。"));
    QStringList shown{view->written()};
    int keys = 0;
    while (w.running() && keys < 200) {
        const QString row = w.readingPanel()->text();
        char key = 0;
        for (const QChar ch : row)
            if (!key && ch != u'_' && ch != u' ')
                key = char(ch.toLower().toLatin1());
        QVERIFY2(key, qPrintable(row));
        w.platform.ticks += 100;
        w.type(key);
        ++keys;
        if (w.running() && view->written() != shown.last())
            shown << view->written();
    }
    QVERIFY(!w.running());
    QCOMPARE(shown, (QStringList{"今日はＡ社へ。", "明日も。"}));
    QCOMPARE(w.platform.beeps, 0);
    QVERIFY(fix->isEnabled());
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> fields = log.readAll().trimmed().split('\t');
    QCOMPARE(fields.size(), 13);
    QCOMPARE(fields.at(1), QByteArray("14"));
    QCOMPARE(QString::fromUtf8(fields.at(12)), QStringLiteral("手紙.txt"));
    TextLibrary library(w.dir.filePath(QStringLiteral("texts")));
    QVERIFY(library.bestSpeed(QStringLiteral("手紙.txt")) > 0);

    // Opened again after a restart: the copy, with the correction.
    w.restart();
    w.find<QMenu>(QStringLiteral("set"))->aboutToShow();
    recent = w.find<QMenu>(QStringLiteral("recentTextsMenu"));
    QCOMPARE(recent->actions().size(), 1);
    recent->actions().first()->trigger();
    QTRY_COMPARE(w.textPanel()->text(), QStringLiteral("手紙"));
    w.clickStart();
    view = w.find<TextDrillView>(QStringLiteral("textDrillView"));
    QCOMPARE(view->reading(), QStringLiteral("きょうはAしゃへ。"));
}

void OwnTextsTest::fileDialog()
{
    TestWindow w;
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("docs")));
    const QString path =
        writeText(w.dir.filePath(QStringLiteral("docs/a.txt")), QStringLiteral("かなだけ。"));
    w.platform.onModal = [&path](QDialog *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        QVERIFY(files);
        QCOMPARE(files->objectName(), QStringLiteral("openTextDialog"));
        files->selectFile(path);
        static_cast<QDialog *>(files)->accept();
    };
    w.form->findChild<QAction *>(QStringLiteral("openTextItem"))->trigger();
    QTRY_COMPARE(panelText(w, "TextPanel"), QStringLiteral("a"));
    QCOMPARE(w.action(QStringLiteral("recentTextsMenu"))->isEnabled(), true);
    QCOMPARE(readLastTextFolder(w.dir.filePath(QStringLiteral("RK.ini"))),
             w.dir.filePath(QStringLiteral("docs")));
}

void OwnTextsTest::refused()
{
    TestWindow w;
    const size_t before = w.platform.messages.size();
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("folder.txt")));
    w.form->openTextFile(w.dir.filePath(QStringLiteral("folder.txt")));
    QTRY_COMPARE(w.platform.messages.size(), before + 1);
    QVERIFY(w.platform.messages.back().text.contains(QStringLiteral("普通のファイルではない")));
    QVERIFY(!QFileInfo::exists(w.dir.filePath(QStringLiteral("texts"))));
    QVERIFY(!w.form->findChild<QAction *>(QStringLiteral("fixReadingItem"))->isEnabled());
}

QTEST_MAIN(OwnTextsTest)
#include "test_owntexts.moc"
