// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/progresswindowloader.h"

#include <QObject>

namespace rinkaro
{

// The module's entry point: makes and refreshes statistics windows for the main window.
class ProgressPlugin : public QObject, public ProgressWindowFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ProgressWindowFactory_iid)
    Q_INTERFACES(rinkaro::ProgressWindowFactory)
public:
    QWidget *createProgressWindow(PracticeHistory &history, int level, const QString &text,
                                  QWidget *parent) override;
    void refreshProgressWindow(QWidget *window, int level, const QString &text) override;
    void setPractiseHandler(QWidget *window, PractiseHandler handler) override;
};

} // namespace rinkaro
