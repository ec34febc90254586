#include "app/form1.h"

void TForm1::toggleDrillRun() {}

void TForm1::FromKeyPress(QObject *, char &) {}
