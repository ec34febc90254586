#pragma once

#include "app/fonts.h"
#include "app/form1.h"
#include "fakeplatform.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A main window on the test double, working in a temporary folder of its own so that
// no two tests share a settings file.
struct TestWindow {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakePlatform platform;
    std::unique_ptr<TForm1> form;

    explicit TestWindow(bool show = true)
    {
        registerFontSubstitutions();
        setJapaneseApplicationFont();
        QDir::setCurrent(dir.path());
        form = std::make_unique<TForm1>(platform);
        if (show) {
            form->show();
            QApplication::setActiveWindow(form.get());
            (void)QTest::qWaitForWindowActive(form.get());
        }
    }
    ~TestWindow()
    {
        form.reset();
        QDir::setCurrent(previousDir);
    }

    TForm1 *operator->() const { return form.get(); }

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
};
