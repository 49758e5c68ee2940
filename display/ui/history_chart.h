#pragma once

#include <QChartView>

#include <array>

#include "display/history_store.h"
#include "display/history_view.h"

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace grainlink {

struct RoleColours;

// chart_data: the line chart of a unit's table window, four series over history rows
// 1..BufferSize (the oldest on the left), the time of every BufferSize/10-th row under the axis.
// Rows that hold no record yet are not drawn, so a filling history never seems to fall to 0.
// A time label is always shown whole: where the plot is too narrow for all of them side by side,
// they stand upright when the chart is tall enough, and otherwise only every second (third, ...)
// one is shown. Its background and texts are those of a value box under the system palette
// (black on white under a light one), its lines the series colours, made lighter on a dark
// background.
// Built once; a refresh replaces each series' points in one call and renames the few time
// labels, so that the largest history redraws within a fraction of a tick.
class HistoryChart : public QChartView {
    Q_OBJECT

public:
    explicit HistoryChart(QWidget* parent = nullptr);

    // The chart part of ConfigureView: legend texts and axis titles for `view`, `rows` rows,
    // no points until the next refresh.
    void Configure(HistoryView view, int rows);
    // The chart part of RefreshHistory: series k plots its values on the rows that hold a record
    // when plotted[k - 1], and 0 on every row otherwise; the value scale follows what is plotted.
    void Refresh(const HistoryStore& history, int unit, HistoryView view,
                 const std::array<bool, kHistorySeries>& plotted);

    QLineSeries* series(int k) const { return m_series[k - 1]; }
    QCategoryAxis* timeAxis() const { return m_timeAxis; }
    QValueAxis* valueAxis() const { return m_valueAxis; }
    // The time labels from left to right, as the user reads them.
    QStringList timeLabels() const;

private:
    void ApplyColours(const RoleColours& colours);
    // Spreads the time labels out until each has room for its whole text on this plot.
    void FitTimeLabels(const QRectF& plotArea);
    // One category per labelled row, every m_labelStride rows, named by its time.
    void BuildTimeLabels();
    int FirstLabelledRow() const;

    std::array<QLineSeries*, kHistorySeries> m_series{};
    QCategoryAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
    int m_rows = 0;
    int m_labelInterval = 1;
    int m_labelStride = 1;         // 0: no label fits
    QStringList m_rowTimes;        // the time of rows 1..m_rows, as last refreshed
    int m_labelRoom = 0;           // pixels a label needs along the axis
    int m_uprightLabelRoom = 0;    // the same, standing upright
    int m_uprightChartHeight = 0;  // the chart's height from which upright labels stand whole
    bool m_anyTimeLabel = false;
};

}  // namespace grainlink
