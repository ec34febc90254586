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
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setFont(small_);
        painter.drawText(QRect(696, 24, 89, 33), Qt::AlignCenter, QStringLiteral("スタート"));
        painter.setFont(caption_);
        painter.drawText(QRect(584, 0, 100, 17), Qt::AlignLeft, QStringLiteral("ヒントを表示"));
        painter.setFont(large_);
        painter.drawText(QRect(250, 24, 300, 72), Qt::AlignCenter, QStringLiteral("Level1"));
        painter.drawText(echoLine, Qt::AlignCenter, echo_);
        painter.setFont(keys_);
        const QString row = QStringLiteral("QWERTYUIOPASDFGHJKL;ZXCVBNM,./");
        for (int k = 0; k < int(row.size()); ++k)
            painter.drawText(QRect(40 + (k % 10) * 64, 140 + (k / 10) * 64, 64, 64),
                             Qt::AlignCenter, row.mid(k, 1));
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
