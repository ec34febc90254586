#include "app/application.h"
#include "app/fonts.h"
#include "app/form1.h"
#include "app/platform.h"

#include <exception>

// The syllable tables and the phrase list are static data, in place before main() runs.
int main(int argc, char **argv)
{
    RinkaroApplication app(argc, argv);
    SystemPlatform platform;
    try {
        QApplication::setApplicationName(QStringLiteral("Rinkaro2"));
        registerFontSubstitutions();
        setJapaneseApplicationFont();
        app.setPlatform(&platform);
        TForm1 form1(platform); // creates the about box and the typing-time dialog after itself
        form1.show();           // its first show loads the settings
        return app.exec();
    } catch (const std::exception &error) {
        RinkaroApplication::showException(&platform, QString::fromLocal8Bit(error.what()));
        return 0;
    }
}
