// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/progressstats.h"

#include <QAbstractTableModel>
#include <QTableView>

#include <array>
#include <vector>

namespace rinkaro
{

// The runs of one level or of all levels as rows (date, level, order, time, errors, score,
// speed, accuracy, record, and whether the run counts), sortable by any column; the newest
// first until sorted otherwise. The rows are indices into the history, so that a million runs
// cost four megabytes. The last column's tick leaves a run out of the figures or takes it
// back.
class RunTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Date,
        Level,
        Order,
        Time,
        Errors,
        Score,
        Speed,
        Accuracy,
        Record,
        Counted,
        Columns
    };

    using QAbstractTableModel::QAbstractTableModel;
    // `stats` must outlive what is shown. Level 0: every level.
    void showRuns(const ProgressStats &stats, int level);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

signals:
    // The learner unticked (or ticked again) the run that ended then, of that level.
    void leftOutToggled(qint64 endedMs, int level, bool leftOut);

private:
    void sortRows();

    const ProgressStats *stats_ = nullptr;
    std::vector<int> rows_;
    int sortColumn_ = Date;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

// The table's view: fixed row heights and column widths, so that it opens on any number of
// runs at once.
class RunTable : public QTableView
{
    Q_OBJECT
public:
    explicit RunTable(QWidget *parent = nullptr);
    RunTableModel *runs() const { return model_; }
    // The width that shows every column not hidden, with room for the vertical scroll bar.
    int widthForAllColumns() const;

private:
    RunTableModel *model_ = nullptr;
    // Each column's width for its widest text; the last one stretches past it.
    std::array<int, RunTableModel::Columns> widths_{};
};

} // namespace rinkaro
