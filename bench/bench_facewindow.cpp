// SPDX-License-Identifier: GPL-3.0-or-later
// The second reference program of bench_startup: the bare window drawing the program's three
// faces at its sizes, the floor of any window of this design.
#include "referencewindows.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    useProgramFonts();
    FaceWindow window;
    window.show();
    window.page()->setFocus();
    return app.exec();
}
