// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

#include <memory>

namespace rinkaro
{

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

// Makes the application object. When the main window at the scale in force would not fit
// the primary screen's available area, the object is made again with every window drawn
// smaller by the fraction that lets it fit (the scale factor Qt reads at its start), so the
// whole drill area stays in view, scaled as one. `argc` and `argv` must outlive it.
std::unique_ptr<RinkaroApplication> makeFittedApplication(int &argc, char **argv);

} // namespace rinkaro
