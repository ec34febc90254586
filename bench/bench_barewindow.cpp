// SPDX-License-Identifier: GPL-3.0-or-later
// The first reference program of bench_startup: a bare Qt main window of the same client size
// as the real one, built the same way, doing nothing else.
#include "referencewindows.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    window.show();
    return app.exec();
}
