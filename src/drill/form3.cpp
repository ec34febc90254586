#include "drill/form3.h"

#include <QLabel>
#include <QPushButton>

TForm3::TForm3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("タイピング時間"));
}

void TForm3::Button1Click()
{
    close();
}
