// SPDX-License-Identifier: GPL-3.0-or-later
// A generic Qt plugin for the start-up benchmark: loaded into a program through
// QT_QPA_GENERIC_PLUGINS=firstshow, it lets the program's first top-level window handle its
// first expose (the first paint and its flush), then prints "painted", the number of widget
// paints that expose caused and the process's peak resident memory (VmHWM, kB) on standard
// output and ends the process at once. The same plugin watches the program under test and the
// reference windows, so that none of them carries any code of the benchmark's own.
#include <QEvent>
#include <QFile>
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace
{

long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

class FirstShowWatcher : public QObject
{
public:
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && exposing_)
            ++paints_;
        if (event->type() != QEvent::Expose || exposing_)
            return false;
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || !window->isTopLevel() || !window->isExposed())
            return false;
        // The window paints and flushes inside its expose handler.
        exposing_ = true;
        static_cast<QObject *>(window)->event(event);
        std::printf("painted %d %ld\n", paints_, peakResidentKb());
        std::fflush(stdout);
        std::_Exit(0);
    }

private:
    bool exposing_ = false;
    int paints_ = 0;
};

class FirstShowPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "firstshow.json")
public:
    QObject *create(const QString &, const QString &) override
    {
        // The application deletes the objects its generic plugins made: no parent.
        auto *watcher = new FirstShowWatcher;
        qApp->installEventFilter(watcher);
        return watcher;
    }
};

#include "firstshow.moc"
