// SPDX-License-Identifier: GPL-3.0-or-later
// The record table unrolled over the drill area, and the about box.
#include "app/systemplatform.h"
#include "core/scorebook.h"
#include "gui/aboutbox.h"
#include "testwindow.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>

using namespace rinkaro;

namespace
{

QStringList rowTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int column = 0; column < item->columnCount(); ++column)
        texts << item->text(column);
    return texts;
}

QFrame *tableOf(const TestWindow &w)
{
    return w.find<QFrame>(QStringLiteral("scorePanel"));
}
QTreeWidget *listOf(const TestWindow &w)
{
    return w.find<QTreeWidget>(QStringLiteral("scoreList"));
}
QPushButton *okButton(const TestWindow &w)
{
    return w.find<QPushButton>(QStringLiteral("Button3"));
}
void openTable(const TestWindow &w)
{
    w.action(QStringLiteral("showScore"))->trigger();
}

// A whole ordered run of the level shown, typed without a slip in the given time.
void typeRun(TestWindow &w, quint32 milliseconds)
{
    w.clickStart();
    w.platform.ticks += milliseconds;
    for (int item = 0; w.running() && item < 100; ++item)
        w.type(w.textPanel()->text().toLower());
}

} // namespace

class RecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void tableIsBuiltAsDesigned();
    void columnsHaveTheirCaptionsWidthsAndAlignment_data();
    void columnsHaveTheirCaptionsWidthsAndAlignment();
    void headerClicksDoNotSort();
    void firstStartShowsStandardScoresAndNoRecords();
    void scoresShowRoundedToOneDecimal();
    void openingTwiceRefreshesAndKeepsThreeValues();
    void openingUnrollsFrom20To240AboveTheDrillArea();
    void okRollsTheTableAwayAndFocusesStart();
    void captionEditsStayOutOfTheInputMethod();
    void rowsChosenDuringARunStayOutOfTheInputMethod();

    void aboutBoxShowsModallyWithItsLabels();
    void aboutBoxLooksAsDesigned();
    void aboutPictureIsKeysIn24BitColour();
    void aboutBoxRunsARealModalLoop();
};

void RecordsTest::tableIsBuiltAsDesigned()
{
    TestWindow w; // built just after the first paint
    QFrame *table = tableOf(w);
    QTreeWidget *list = listOf(w);
    QVERIFY(!table->isVisibleTo(w.window()));
    QCOMPARE(table->geometry(), QRect(140, 0, 521, 240));
    QCOMPARE(table->lineWidth(), 2);
    QCOMPARE(list->parentWidget(), table);
    QCOMPARE(list->geometry(), QRect(10, 12, 501, 165));
    QCOMPARE(list->frameShape(), QFrame::NoFrame);
    QVERIFY(!list->rootIsDecorated());
    QCOMPARE(okButton(w)->parentWidget(), table);
    QCOMPARE(okButton(w)->geometry(), QRect(424, 192, 81, 25));
    QCOMPARE(okButton(w)->text(), QStringLiteral("OK"));
    QCOMPARE(okButton(w)->nextInFocusChain(), list);

    const QFont font = list->font();
    QCOMPARE(font.pixelSize(), 15);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(list->palette().color(QPalette::Text), QColor(Qt::black));

    const QStringList captions{"Level 1 ホーム",     "Level 2 ホーム＋上段", "Level 3 ホーム＋下段",
                               "Level 4 A to Z",     "Level 5 ローマ字１",   "Level 6 ローマ字２",
                               "Level 7 ひらがな１", "Level 8 ひらがな２",   "Level 9 ひらがな３"};
    QCOMPARE(list->topLevelItemCount(), 9);
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        QCOMPARE(item->text(0), captions[row]);
        QCOMPARE(item->childCount(), 0);
        QVERIFY(item->flags() & Qt::ItemIsEditable);
    }
}

void RecordsTest::columnsHaveTheirCaptionsWidthsAndAlignment_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("alignment");
    QTest::newRow("level") << 0 << "レベル" << 170 << int(Qt::AlignLeft);
    QTest::newRow("standard") << 1 << "標準スコア" << 110 << int(Qt::AlignRight);
    QTest::newRow("high") << 2 << "ハイ・スコア" << 110 << int(Qt::AlignRight);
    QTest::newRow("random") << 3 << "ランダム" << 110 << int(Qt::AlignRight);
}

