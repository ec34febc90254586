// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/desktop.h"
#include "core/keytable.h"
#include "core/levels.h"
#include "core/scorebook.h"
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
#include <QTreeWidget>

#include <memory>

namespace rinkaro
{

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
        installTranslations(Language::Japanese);
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
        settle();
    }
    // Painted, and what the window builds just after its first paint built: the window as a
    // learner first meets it.
    void settle() const
    {
        (void)QTest::qWaitForWindowExposed(form.get());
        QCoreApplication::sendPostedEvents();
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
    // The one ticked item of the level menu; 0 when none or several are ticked.
    int tickedLevel() const
    {
        int ticked = 0;
        for (int level = 1; level <= 9; ++level)
            if (levelItem(level)->isChecked())
                ticked = ticked ? -1 : level;
        return ticked > 0 ? ticked : 0;
    }
    // The outer height the layout rules speak of: the drill area with the nominal 46 pixels
    // of frame, caption and menu bar.
    int outerHeight() const { return find(QStringLiteral("drillArea"))->height() + 46; }
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

    // What a key typed while the hint check box has the focus does, as the mode table writes
    // it: 'J' the drill judges it (a space: an error, a beep), 'L' it only lights up (demo
    // mode; a space puts the lit key out), '-' it reaches the box (a space ticks it; a second
    // one puts the tick back). The window is made active for it; the focus and the active
    // window are given back.
    char keyAction() const
    {
        QWidget *active = QApplication::activeWindow();
        QApplication::setActiveWindow(form.get());
        QWidget *focus = form->focusWidget();
        QCheckBox *box = hintBox();
        const bool ticked = box->isChecked();
        const int beeps = platform.beeps;
        box->setFocus();
        QTest::keyClick(box, ' ');
        const bool reached = box->isChecked() != ticked;
        if (reached)
            QTest::keyClick(box, ' ');
        if (focus)
            focus->setFocus();
        else
            box->clearFocus();
        if (active && active != form.get())
            QApplication::setActiveWindow(active);
        return reached ? '-' : platform.beeps > beeps ? 'J' : 'L';
    }

    // A record as RK.set holds it once the window has saved (0: none).
    double best(int level, bool randomOrder) const
    {
        form->saveSettings();
        const SettingsRecord values =
            readSettingsFile(dir.filePath(QStringLiteral("RK.set"))).value_or(SettingsRecord());
        return (randomOrder ? values.randomRecords : values.orderedRecords)[level - 1];
    }
    // The ordered and the random record of each level as the record table shows them when
    // it is opened now ("12.3"), level 1 first; the table is put away again with its OK.
    QStringList recordsShown() const
    {
        action(QStringLiteral("showScore"))->trigger();
        QStringList shown;
        const auto *list = find<QTreeWidget>(QStringLiteral("scoreList"));
        for (int row = 0; row < 9; ++row)
            shown << list->topLevelItem(row)->text(2) << list->topLevelItem(row)->text(3);
        QTest::mouseClick(find<QPushButton>(QStringLiteral("Button3")), Qt::LeftButton);
        return shown;
    }
    // The same for records kept as given.
    static QStringList recordsShown(const SettingsRecord &values)
    {
        QStringList shown;
        for (int k = 0; k < 9; ++k)
            shown << formatTenths(values.orderedRecords[k])
                  << formatTenths(values.randomRecords[k]);
        return shown;
    }

    // The romaji the drill shows for the syllable `index` (1..83) with the choices in force:
    // a random run of its level started, the syllable drawn second, the run stopped and the
    // level chosen before given back.
    QString romajiShown(int index)
    {
        const int before = tickedLevel();
        const bool ordered = !randomBox()->isChecked();
        const int level = index <= levelInfo(5)->rangeLast ? 5 : 6;
        chooseLevel(level);
        if (ordered)
            QTest::mouseClick(randomBox(), Qt::LeftButton);
        clickStart();
        platform.scriptedRandom = {index - levelInfo(level)->rangeFirst};
        type(readingPanel()->text().toLower());
        const QString shown = readingPanel()->text();
        clickStart();
        if (ordered)
            QTest::mouseClick(randomBox(), Qt::LeftButton);
        if (before)
            chooseLevel(before);
        return shown;
    }

    // A label of the typing-time dialog as the last run's dialog showed it ("Label3").
    QString dialogLabel(int n) const
    {
        return platform.modalLabel(QStringLiteral("Label%1").arg(n));
    }
};

} // namespace rinkaro
