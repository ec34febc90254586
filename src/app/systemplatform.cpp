// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/systemplatform.h"

#include "app/dialogframe.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTime>
#include <QWidget>
#include <QWindow>

#include <ctime>

namespace rinkaro
{

quint32 SystemPlatform::tickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const quint64 ms = quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u;
    return quint32(ms); // keeps the low 32 bits, so the counter wraps
}

quint32 SystemPlatform::timeOfDayMs()
{
    return quint32(QTime::currentTime().msecsSinceStartOfDay());
}

void SystemPlatform::beep()
{
    QApplication::beep();
}

QMessageBox::StandardButton SystemPlatform::messageBox(QWidget *parent, QMessageBox::Icon icon,
                                                       const QString &caption, const QString &text,
                                                       QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    askForDialogFrame(&box);
    return QMessageBox::StandardButton(box.exec());
}

void SystemPlatform::showModal(QDialog *dialog)
{
    askForDialogFrame(dialog);
    dialog->exec();
}

void SystemPlatform::seedRandom(quint32 seed)
{
    engine_.seed(seed);
}

int SystemPlatform::random(int n)
{
    if (n <= 0)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
}

bool SystemPlatform::screenReaderListening()
{
    return QAccessible::isActive();
}

void SystemPlatform::animationStep(QWidget *widget, int step)
{
    // Unpaced, a whole animation would be over within one frame. Painting every eighth
    // step and waiting a little there keeps the longest one (478 steps) near 240 ms.
    // Steps taken before the window is on screen (the start-up layout) are not paced.
    const QWindow *window = widget->window()->windowHandle();
    if (step % 8 != 0 || !widget->isVisible() || !window || !window->isExposed())
        return;
    widget->window()->repaint();
    QThread::msleep(4);
}

} // namespace rinkaro
