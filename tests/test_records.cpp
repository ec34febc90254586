// The record table unrolled over the drill area, and the about box.
#include "core/scorebook.h"
#include "testwindow.h"
#include "tutorial/form2.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>

namespace
{

QStringList rowTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int column = 0; column < item->columnCount(); ++column)
        texts << item->text(column);
    return texts;
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
    void scoresShowRoundedToOneDecimal_data();
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
    TestWindow w(false);
    QVERIFY(!w->scorePanel->isVisibleTo(w.form.get()));
    QCOMPARE(w->scorePanel->geometry(), QRect(140, 0, 521, 240));
    QCOMPARE(w->scorePanel->lineWidth(), 2);
    QCOMPARE(w->scoreList->parentWidget(), w->scorePanel);
    QCOMPARE(w->scoreList->geometry(), QRect(10, 12, 501, 165));
    QCOMPARE(w->scoreList->frameShape(), QFrame::NoFrame);
    QVERIFY(!w->scoreList->rootIsDecorated());
    QCOMPARE(w->Button3->parentWidget(), w->scorePanel);
    QCOMPARE(w->Button3->geometry(), QRect(424, 192, 81, 25));
    QCOMPARE(w->Button3->text(), QStringLiteral("OK"));
    QCOMPARE(w->Button3->nextInFocusChain(), w->scoreList);

    const QFont font = w->scoreList->font();
    QCOMPARE(font.pixelSize(), 15);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w->scoreList->palette().color(QPalette::Text), QColor(Qt::black));

    const QStringList captions{"Level 1 ホーム",     "Level 2 ホーム＋上段", "Level 3 ホーム＋下段",
                               "Level 4 A to Z",     "Level 5 ローマ字１",   "Level 6 ローマ字２",
                               "Level 7 ひらがな１", "Level 8 ひらがな２",   "Level 9 ひらがな３"};
    QCOMPARE(w->scoreList->topLevelItemCount(), 9);
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = w->scoreList->topLevelItem(row);
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
    w->showScore->trigger();
    QCOMPARE(w->scoreList->columnCount(), 4);
    QCOMPARE(w->scoreList->headerItem()->text(column), caption);
    QCOMPARE(w->scoreList->header()->sectionSize(column), width);
    QCOMPARE(w->scoreList->columnWidth(column), width);
    const auto horizontal = [](int flags) { return flags & Qt::AlignHorizontal_Mask; };
    QCOMPARE(horizontal(w->scoreList->headerItem()->textAlignment(column)), alignment);
    for (int row = 0; row < 9; ++row)
        QCOMPARE(horizontal(w->scoreList->topLevelItem(row)->textAlignment(column)) ==
                     Qt::AlignRight,
                 alignment == Qt::AlignRight);
}

void RecordsTest::headerClicksDoNotSort()
{
    TestWindow w;
    w->showScore->trigger();
    QHeaderView *header = w->scoreList->header();
    QVERIFY(!header->sectionsClickable());
    QVERIFY(!w->scoreList->isSortingEnabled());
    for (int column = 0; column < 4; ++column) {
        const int x = header->sectionViewportPosition(column) + 20;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    }
    QCOMPARE(w->scoreList->topLevelItem(0)->text(0), QStringLiteral("Level 1 ホーム"));
    QCOMPARE(w->scoreList->topLevelItem(8)->text(0), QStringLiteral("Level 9 ひらがな３"));
}

void RecordsTest::firstStartShowsStandardScoresAndNoRecords()
{
    TestWindow w;
    w->showScore->trigger();
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = w->scoreList->topLevelItem(row);
        QCOMPARE(item->text(1), QString::number(standardScores[row + 1]));
        QCOMPARE(item->text(2), formatTenths(0));
        QCOMPARE(item->text(3), formatTenths(0));
    }
    QCOMPARE(w->scoreList->topLevelItem(0)->text(1), QStringLiteral("15"));
    QCOMPARE(w->scoreList->topLevelItem(8)->text(1), QStringLiteral("160"));

    // All nine levels and all four columns are in view, without scrolling.
    QVERIFY(!w->scoreList->verticalScrollBar()->isVisible());
    QVERIFY(!w->scoreList->horizontalScrollBar()->isVisible());
    const QRect lastRow = w->scoreList->visualItemRect(w->scoreList->topLevelItem(8));
    QVERIFY(lastRow.bottom() < w->scoreList->viewport()->height());
    QVERIFY(w->scoreList->header()->length() <= w->scoreList->viewport()->width());
}

