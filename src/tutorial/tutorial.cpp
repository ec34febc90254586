#include "app/form1.h"

void TForm1::TutorialClick() {}
void TForm1::SpeedButton1Click() {}
void TForm1::SpeedButton2Click() {}
void TForm1::SpeedButton3Click() {}
