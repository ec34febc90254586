// SPDX-License-Identifier: GPL-3.0-or-later
// The words and sentences drills in the window: their place in the level menu, a run of
// each through real key events, what the drill area and the typing-time dialog show, the
// history line and the position kept in RK.ini.
#include "gui/textdrillview.h"
#include "testwindow.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

using namespace rinkaro;

namespace
{

QList<QByteArray> logLines(const TestWindow &w)
{
    QFile file(w.dir.filePath(QStringLiteral("RK.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

// The next key as the reading row shows it: the first letter after the masked part.
char nextKey(const TestWindow &w)
{
    const QString row = w.readingPanel()->text();
    for (const QChar ch : row)
        if (ch != u'_' && ch != u' ')
            return char(ch.toLower().toLatin1());
    return 0;
}

} // namespace

class TextDrillWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void menuPlaces();
    void runs_data();
    void runs();
};

// Down twelve times in a freshly opened レベル menu reaches 単語, thirteen times 文章,
// fourteen times テキストを開く….
void TextDrillWindowTest::menuPlaces()
{
    TestWindow w;
    auto *menu = w.find<QMenu>(QStringLiteral("set"));
    menu->popup(w->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (const auto &[downs, name, caption] :
         {std::tuple{12, "wordsItem", "単語"}, std::tuple{1, "sentencesItem", "文章"},
          std::tuple{1, "openTextItem", "テキストを開く…"}}) {
        for (int k = 0; k < downs; ++k)
            QTest::keyClick(menu, Qt::Key_Down);
        QVERIFY(menu->activeAction());
        QCOMPARE(menu->activeAction()->objectName(), QLatin1String(name));
        QCOMPARE(menu->activeAction()->text(), QString::fromUtf8(caption));
    }
    menu->hide();
}

void TextDrillWindowTest::runs_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QByteArray>("level");
    QTest::addColumn<QString>("positionKey");
    QTest::newRow("words") << "wordsItem" << QByteArray("12") << "drills/words";
    QTest::newRow("sentences") << "sentencesItem" << QByteArray("13") << "drills/sentences";
}

// One ordered run typed key by key from the reading row: the text panel shows each item
// whole with its reading, the dialog gives the speed against the history's best with "—"
// for the times, the run is logged with its level and kana, and the next run starts where
// this one stopped, also after a restart.
void TextDrillWindowTest::runs()
{
    QFETCH(QString, item);
    QFETCH(QByteArray, level);
    QFETCH(QString, positionKey);
    TestWindow w;
    // An earlier run of each text drill at 10 kana a minute.
    const QByteArray history =
        "2026-12-07T10:00:00+09:00\t" + level + "\to\t60.0\t0\t60.0\t0\t\ta:10\tあ:10\n";
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();

    w.action(item)->trigger();
    QVERIFY(w.action(item)->isChecked());
    QCOMPARE(w.tickedLevel(), 0);
    QCOMPARE(w.textPanel()->text(), w.action(item)->text());
    auto *view = w.find<TextDrillView>(QStringLiteral("textDrillView"));
    auto *offKey = w.find<QLabel>(QStringLiteral("offKeyLabel"));
    QVERIFY(!view->isVisible());

    w.clickStart();
    QVERIFY(view->isVisible());
    const QString first = view->written();
    QCOMPARE(w.textPanel()->text(), first);
    int items = 0, keys = 0, marked = 0, wordsMarked = 0;
    QString shown;
    while (w.running() && keys < 2000) {
        if (view->written() != shown) {
            shown = view->written();
            ++items;
            QCOMPARE(view->writtenMarked(), 0);
            marked = 0;
            // Whole in the panel: no character is wider than the face's em.
            QVERIFY(view->writtenPixels() * shown.size() <= view->width());
        }
        const char key = nextKey(w);
        QVERIFY2(key, qPrintable(w.readingPanel()->text()));
        // A key the keyboard picture lacks is named in the panel instead.
        QCOMPARE(offKey->isVisible(), keyForCharacter(QString(QLatin1Char(key))) == nullptr);
        w.platform.ticks += 100;
        w.type(key);
        ++keys;
        // The marking only grows within an item.
        if (w.running() && view->written() == shown) {
            QVERIFY(view->readingMarked() >= marked);
            marked = view->readingMarked();
            wordsMarked += view->writtenMarked() > 0;
        }
    }
    QVERIFY(!w.running());
    QVERIFY(!view->isVisible());
    QVERIFY(wordsMarked > 0);
    if (level == "12")
        QCOMPARE(items, 20);
    else
        QVERIFY(items >= 1 && items <= 5);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.dialogLabel(3), QStringLiteral("0"));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("—"));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("—"));
    // A key every tenth of a second is far beyond 10 kana a minute.
    const QString summary = w.platform.modalLabel(QStringLiteral("weakSpotsLabel"));
    QVERIFY2(
        summary.contains(QStringLiteral("正確さ 100.0%　これまでの最高 10 かな/分　最高記録！")),
        qPrintable(summary));

    const QList<QByteArray> lines = logLines(w);
    QCOMPARE(lines.size(), 3);
    const QList<QByteArray> fields = lines[1].split('\t');
    QCOMPARE(fields.at(1), level);
    QCOMPARE(fields.at(4), QByteArray("0"));
    QVERIFY(fields.at(9).contains(':'));
    QCOMPARE(QSettings(w.dir.filePath(QStringLiteral("RK.ini")), QSettings::IniFormat)
                 .value(positionKey)
                 .toInt(),
             items);

    w.restart();
    w.action(item)->trigger();
    w.clickStart();
    view = w.find<TextDrillView>(QStringLiteral("textDrillView"));
    QVERIFY(view->written() != first);
    QCOMPARE(w.textPanel()->text(), view->written());
}

QTEST_MAIN(TextDrillWindowTest)
#include "test_textdrill.moc"
