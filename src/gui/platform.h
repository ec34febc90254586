// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QtGlobal>

class QDialog;
class QWidget;

namespace rinkaro
{

// Everything the windows ask of the system, behind one interface so that tests can drive
// the clock, count beeps, answer message boxes and fix the random sequence. The program's
// start-up chooses the implementation.
class Platform
{
public:
    virtual ~Platform() = default;

    // Milliseconds since boot as an unsigned 32-bit value: it wraps like a 32-bit counter.
    virtual quint32 tickCount() = 0;
    // Milliseconds since midnight, local time; seeds the random generator.
    virtual quint32 timeOfDayMs() = 0;
    virtual void beep() = 0;

    // Shows a message box and returns the button pressed.
    virtual QMessageBox::StandardButton messageBox(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &caption, const QString &text,
                                                   QMessageBox::StandardButtons buttons) = 0;
    // Shows a window modally and returns when it is closed.
    virtual void showModal(QDialog *dialog) = 0;

    virtual void seedRandom(quint32 seed) = 0;
    // A uniform integer in 0..n-1; 0 when n <= 0.
    virtual int random(int n) = 0;

    // Called after each step of a panel animation so that the steps can be painted and
    // paced; the test double records them instead.
    virtual void animationStep(QWidget *widget, int step) = 0;

    // Whether an assistive technology (a screen reader) is listening to the accessibility
    // events: what only it would hear need not be made otherwise.
    virtual bool screenReaderListening() = 0;
};

} // namespace rinkaro
