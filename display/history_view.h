#pragma once

#include "display/history_store.h"

#include <QString>

namespace grainlink {

// The texts and values that differ between the Counts, Codes and Diagnostics views of a table
// window, for its grid (columns 0..5) and its chart (series 1..4, which are columns 2..5).

inline constexpr int kHistoryColumns = 6;
inline constexpr int kHistorySeries = 4;

// "Date", "Time", then the size names or the diagnostic names.
QString ColumnHeading(HistoryView view, int column);
// Decimals of a value column (2..5): "0.00" or "0.0".
int ColumnDecimals(HistoryView view, int column);
// The value of series 1..4 (grid column series + 1) in a row.
float SeriesValue(const HistoryRec& row, HistoryView view, int series);

QString LegendText(HistoryView view, int series);
// Caption of the check box chk_graph_control(series - 1).
QString SeriesBoxCaption(HistoryView view, int series);
QString ValueAxisTitle(HistoryView view);

// Rows between two time labels: BufferSize / 10, to the nearest integer with ties to even
// (10 gives 1, 25 gives 2, 35 gives 4), at least 1.
int TimeLabelInterval(int bufferSize);

// The window caption, HardwareName + middle + UnitName. A window just created names the Codes
// view " ISO Code data (n) ", the Codes command " Code data (n) ".
enum class CaptionMoment { Creation, ViewCommand };
QString TableWindowCaption(const QString& hardwareName, int unit, const QString& unitName,
                           HistoryView view, CaptionMoment moment);

}  // namespace grainlink
