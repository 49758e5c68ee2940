#pragma once

#include <QMainWindow>

#include <array>

#include "display/history_store.h"
#include "display/history_view.h"

class QCheckBox;
class QTableView;

namespace grainlink {

class CaptionedFrame;
class HistoryChart;
class HistoryTableModel;
struct SharedState;

// frm_table<n>: a unit's history as a chart over a grid, in the Counts, Codes or Diagnostics
// view, a thin view over the unit's part of the history store: whatever ConfigureView and
// RefreshHistory do there shows here. It is created hidden once the configuration is loaded
// and never destroyed: closing only hides it. Its layout follows its size, in twips, and it
// never gets smaller than 6000 x 6000 twips, its frame included.
class TableWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 9690;
    static constexpr int kClientHeightTwips = 7845;
    static constexpr int kMinimumTwips = 6000;

    TableWindow(HistoryStore& history, const SharedState& state, int unit,
                QWidget* parent = nullptr);

    int unit() const { return m_unit; }
    // The Counts, Codes and Diagnostics commands.
    void ViewCommand(HistoryView view);

signals:
    // The Close All command, which concerns every table window.
    void closeAllRequested();
    // The Tile command, which arranges every unit window.
    void tileRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    void BuildSeriesBoxes();
    void OnViewConfigured();
    void OnRefreshed();
    void ApplyLayout();
    void KeepOuterMinimum();

    HistoryStore& m_history;
    const SharedState& m_state;
    const int m_unit;
    CaptionedFrame* m_frameChart = nullptr;
    HistoryChart* m_chart = nullptr;
    CaptionedFrame* m_graphControl = nullptr;
    std::array<QCheckBox*, kHistorySeries> m_seriesBoxes{};
    QTableView* m_grid = nullptr;
    HistoryTableModel* m_model = nullptr;
    int m_gridWidthTwips = 0;
};

}  // namespace grainlink
