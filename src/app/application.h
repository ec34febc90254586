// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

class Platform;

// The application object. An exception that escapes an event handler is shown in an
// error message box and the event loop goes on.
class RinkaroApplication : public QApplication
{
public:
    RinkaroApplication(int &argc, char **argv);
    void setPlatform(Platform *platform) { platform_ = platform; }
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message of an exception that reached the top of a handler.
    static void showException(Platform *platform, const QString &message);

private:
    Platform *platform_ = nullptr;
};
