#include "app/form1.h"

#include <QFrame>

void TForm1::buildSettingPanel()
{
    settingPanel = new QFrame(drillArea);
    settingPanel->setObjectName(QStringLiteral("settingPanel"));
    settingPanel->setGeometry(139, 0, 521, 330);
    settingPanel->hide();
}

void TForm1::setSpellingClick() {}
void TForm1::Button2Click() {}
void TForm1::applyRomajiChoices() {}
