// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/unrollingpanel.h"

class QTreeWidget;

namespace rinkaro
{

class Platform;
class ScoreBook;

// The record table: each level's standard score and the user's best ordered and random
// scores. It unrolls over the drill area with a snapshot of the scores and is put away with
// its OK button.
class RecordTable : public UnrollingPanel
{
    Q_OBJECT
public:
    RecordTable(Platform &platform, QWidget *parent);

    void unroll(const ScoreBook &scores);

private:
    QTreeWidget *list_ = nullptr; // scoreList
};

} // namespace rinkaro