void RecordsTest::scoresShowRoundedToOneDecimal_data()
{
    QTest::addColumn<double>("score");
    QTest::addColumn<QString>("shown"); // with the C locale's separator
    QTest::newRow("float run") << 12.300000190734863 << "12.3";
    QTest::newRow("rounds up") << 99.96 << "100.0";
    QTest::newRow("rounds down") << 7.04 << "7.0";
    QTest::newRow("whole") << 41.0 << "41.0";
    QTest::newRow("no grouping") << 12345.25 << "12345.3";
}

void RecordsTest::scoresShowRoundedToOneDecimal()
{
    QFETCH(double, score);
    QFETCH(QString, shown);
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    TestWindow w;
    w->highScores[4] = score;
    w->randomScores[9] = score;
    w->showScore->trigger();
    QLocale::setDefault(previous);
    QCOMPARE(w->scoreList->topLevelItem(3)->text(2), shown);
    QCOMPARE(w->scoreList->topLevelItem(8)->text(3), shown);
    QCOMPARE(w->scoreList->topLevelItem(3)->text(3), QStringLiteral("0.0"));
    QCOMPARE(w->highScores[4], score); // the stored value keeps all its digits
}

void RecordsTest::openingTwiceRefreshesAndKeepsThreeValues()
{
    TestWindow w;
    w->highScores[2] = 21.5;
    w->showScore->trigger();
    // A record set while the table is shown appears only when it is opened again.
    w->highScores[2] = 18.25;
    w->randomScores[7] = 150.0;
    QCOMPARE(w->scoreList->topLevelItem(1)->text(2), formatTenths(21.5));
    w->showScore->trigger();
    QVERIFY(w->scorePanel->isVisible());
    QCOMPARE(w->scorePanel->height(), 240);
    for (int row = 0; row < 9; ++row) {
        const QTreeWidgetItem *item = w->scoreList->topLevelItem(row);
        QCOMPARE(rowTexts(item).size(), 4);
        QCOMPARE(item->text(1), QString::number(standardScores[row + 1]));
    }
    QCOMPARE(rowTexts(w->scoreList->topLevelItem(1)),
             QStringList({"Level 2 ホーム＋上段", "20", formatTenths(18.25), formatTenths(0)}));
    QCOMPARE(rowTexts(w->scoreList->topLevelItem(6)),
             QStringList({"Level 7 ひらがな１", "140", formatTenths(0), formatTenths(150)}));
    QCOMPARE(w->scoreList->topLevelItemCount(), 9);
}

void RecordsTest::openingUnrollsFrom20To240AboveTheDrillArea()
{
    TestWindow w;
    w->Level8->trigger();      // the phrase layout: the text panel spans the drill area
    w->setSpelling->trigger(); // the romaji panel, raised over the drill area
    w.platform.recordSteps = true;
    w.platform.steps.clear();
    w->showScore->trigger();

    QList<int> expected;
    for (int height = 20; height <= 240; ++height)
        expected << height;
    QCOMPARE(w.platform.stepHeightsOf(w->scorePanel), expected);
    for (const auto &[widget, geometry] : w.platform.steps) {
        QCOMPARE(widget, w->scorePanel);
        QCOMPARE(geometry.topLeft(), QPoint(140, 0));
        QCOMPARE(geometry.width(), 521);
    }
    QVERIFY(w->scorePanel->isVisible());
    QCOMPARE(w->scorePanel->geometry(), QRect(140, 0, 521, 240));
    QCOMPARE(QApplication::focusWidget(), w->Button3);
    // Nothing of the drill area covers the table, not even the romaji panel.
    QVERIFY(w->settingPanel->isVisible());
    const QPoint inside = w->scorePanel->geometry().center();
    QWidget *top = w->drillArea->childAt(inside);
    QVERIFY(top == w->scorePanel || w->scorePanel->isAncestorOf(top));
    const QPoint overText = QPoint(200, w->TextPanel->geometry().center().y());
    top = w->drillArea->childAt(overText);
    QVERIFY(top == w->scorePanel || w->scorePanel->isAncestorOf(top));
}

