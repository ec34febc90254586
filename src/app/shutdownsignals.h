// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace rinkaro
{

// Turns SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, Ctrl+C in a terminal) into a
// polite close. The signal handler only writes a byte into a socket pair; the event loop
// reads it and runs the callback, where anything may be done. Should the event loop not
// read it within a few seconds, or the close not end within half a minute, an alarm ends
// the program. One instance at a time.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    ~ShutdownSignals() override;

private:
    void readSignal();

    std::function<void()> onSignal_;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace rinkaro
