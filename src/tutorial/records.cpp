#include "app/form1.h"

#include <QFrame>

void TForm1::buildScorePanel()
{
    scorePanel = new QFrame(drillArea);
    scorePanel->setObjectName(QStringLiteral("scorePanel"));
    scorePanel->setGeometry(140, 0, 521, 240);
    scorePanel->hide();
}

void TForm1::showScoreClick() {}
void TForm1::Button3Click() {}
void TForm1::aboutMenu1Click() {}
