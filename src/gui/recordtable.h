// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class Platform;
class QPushButton;
class QTreeWidget;
class ScoreBook;

// The record table: each level's standard score and the user's best ordered and random
// scores. It unrolls over the drill area with a snapshot of the scores and is put away with
// its OK button.
class RecordTable : public QFrame
{
    Q_OBJECT
public:
    RecordTable(Platform &platform, QWidget *parent);

    void unroll(const ScoreBook &scores);
    // What OK does: the table rolls away.
    void rollUp();

signals:
    void closed();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    Platform &platform_;
    QTreeWidget *list_ = nullptr;     // scoreList
    QPushButton *okButton_ = nullptr; // Button3
};
