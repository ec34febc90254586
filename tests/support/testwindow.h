#pragma once

#include "core/keytable.h"
#include "core/settingsfile.h"
#include "fakeplatform.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The shared fixture of the window suites: a main window on the test double, working in a
// temporary folder of its own (so that no two tests share a settings file), with the
// controls found by their design names and driven by real events.
struct TestWindow {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakePlatform platform;
    std::unique_ptr<MainWindow> form;

    // `show`: shown and active, the settings loaded (a missing file greets the user with a
    // message that platform.messages keeps).
    explicit TestWindow(bool show = true)
    {
        registerFontSubstitutions();
        setJapaneseApplicationFont();
        QLocale::setDefault(QLocale::c());
        QDir::setCurrent(dir.path());
        form = std::make_unique<MainWindow>(platform);
        if (show)
            this->show();
    }
    // Shown on a settings file stored by earlier sessions (records, level, choices).
    explicit TestWindow(const SettingsRecord &stored) : TestWindow(false)
    {
        writeSettings(stored);
        show();
    }
    ~TestWindow()
    {
        form.reset();
        QDir::setCurrent(previousDir);
    }
    void show()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        (void)QTest::qWaitForWindowActive(form.get());
    }
    // Writes the settings file the window reads when it is first shown (records, romaji
    // choices and the rest as a previous session would have left them).
    void writeSettings(const SettingsRecord &values) const
    {
        QFile file(dir.filePath(QStringLiteral("RK.set")));
        if (!file.open(QIODevice::WriteOnly) || file.write(formatSettings(values)) < 0)
            qWarning("cannot write the settings file");
    }
    // A new window in the same folder, as at the next start of the program.
    void restart(bool show = true)
    {
        form = std::make_unique<MainWindow>(platform);
        if (show)
            this->show();
    }

    MainWindow *operator->() const { return form.get(); }
    MainWindow *window() const { return form.get(); }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *found = form->findChild<T *>(name);
        if (!found)
            qWarning("no control named %s", qPrintable(name));
        return found;
    }
    QPushButton *startButton() const { return find<QPushButton>(QStringLiteral("Button1")); }
    QLabel *textPanel() const { return find<QLabel>(QStringLiteral("TextPanel")); }
    QLabel *readingPanel() const { return find<QLabel>(QStringLiteral("yomiPanel")); }
    QCheckBox *hintBox() const { return find<QCheckBox>(QStringLiteral("CheckBox1")); }
    QCheckBox *randomBox() const { return find<QCheckBox>(QStringLiteral("CheckBox2")); }
    QWidget *keyboard() const { return find(QStringLiteral("KBPanel")); }
    QAction *action(const QString &name) const { return find<QAction>(name); }
    QAction *levelItem(int level) const { return action(QStringLiteral("Level%1").arg(level)); }
    // A key of the on-screen keyboard by its caption ("F", ";").
    QLabel *key(const QString &caption) const
    {
        for (const KeyInfo &info : keyTable)
            if (caption == QLatin1String(info.caption))
                return find<QLabel>(QStringLiteral("Panel%1").arg(info.panel));
        return nullptr;
    }

    void chooseLevel(int level) const { levelItem(level)->trigger(); }
    void clickStart() const { QTest::mouseClick(startButton(), Qt::LeftButton); }
    bool running() const { return startButton()->text() == QStringLiteral("ストップ"); }
    // Double-clicks the keyboard's background, the demo question answered as given.
    void doubleClickKeyboard(QMessageBox::StandardButton answer)
    {
        platform.answers.push_back(answer);
        QTest::mouseDClick(keyboard(), Qt::LeftButton, {}, QPoint(5, 5));
    }

    // Where a typed key goes: the focused control, or the window when nothing has the focus.
    QWidget *keyTarget() const
    {
        QWidget *focus = QApplication::focusWidget();
        return focus ? focus : form.get();
    }
    void type(char ch) const { QTest::keyClick(keyTarget(), ch); }
    void type(const char *text) const
    {
        for (; *text; ++text)
            type(*text);
    }
    void type(const QString &text) const
    {
        for (const QChar ch : text)
            type(char(ch.toLatin1()));
    }

    // The keys whose caption is lit red, as a string of captions in key-table order.
    QString litKeys() const
    {
        QString lit;
        for (const KeyInfo &info : keyTable)
            if (key(QLatin1String(info.caption))->palette().color(QPalette::WindowText) ==
                QColor(255, 0, 0))
                lit += QLatin1String(info.caption);
        return lit;
    }
    // The one lit key, or "" when none or several are lit.
    QString litKey() const
    {
        const QString lit = litKeys();
        return lit.size() == 1 ? lit : QString();
    }

    // A label of the typing-time dialog as the last run's dialog showed it ("Label3").
    QString dialogLabel(int n) const
    {
        return platform.modalLabel(QStringLiteral("Label%1").arg(n));
    }
};
