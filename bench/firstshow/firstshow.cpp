// SPDX-License-Identifier: GPL-3.0-or-later
// A generic Qt plugin for the start-up benchmark: loaded into a program through
// QT_QPA_GENERIC_PLUGINS=firstshow, it prints "shown" on standard output when the
// program's first top-level window is exposed, then ends the process at once. The same
// plugin watches the program under test and the bare reference window, so neither
// program carries any code of the benchmark's own.
#include <QEvent>
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

class FirstShowWatcher : public QObject
{
public:
    explicit FirstShowWatcher(QObject *parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            auto *window = qobject_cast<QWindow *>(watched);
            if (window && window->isTopLevel() && window->isExposed()) {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            }
        }
        return false;
    }
};

class FirstShowPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "firstshow.json")
public:
    QObject *create(const QString &, const QString &) override
    {
        auto *watcher = new FirstShowWatcher(qApp);
        qApp->installEventFilter(watcher);
        return watcher;
    }
};

#include "firstshow.moc"
