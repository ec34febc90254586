// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform.h"

#include <random>

namespace rinkaro
{

// The implementation for a real desktop session.
class SystemPlatform final : public Platform
{
public:
    quint32 tickCount() override;
    quint32 timeOfDayMs() override;
    void beep() override;
    QMessageBox::StandardButton messageBox(QWidget *parent, QMessageBox::Icon icon,
                                           const QString &caption, const QString &text,
                                           QMessageBox::StandardButtons buttons) override;
    void showModal(QDialog *dialog) override;
    void seedRandom(quint32 seed) override;
    int random(int n) override;
    void animationStep(QWidget *widget, int step) override;
    bool screenReaderListening() override;

private:
    std::mt19937 engine_;
};

} // namespace rinkaro
