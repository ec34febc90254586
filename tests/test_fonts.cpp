// SPDX-License-Identifier: GPL-3.0-or-later
// Faces as drawn: Japanese text in windows that set no font of their own, and the bold of
// the large drill text.
#include "testwindow.h"

#include <QGlyphRun>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTextLayout>

using namespace rinkaro;

class FontsTest : public QObject
{
    Q_OBJECT
private slots:
    void popUpWindowsDrawJapaneseInTheGothicFace();
    void largeTextShowsBold_data();
    void largeTextShowsBold();
};

void FontsTest::popUpWindowsDrawJapaneseInTheGothicFace()
{
    TestWindow w;
    QMessageBox box(QMessageBox::Information, QStringLiteral("ようこそ"),
                    QStringLiteral("設定ファイルを初期化します。"), QMessageBox::Ok, w.form.get());
    QWidget *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    for (QWidget *widget :
         {static_cast<QWidget *>(w.find<QMenu>(QStringLiteral("Option1"))), label}) {
        QCOMPARE(QFontInfo(widget->font()).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(widget->font().pixelSize(), 12);
        // With a Chinese face installed too, a fallback would draw these in Chinese shapes.
        QTextLayout layout(QStringLiteral("記録表示 設定 直"), widget->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            QCOMPARE(run.rawFont().familyName().toLower(), QStringLiteral("ipapgothic"));
    }
}

void FontsTest::largeTextShowsBold_data()
{
    QTest::addColumn<int>("pixels");
    QTest::newRow("level caption") << 64;
    QTest::newRow("tutorial") << 43;
}

// As the levels and the tutorial do: only the size of the panel's own font changes.
void FontsTest::largeTextShowsBold()
{
    QFETCH(int, pixels);
    TestWindow w;
    QLabel *panel = w.textPanel();
    panel->setText(QStringLiteral("Level1"));
    QFont font = panel->font();
    int ink[2] = {};
    QRect inked[2];
    for (bool bold : {true, false}) {
        font.setPixelSize(pixels);
        font.setBold(bold);
        panel->setFont(font);
        const QImage image = panel->grab(panel->contentsRect()).toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    ++ink[bold];
                    inked[bold] |= QRect(x, y, 1, 1);
                }
    }
    QVERIFY2(ink[true] >= ink[false] * 115 / 100,
             qPrintable(QStringLiteral("%1 dark pixels bold, %2 regular").arg(ink[1]).arg(ink[0])));
    // Emboldened in place: the line grows by a few pixels but does not move.
    QVERIFY((inked[true].center() - inked[false].center()).manhattanLength() <= 4);
}

QTEST_MAIN(FontsTest)
#include "test_fonts.moc"
