// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reference windows the start-up and key benchmarks hold the program against. The bare
// window is a main window of the program's client size and flags with one menu and nothing
// else; the face window adds what no window of this design can do without: one line in each
// of its three faces at the sizes the main window shows them at start-up, and the typed key
// echoed in the large face. Both draw with plain QPainter calls and own no other control.
#include "gui/fonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>

using namespace rinkaro;

class BareWindow : public QMainWindow
{
public:
    explicit BareWindow(QWidget *client = nullptr)
    {
        setWindowTitle(QStringLiteral("Rinkaro 2"));
        menuBar()->addMenu(QStringLiteral("レベル"));
        if (!client)
            client = new QWidget(this);
        client->setFixedSize(800, 354);
        setCentralWidget(client);
    }
};

// The client of the face window: the Gothic faces' lines, the key captions' row, and the
// last typed key in the large face.
class FacePage : public QWidget
{
public:
    FacePage()
        : small_(pixelFont(pGothicFamily, 12)), caption_(pixelFont(gothicFamily, 13)),
          large_(pixelFont(gothicFamily, 64, true)), keys_(pixelFont(impactFamily, 48, true))
    {
        setFocusPolicy(Qt::StrongFocus);
    }

    // The echo: only the line that shows the key is repainted.
    void echo(const QString &text)
    {
        echo_ = text;
        update(echoLine);
    }

protected:
    // Only what lies in the region to paint is laid out and drawn, as widgets are.
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const auto draw = [&painter, event](const QFont &font, const QRect &place, int flags,
                                            const QString &text) {
            if (!event->region().intersects(place))
                return;
            painter.setFont(font);
            painter.drawText(place, flags, text);
        };
        draw(small_, QRect(696, 24, 89, 33), Qt::AlignCenter, QStringLiteral("スタート"));
        draw(caption_, QRect(584, 0, 100, 17), Qt::AlignLeft, QStringLiteral("ヒントを表示"));
        draw(large_, QRect(250, 24, 300, 72), Qt::AlignCenter, QStringLiteral("Level1"));
        draw(large_, echoLine, Qt::AlignCenter, echo_);
        const QString row = QStringLiteral("QWERTYUIOPASDFGHJKL;ZXCVBNM,./");
        for (int k = 0; k < int(row.size()); ++k)
            draw(keys_, QRect(40 + (k % 10) * 64, 140 + (k / 10) * 64, 64, 64), Qt::AlignCenter,
                 row.mid(k, 1));
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->text().isEmpty())
            QWidget::keyPressEvent(event);
        else
            echo(event->text());
    }

private:
    static constexpr QRect echoLine{600, 80, 80, 72};
    QFont small_, caption_, large_, keys_;
    QString echo_;
};

class FaceWindow : public BareWindow
{
public:
    FaceWindow() : BareWindow(new FacePage) {}
    FacePage *page() const { return static_cast<FacePage *>(centralWidget()); }
};

// The program's own font set-up, which the face window shares: its menu is in the
// proportional Gothic as the program's is.
inline void useProgramFonts()
{
    registerFontSubstitutions();
    setJapaneseApplicationFont();
}
