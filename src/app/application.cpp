// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "gui/platform.h"

#include "core/windowplacement.h"

#include <QScreen>

#include <exception>
#include <vector>

namespace rinkaro
{

RinkaroApplication::RinkaroApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool RinkaroApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showException(platform_, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showException(platform_, QCoreApplication::translate("RinkaroApplication",
                                                             "不明なエラーが発生しました。"));
    }
    return false;
}

void RinkaroApplication::showException(Platform *platform, const QString &message)
{
    const QString caption = QApplication::applicationName();
    if (platform)
        platform->messageBox(QApplication::activeWindow(), QMessageBox::Critical, caption, message,
                             QMessageBox::Ok);
    else
        QMessageBox::critical(QApplication::activeWindow(), caption, message);
}

std::unique_ptr<RinkaroApplication> makeFittedApplication(int &argc, char **argv)
{
    // Qt takes its own options out of the arguments: the second object gets them again.
    static std::vector<QByteArray> kept;
    static std::vector<char *> arguments;
    static int count = argc;
    for (int i = 0; i < argc; ++i)
        kept.emplace_back(argv[i]);
    for (QByteArray &argument : kept)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);

    auto app = std::make_unique<RinkaroApplication>(argc, argv);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double fit = screen ? scaleToFit(screen->availableGeometry(), tallestMainWindow) : 1.0;
    if (fit >= 1)
        return app;
    bool set = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
    const double scale = (set && factor > 0 ? factor : 1.0) * fit;
    app.reset();
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'f', 3));
    return std::make_unique<RinkaroApplication>(count, arguments.data());
}

} // namespace rinkaro