void RecordsTest::okRollsTheTableAwayAndFocusesStart()
{
    TestWindow w;
    w->showScore->trigger();
    QTest::mouseClick(w->Button3, Qt::LeftButton);
    QVERIFY(!w->scorePanel->isVisible());
    QCOMPARE(w->scorePanel->height(), 20);
    QCOMPARE(QApplication::focusWidget(), w->Button1);

    // Opened again, it unrolls to its full height once more.
    w->showScore->trigger();
    QCOMPARE(w->scorePanel->height(), 240);
    QVERIFY(w->scorePanel->isVisible());
}

void RecordsTest::captionEditsStayOutOfTheInputMethod()
{
    TestWindow w;
    w->showScore->trigger();
    QTreeWidget *list = w->scoreList;
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
    w->showScore->trigger();
    QCOMPARE(item->text(2), formatTenths(0));
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
    QTest::mouseClick(w->Button1, Qt::LeftButton);
    w.type("fj");
    w->showScore->trigger();
    QTreeWidget *list = w->scoreList;
    const QRect row = list->visualItemRect(list->topLevelItem(4));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(list->currentItem(), list->topLevelItem(4));
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(controlsTakingComposedInput(w.form.get()), QStringList());

    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem(), list->topLevelItem(6));
    QCOMPARE(controlsTakingComposedInput(w.form.get()), QStringList());

    // The run goes on with the next key of level 1 (f j f j a ...).
    w.type('f');
    QCOMPARE(w->itemCounter, 4);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("J"));
    QCOMPARE(w.platform.beeps, 0);
}

void RecordsTest::aboutBoxShowsModallyWithItsLabels()
{
    TestWindow w;
    w->aboutMenu1->trigger();
    QCOMPARE(w.platform.modals.size(), std::size_t(1));
    QCOMPARE(w.platform.modals.back().title, QStringLiteral("About Rinkaro..."));
    QCOMPARE(w.platform.modalLabel("Label1"), QStringLiteral("Rinkaro ver.2.0.5"));
    const QString credit2 = w.platform.modalLabel("Label2");
    const QString credit3 = w.platform.modalLabel("Label3");
    QVERIFY(credit2.startsWith(QStringLiteral("By ")));
    for (const QString &credit : {credit2, credit3}) {
        QVERIFY(!credit.isEmpty());
        QVERIFY(!credit.contains(QLatin1Char('\n')));
        for (QChar c : credit)
            QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7F, qPrintable(credit));
    }
    QVERIFY(!w->Form2->isVisible());
    // Shown again each time it is asked for.
    w->aboutMenu1->trigger();
    QCOMPARE(w.platform.modals.size(), std::size_t(2));
}

void RecordsTest::aboutBoxLooksAsDesigned()
{
    TestWindow w;
    TForm2 *box = w->Form2;
    w->aboutMenu1Click();
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
    QCOMPARE(box->findChildren<QPushButton *>().size(), 0);

    struct Expect {
        QLabel *label;
        QRect geometry;
        QString face;
        int pixels;
        QColor colour;
    };
    const Expect expectations[] = {
        {box->Label1, QRect(80, 8, 263, 31), "Liberation Serif", 27, QColor(255, 0, 0)},
        {box->Label2, QRect(144, 48, 208, 23), "Liberation Mono", 21, QColor(0, 128, 0)},
        {box->Label3, QRect(155, 80, 195, 23), "Liberation Mono", 21, QColor(0, 128, 0)},
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
    QVERIFY(box->Label1->alignment() & Qt::AlignRight);
    QCOMPARE(box->Image1->geometry(), QRect(8, 16, 65, 65));
    QCOMPARE(box->Image1->pixmap().size(), QSize(64, 64));
}

void RecordsTest::aboutPictureIsKeysIn24BitColour()
{
    const QImage picture = TForm2::keysPicture();
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
    TForm1 form(system);
    QWidget *seen = nullptr;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        seen = QApplication::activeModalWidget();
        wasModal = seen && seen->isModal() && seen->isVisible();
        if (seen)
            seen->close();
    });
    form.aboutMenu1Click(); // returns once the box is closed
    QCOMPARE(seen, static_cast<QWidget *>(form.Form2));
    QVERIFY(wasModal);
    QVERIFY(!form.Form2->isVisible());
}

QTEST_MAIN(RecordsTest)
#include "test_records.moc"
