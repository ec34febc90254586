#pragma once

// The drill suites' window: the shared test window with the C locale for the dialog's
// numbers, and helpers that read what a run shows.
#include "drill/form3.h"
#include "testwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

struct DrillWindow : TestWindow {
    DrillWindow()
    {
        QLocale::setDefault(QLocale::c());
        platform.messages.clear(); // the welcome message of a first start
    }

    void chooseLevel(int level) const { form->levelItem(level)->trigger(); }
    void clickButton1() const { QTest::mouseClick(form->Button1, Qt::LeftButton); }

    using TestWindow::type;
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
        for (int n = 1; n <= 30; ++n)
            if (form->Panel[n]->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
                lit = form->Panel[n]->text();
        return litKeyCount() == 1 ? lit : QString();
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
