// SPDX-License-Identifier: GPL-3.0-or-later
// The reference program of bench_startup: a bare Qt main window of the same client size
// and the same flags as the real one, built the same way, doing nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Rinkaro 2"));
    window.menuBar()->addMenu(QStringLiteral("レベル"));
    auto *client = new QWidget(&window);
    client->setFixedSize(800, 354);
    window.setCentralWidget(client);
    window.show();
    return app.exec();
}
