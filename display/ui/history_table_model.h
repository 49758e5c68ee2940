#pragma once

#include <QAbstractTableModel>

#include "display/history_store.h"

namespace grainlink {

// The grid of a unit's table window (grd_data) as a model over its history: one row per history
// row in store order (oldest first), the headings of the unit's view in the header row. Cells
// are formatted when shown, so a refresh costs one change signal, not a text per cell.
//
// It follows the grid's life: Configure sets the row count and headings and empties the cells;
// Refresh shows the rows as they are now, in the view the unit has now.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    HistoryTableModel(const HistoryStore& history, int unit, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The grid part of ConfigureView: the configured rows, the view's headings, empty cells.
    void Configure();
    // The grid part of RefreshHistory.
    void Refresh();

private:
    QString cellText(int row, int column) const;
    void announceAllCells();

    const HistoryStore& m_history;
    int m_unit;
    int m_rows = 0;
    bool m_filled = false;
    HistoryView m_headingView = HistoryView::Codes;
    HistoryView m_valueView = HistoryView::Codes;
};

}  // namespace grainlink
