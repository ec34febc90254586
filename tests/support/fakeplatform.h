// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform.h"

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <random>
#include <vector>

namespace rinkaro
{

// The test double of the platform layer: a clock the test sets, a beep counter, scripted
// message-box answers, a record of every modal window shown, and a fixed random sequence.
class FakePlatform final : public Platform
{
public:
    struct MessageRecord {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    struct ModalRecord {
        QString title;
        QStringList labels; // "objectName=text" of every label, in creation order
    };

    quint32 ticks = 1000000;
    quint32 timeOfDay = 12345;
    int beeps = 0;
    std::deque<QMessageBox::StandardButton> answers; // default answer: the first button
    std::vector<MessageRecord> messages;
    std::vector<ModalRecord> modals;
    std::function<void(QDialog *)> onModal;         // runs while the "modal" window is open
    std::deque<int> scriptedRandom;                 // used first, then the seeded engine
    std::vector<int> randomRanges;                  // the n of every random(n) call
    std::vector<std::pair<QWidget *, QRect>> steps; // geometry after each animation step
    bool recordSteps = false;
    bool readerListening = false; // no screen reader, as on the test machines
    quint32 seed = 0;
    bool seeded = false;

    quint32 tickCount() override { return ticks; }
    quint32 timeOfDayMs() override { return timeOfDay; }
    void beep() override { ++beeps; }

    QMessageBox::StandardButton messageBox(QWidget *, QMessageBox::Icon icon,
                                           const QString &caption, const QString &text,
                                           QMessageBox::StandardButtons buttons) override
    {
        messages.push_back({icon, caption, text, buttons});
        if (!answers.empty()) {
            const auto answer = answers.front();
            answers.pop_front();
            return answer;
        }
        for (int bit = 0; bit < 32; ++bit)
            if (buttons & (1u << bit))
                return QMessageBox::StandardButton(1u << bit);
        return QMessageBox::NoButton;
    }

    void showModal(QDialog *dialog) override
    {
        ModalRecord record{dialog->windowTitle(), {}};
        for (QLabel *label : dialog->findChildren<QLabel *>())
            record.labels << label->objectName() + "=" + label->text();
        modals.push_back(record);
        dialog->show();
        if (onModal)
            onModal(dialog);
        dialog->hide();
    }

    void seedRandom(quint32 s) override
    {
        seed = s;
        seeded = true;
        engine.seed(s);
    }
    int random(int n) override
    {
        randomRanges.push_back(n);
        if (n <= 0)
            return 0;
        if (!scriptedRandom.empty()) {
            const int value = scriptedRandom.front();
            scriptedRandom.pop_front();
            return value;
        }
        return std::uniform_int_distribution<int>(0, n - 1)(engine);
    }

    void animationStep(QWidget *widget, int) override
    {
        if (recordSteps)
            steps.emplace_back(widget, widget->geometry());
    }
    bool screenReaderListening() override { return readerListening; }

    // The geometry after each recorded animation step of one widget, and its heights.
    QList<QRect> stepsOf(const QWidget *widget) const
    {
        QList<QRect> geometries;
        for (const auto &[stepped, geometry] : steps)
            if (stepped == widget)
                geometries << geometry;
        return geometries;
    }
    QList<int> stepHeightsOf(const QWidget *widget) const
    {
        QList<int> heights;
        for (const QRect &geometry : stepsOf(widget))
            heights << geometry.height();
        return heights;
    }

    // The label texts of the last modal window, by object name.
    QString modalLabel(const QString &name) const
    {
        if (modals.empty())
            return {};
        for (const QString &entry : modals.back().labels)
            if (entry.startsWith(name + "="))
                return entry.mid(name.size() + 1);
        return {};
    }

    std::mt19937 engine{42};
};

} // namespace rinkaro