void RecordsTest::columnsHaveTheirCaptionsWidthsAndAlignment()
{
    QFETCH(int, column);
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(int, alignment);
    TestWindow w;
    openTable(w);
    QTreeWidget *list = listOf(w);
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->headerItem()->text(column), caption);
    QCOMPARE(list->header()->sectionSize(column), width);
    QCOMPARE(list->columnWidth(column), width);
    const auto horizontal = [](int flags) { return flags & Qt::AlignHorizontal_Mask; };
    QCOMPARE(horizontal(list->headerItem()->textAlignment(column)), alignment);
    for (int row = 0; row < 9; ++row)
        QCOMPARE(horizontal(list->topLevelItem(row)->textAlignment(column)) == Qt::AlignRight,
                 alignment == Qt::AlignRight);
}

void RecordsTest::headerClicksDoNotSort()
{
    TestWindow w;
    openTable(w);
    QTreeWidget *list = listOf(w);
    QHeaderView *header = list->header();
    QVERIFY(!header->sectionsClickable());
    QVERIFY(!list->isSortingEnabled());
    for (int column = 0; column < 4; ++column) {
        const int x = header->sectionViewportPosition(column) + 20;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    }
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Level 1 ホーム"));
    QCOMPARE(list->topLevelItem(8)->text(0), QStringLiteral("Level 9 ひらがな３"));
}

void RecordsTest::firstStartShowsStandardScoresAndNoRecords()
{
    TestWindow w;
    openTable(w);
    QTreeWidget *list = listOf(w);
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        QCOMPARE(item->text(1), QString::number(ScoreBook::standardScore(row + 1)));
        QCOMPARE(item->text(2), QStringLiteral("0.0"));
        QCOMPARE(item->text(3), QStringLiteral("0.0"));
    }
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("15"));
    QCOMPARE(list->topLevelItem(8)->text(1), QStringLiteral("160"));

    // All nine levels and all four columns are in view, without scrolling.
    QVERIFY(!list->verticalScrollBar()->isVisible());
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    const QRect lastRow = list->visualItemRect(list->topLevelItem(8));
    QVERIFY(lastRow.bottom() < list->viewport()->height());
    QVERIFY(list->header()->length() <= list->viewport()->width());
}

// How records are rounded is the score book's rule; the table shows the window's records
// through it.
void RecordsTest::scoresShowRoundedToOneDecimal()
{
    SettingsRecord earlier;
    earlier.orderedRecords[3] = 99.96;
    earlier.randomRecords[8] = 12.300000190734863;
    TestWindow w(earlier);
    openTable(w);
    QTreeWidget *list = listOf(w);
    QCOMPARE(list->topLevelItem(3)->text(2), QStringLiteral("100.0"));
    QCOMPARE(list->topLevelItem(8)->text(3), QStringLiteral("12.3"));
    QCOMPARE(list->topLevelItem(3)->text(3), QStringLiteral("0.0"));
    QCOMPARE(w.best(4, false), 99.96); // the record keeps all its digits
}

// A record set while the table is shown appears only when it is opened again.
void RecordsTest::openingTwiceRefreshesAndKeepsThreeValues()
{
    SettingsRecord earlier;
    earlier.orderedRecords[1] = 21.5;
    earlier.randomRecords[6] = 150.0;
    TestWindow w(earlier);
    w.chooseLevel(2);
    openTable(w);
    QTreeWidget *list = listOf(w);
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("21.5"));

    typeRun(w, 18200); // keys reach the run while the table has the focus
    QVERIFY(!w.running());
    QCOMPARE(w.platform.modals.size(), std::size_t(1));
    QCOMPARE(w.best(2, false), double(18.2f));
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("21.5"));

    openTable(w);
    QVERIFY(tableOf(w)->isVisible());
    QCOMPARE(tableOf(w)->height(), 240);
    QCOMPARE(list->topLevelItemCount(), 9);
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        QCOMPARE(rowTexts(item).size(), 4);
        QCOMPARE(item->text(1), QString::number(ScoreBook::standardScore(row + 1)));
    }
    QCOMPARE(rowTexts(list->topLevelItem(1)),
             QStringList({"Level 2 ホーム＋上段", "20", "18.2", "0.0"}));
    QCOMPARE(rowTexts(list->topLevelItem(6)),
             QStringList({"Level 7 ひらがな１", "140", "0.0", "150.0"}));
}

