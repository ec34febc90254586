// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/progressplugin.h"

#include "gui/progress/progresswindow.h"

namespace rinkaro
{

QWidget *ProgressPlugin::createProgressWindow(PracticeHistory &history, int level, QWidget *parent)
{
    auto *window = new ProgressWindow(history, parent);
    window->reload(level);
    return window;
}

void ProgressPlugin::refreshProgressWindow(QWidget *window, int level)
{
    if (auto *progress = qobject_cast<ProgressWindow *>(window))
        progress->followHistory(window->isVisible() ? 0 : level);
}

void ProgressPlugin::setPractiseHandler(QWidget *window, PractiseHandler handler)
{
    if (auto *progress = qobject_cast<ProgressWindow *>(window))
        progress->setPractiseHandler(std::move(handler));
}

} // namespace rinkaro
