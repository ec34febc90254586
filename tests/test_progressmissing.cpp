// SPDX-License-Identifier: GPL-3.0-or-later
// The progress window's loader as a build without Qt Charts has it: the menu item's box
// says that the window is not installed, whatever lies where the module would be.
#include "gui/progresswindowloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rinkaro;

class ProgressMissingTest : public QObject
{
    Q_OBJECT
private slots:
    void saysTheWindowIsNotInstalled();
};

void ProgressMissingTest::saysTheWindowIsNotInstalled()
{
    QTemporaryDir folder;
    QFile leftover(folder.filePath(QStringLiteral("librinkaro_progress.so")));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.write("a module of another build");
    leftover.close();
    QString error;
    QCOMPARE(loadProgressWindowFactory({folder.path()}, &error), nullptr);
    QVERIFY2(error.contains(QStringLiteral("インストールされていません")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Qt Charts")), qPrintable(error));
}

QTEST_APPLESS_MAIN(ProgressMissingTest)
#include "test_progressmissing.moc"