void RecordsTest::openingUnrollsFrom20To240AboveTheDrillArea()
{
    TestWindow w;
    w.chooseLevel(8); // the phrase layout: the text panel spans the drill area
    // The romaji panel, raised over the drill area.
    w.action(QStringLiteral("setSpelling"))->trigger();
    w.platform.recordSteps = true;
    w.platform.steps.clear();
    openTable(w);

    QList<int> expected;
    for (int height = 20; height <= 240; ++height)
        expected << height;
    QCOMPARE(w.platform.stepHeightsOf(tableOf(w)), expected);
    for (const auto &[widget, geometry] : w.platform.steps) {
        QCOMPARE(widget, tableOf(w));
        QCOMPARE(geometry.topLeft(), QPoint(140, 0));
        QCOMPARE(geometry.width(), 521);
    }
    QVERIFY(tableOf(w)->isVisible());
    QCOMPARE(tableOf(w)->geometry(), QRect(140, 0, 521, 240));
    QCOMPARE(QApplication::focusWidget(), okButton(w));
    // Nothing of the drill area covers the table, not even the romaji panel.
    QVERIFY(w.find(QStringLiteral("settingPanel"))->isVisible());
    const QPoint inside = tableOf(w)->geometry().center();
    QWidget *top = w.find(QStringLiteral("drillArea"))->childAt(inside);
    QVERIFY(top == tableOf(w) || tableOf(w)->isAncestorOf(top));
    const QPoint overText = QPoint(200, w.textPanel()->geometry().center().y());
    top = w.find(QStringLiteral("drillArea"))->childAt(overText);
    QVERIFY(top == tableOf(w) || tableOf(w)->isAncestorOf(top));
}

void RecordsTest::okRollsTheTableAwayAndFocusesStart()
{
    TestWindow w;
    openTable(w);
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QVERIFY(!tableOf(w)->isVisible());
    QCOMPARE(tableOf(w)->height(), 20);
    QCOMPARE(QApplication::focusWidget(), w.startButton());

    // Opened again, it unrolls to its full height once more.
    openTable(w);
    QCOMPARE(tableOf(w)->height(), 240);
    QVERIFY(tableOf(w)->isVisible());
}

void RecordsTest::captionEditsStayOutOfTheInputMethod()
{
    TestWindow w;
    openTable(w);
    QTreeWidget *list = listOf(w);
    QVERIFY(!list->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!list->viewport()->testAttribute(Qt::WA_InputMethodEnabled));

    // Only the level name can be edited, and the editor takes no composed input either.
    QTreeWidgetItem *item = list->topLevelItem(2);
    list->setFocus();
    list->editItem(item, 0);
    auto *editor = list->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QVERIFY(!editor->testAttribute(Qt::WA_InputMethodEnabled));
    editor->setText(QStringLiteral("mine"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(item->text(0), QStringLiteral("mine")); // the delegate commits queued
    QVERIFY(!list->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!list->viewport()->testAttribute(Qt::WA_InputMethodEnabled));

    list->editItem(item, 2);
    QVERIFY(!list->viewport()->findChild<QLineEdit *>() ||
            !list->viewport()->findChild<QLineEdit *>()->isVisible());
    openTable(w);
    QCOMPARE(item->text(2), QStringLiteral("0.0"));
}

namespace
{

// Every control of the window that can hold the focus, the list's viewport included.
QStringList controlsTakingComposedInput(QWidget *window)
{
    QStringList names;
    QList<QWidget *> controls = window->findChildren<QWidget *>();
    controls << window;
    for (QWidget *control : controls)
        if (control->testAttribute(Qt::WA_InputMethodEnabled))
            names << control->objectName() + "/" + control->metaObject()->className();
    return names;
}

} // namespace

// Clicking a row makes it current; Qt turns input methods on for an editable current row,
// and a key typed in a run would go to the input method instead of the judge.
void RecordsTest::rowsChosenDuringARunStayOutOfTheInputMethod()
{
    TestWindow w;
    w.clickStart();
    w.type("fj");
    openTable(w);
    QTreeWidget *list = listOf(w);
    const QRect row = list->visualItemRect(list->topLevelItem(4));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(list->currentItem(), list->topLevelItem(4));
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(controlsTakingComposedInput(w.form.get()), QStringList());

    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem(), list->topLevelItem(6));
    QCOMPARE(controlsTakingComposedInput(w.form.get()), QStringList());

    // A second click on a row's name opens its editor, which tells the input method and the
    // dead keys' composer that it takes nothing, whatever a line edit says by itself.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(20, list->visualItemRect(list->topLevelItem(6)).center().y()));
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(list->isAncestorOf(editor));
    QVERIFY(!editor->inputMethodQuery(Qt::ImEnabled).toBool());
    QVERIFY(!QInputMethod::queryFocusObject(Qt::ImEnabled, {}).toBool());

    // The run goes on with the next key of level 1 (f j f j a ...).
    w.type('f');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("J"));
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(editor->text(), QStringLiteral("Level 7 ひらがな１"));
}

