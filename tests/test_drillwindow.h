#pragma once

// A main window on the test double for the drill suites, in a temporary folder of its own,
// with helpers that type through real key events.
#include "app/fonts.h"
#include "app/form1.h"
#include "drill/form3.h"
#include "fakeplatform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct DrillWindow {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakePlatform platform;
    std::unique_ptr<TForm1> form;

    DrillWindow()
    {
        QLocale::setDefault(QLocale::c());
        registerFontSubstitutions();
        QDir::setCurrent(dir.path());
        form = std::make_unique<TForm1>(platform);
        form->show();
        QApplication::setActiveWindow(form.get());
        (void)QTest::qWaitForWindowActive(form.get());
        platform.messages.clear(); // the welcome message of a first start
    }
    ~DrillWindow()
    {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    TForm1 *operator->() const { return form.get(); }

    void chooseLevel(int level) const { form->levelItem(level)->trigger(); }
    void clickButton1() const { QTest::mouseClick(form->Button1, Qt::LeftButton); }

    // Where a typed key goes: the focused control, or the window when nothing has the focus.
    QWidget *keyTarget() const
    {
        QWidget *focus = QApplication::focusWidget();
        return focus ? focus : form.get();
    }
    void type(char ch) const { QTest::keyClick(keyTarget(), ch); }
    void type(const QString &text) const
    {
        for (const QChar ch : text)
            type(char(ch.toLatin1()));
    }

    bool running() const { return form->Button1->text() == QStringLiteral("ストップ"); }

    // The one key whose caption is lit as the hint, or "" when none or several are lit.
    QString litKey() const
    {
        QString lit;
        int count = 0;
        for (int n = 1; n <= 30; ++n) {
            QLabel *panel = form->Panel[n];
            if (panel->palette().color(QPalette::WindowText) == QColor(255, 0, 0)) {
                lit = panel->text();
                ++count;
            }
        }
        return count == 1 ? lit : QString();
    }
    int litKeyCount() const
    {
        int count = 0;
        for (int n = 1; n <= 30; ++n)
            if (form->Panel[n]->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
                ++count;
        return count;
    }

    QString dialogLabel(int n) const
    {
        return platform.modalLabel(QStringLiteral("Label%1").arg(n));
    }
};
