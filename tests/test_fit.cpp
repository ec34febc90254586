// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start on a screen too small for the window at its scale: twice the size on a
// 1280 x 1024 screen. Everything is drawn smaller so that the whole window is on the screen,
// the drill area scaled as one. The fitting rule itself is test_core_access's.
#include "app/application.h"
#include "testwindow.h"

#include <QScreen>

using namespace rinkaro;

class FitTest : public QObject
{
    Q_OBJECT
private slots:
    void windowFitsTheScreen();
};

void FitTest::windowFitsTheScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    // Fault: the application made once, at the scale asked for: a screen of 640 x 512 then.
    QCOMPARE(screen->geometry().size() * screen->devicePixelRatio(), QSize(1280, 1024));
    QCOMPARE(qRound(screen->devicePixelRatio() * 100), 158);

    TestWindow w;
    w.chooseLevel(7); // the tall drill area
    QCOMPARE(w.outerHeight(), 460);
    const QRect available = screen->availableGeometry();
    QVERIFY2(available.contains(w->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                            .arg(w->frameGeometry().x())
                            .arg(w->frameGeometry().y())
                            .arg(w->frameGeometry().width())
                            .arg(w->frameGeometry().height())
                            .arg(available.width())
                            .arg(available.height())));
    // The Start button, the last thing on the right, is on the screen.
    const QRect start(w.startButton()->mapToGlobal(QPoint(0, 0)), w.startButton()->size());
    QVERIFY(available.contains(start));
}

// The screen is made before the application object: Qt reads its size and scale at the start.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1280,
                        "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    const std::unique_ptr<RinkaroApplication> app = makeFittedApplication(argc, argv);
    FitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fit.moc"