void RecordsTest::aboutBoxShowsModallyWithItsLabels()
{
    TestWindow w;
    w.action(QStringLiteral("aboutMenu1"))->trigger();
    QCOMPARE(w.platform.modals.size(), std::size_t(1));
    QCOMPARE(w.platform.modals.back().title, QStringLiteral("About Rinkaro..."));
    QCOMPARE(w.platform.modalLabel("Label1"), QStringLiteral("Rinkaro ver.2.1.0"));
    const QString credit2 = w.platform.modalLabel("Label2");
    const QString credit3 = w.platform.modalLabel("Label3");
    QVERIFY(credit2.startsWith(QStringLiteral("By ")));
    for (const QString &credit : {credit2, credit3}) {
        QVERIFY(!credit.isEmpty());
        QVERIFY(!credit.contains(QLatin1Char('\n')));
        for (QChar c : credit)
            QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7F, qPrintable(credit));
    }
    QVERIFY(!w->findChild<AboutBox *>()->isVisible());
    // Shown again each time it is asked for.
    w.action(QStringLiteral("aboutMenu1"))->trigger();
    QCOMPARE(w.platform.modals.size(), std::size_t(2));
}

void RecordsTest::aboutBoxLooksAsDesigned()
{
    TestWindow w;
    w.action(QStringLiteral("aboutMenu1"))->trigger();
    AboutBox *box = w->findChild<AboutBox *>(QStringLiteral("Form2"));
    QVERIFY(box);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.platform.modals.back().title, QStringLiteral("About Rinkaro..."));
    QVERIFY(box->isModal());
    QCOMPARE(box->size(), QSize(360, 111));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    const Qt::WindowFlags flags = box->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
    QCOMPARE(box->font().pixelSize(), 12);
    // One button, under the picture, so that the keyboard and a screen reader have a focus.
    const QList<QPushButton *> buttons = box->findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons[0]->geometry(), QRect(8, 86, 65, 22));

    const auto label = [box](const char *name) {
        return box->findChild<QLabel *>(QLatin1String(name));
    };
    struct Expect {
        QLabel *label;
        QRect geometry;
        QString face;
        int pixels;
        QColor colour;
    };
    const Expect expectations[] = {
        {label("Label1"), QRect(80, 8, 263, 31), "Liberation Serif", 27, QColor(255, 0, 0)},
        {label("Label2"), QRect(144, 48, 208, 23), "Liberation Mono", 21, QColor(0, 128, 0)},
        {label("Label3"), QRect(155, 80, 195, 23), "Liberation Mono", 21, QColor(0, 128, 0)},
    };
    for (const Expect &e : expectations) {
        QCOMPARE(e.label->geometry(), e.geometry);
        QCOMPARE(QFontInfo(e.label->font()).family(), e.face);
        QCOMPARE(e.label->font().pixelSize(), e.pixels);
        QVERIFY(e.label->font().bold());
        QVERIFY(e.label->font().italic());
        QCOMPARE(e.label->palette().color(QPalette::WindowText), e.colour);
        // The credit lines fit their labels.
        QVERIFY2(QFontMetrics(e.label->font()).horizontalAdvance(e.label->text()) <=
                     e.geometry.width(),
                 qPrintable(e.label->text()));
    }
    QVERIFY(label("Label1")->alignment() & Qt::AlignRight);
    QCOMPARE(label("Image1")->geometry(), QRect(8, 16, 65, 65));
    QCOMPARE(label("Image1")->pixmap().size(), QSize(64, 64));
}

void RecordsTest::aboutPictureIsKeysIn24BitColour()
{
    const QImage picture = AboutBox::keysPicture();
    QCOMPARE(picture.size(), QSize(64, 64));
    QCOMPARE(picture.format(), QImage::Format_RGB888);
    QCOMPARE(picture.depth(), 24);
    // Light key tops on a dark body, and more than a flat fill.
    int light = 0, dark = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QColor c = picture.pixelColor(x, y);
            colours.insert(c.rgb());
            light += c.lightness() > 200;
            dark += c.lightness() < 80;
        }
    QVERIFY(light > 400);
    QVERIFY(dark > 400);
    QVERIFY(colours.size() > 50);
}

void RecordsTest::aboutBoxRunsARealModalLoop()
{
    registerFontSubstitutions();
    SystemPlatform system;
    MainWindow form(system);
    QWidget *seen = nullptr;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        seen = QApplication::activeModalWidget();
        wasModal = seen && seen->isModal() && seen->isVisible();
        if (seen)
            seen->close();
    });
    // What a click on the menu item does; returns once the box is closed.
    form.findChild<QAction *>(QStringLiteral("aboutMenu1"))->trigger();
    auto *box = form.findChild<AboutBox *>(QStringLiteral("Form2"));
    QVERIFY(box);
    QCOMPARE(seen, static_cast<QWidget *>(box));
    QVERIFY(wasModal);
    QVERIFY(!box->isVisible());
}

QTEST_MAIN(RecordsTest)
#include "test_records.moc"
