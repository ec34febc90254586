// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "gui/platform.h"

#include <exception>

RinkaroApplication::RinkaroApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool RinkaroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showException(platform_, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showException(platform_, QCoreApplication::translate("RinkaroApplication",
                                                             "不明なエラーが発生しました。"));
    }
    return false;
}

void RinkaroApplication::showException(Platform *platform, const QString &message)
{
    const QString caption = QApplication::applicationName();
    if (platform)
        platform->messageBox(QApplication::activeWindow(), QMessageBox::Critical, caption, message,
                             QMessageBox::Ok);
    else
        QMessageBox::critical(QApplication::activeWindow(), caption, message);
}
