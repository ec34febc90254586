#include "app/form1.h"

void TForm1::FormCreate()
{
    narrowTextPanel();
    selectLevel(1);
}

void TForm1::WhenClosed() {}
