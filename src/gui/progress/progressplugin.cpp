// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/progressplugin.h"

#include "gui/progress/progresswindow.h"

namespace rinkaro
{

QWidget *ProgressPlugin::createProgressWindow(PracticeHistory &history, int level,
                                              const QString &text, QWidget *parent)
{
    auto *window = new ProgressWindow(history, parent);
    window->reload(level, text);
    return window;
}

void ProgressPlugin::refreshProgressWindow(QWidget *window, int level, const QString &text)
{
    if (auto *progress = qobject_cast<ProgressWindow *>(window)) {
        if (window->isVisible())
            progress->followHistory();
        else
            progress->followHistory(level, text);
    }
}

void ProgressPlugin::setPractiseHandler(QWidget *window, PractiseHandler handler)
{
    if (auto *progress = qobject_cast<ProgressWindow *>(window))
        progress->setPractiseHandler(std::move(handler));
}

} // namespace rinkaro
