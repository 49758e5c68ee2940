#include "display/history_view.h"

#include <stdexcept>

namespace grainlink {
namespace {

const char* const kSizeNames[] = {"4\u00B5m", "6\u00B5m", "14\u00B5m", "21\u00B5m"};

int SeriesIndex(int series)
{
    if (series < 1 || series > kHistorySeries) throw std::out_of_range("series outside 1..4");
    return series - 1;
}

}  // namespace

QString ColumnHeading(HistoryView view, int column)
{
    static const char* const kDiagnostics[] = {"Laser mA", "Diode VDC", "Temp \u00B0C",
                                               "Flow Index"};
    if (column == 0) return QStringLiteral("Date");
    if (column == 1) return QStringLiteral("Time");
    const int index = SeriesIndex(column - 1);
    return QString::fromUtf8(view == HistoryView::Diagnostics ? kDiagnostics[index]
                                                              : kSizeNames[index]);
}

int ColumnDecimals(HistoryView view, int column)
{
    const int index = SeriesIndex(column - 1);
    switch (view) {
    case HistoryView::Counts: return 2;
    case HistoryView::Codes: return 1;
    case HistoryView::Diagnostics: return index == 3 ? 1 : 2;
    }
    return 2;
}

float SeriesValue(const HistoryRec& row, HistoryView view, int series)
{
    const int index = SeriesIndex(series);
    switch (view) {
    case HistoryView::Counts: return row.Counts[series];
    case HistoryView::Codes: return row.IsoCodes[series];
    case HistoryView::Diagnostics: {
        const float values[] = {row.LaserCurrent, row.DiodePower, row.Temperature, row.FlowIndex};
        return values[index];
    }
    }
    return 0;
}

QString LegendText(HistoryView view, int series)
{
    static const char* const kDiagnostics[] = {"Laser current", "Diode Power", "Temperature",
                                               "Flow Index"};
    const int index = SeriesIndex(series);
    return QString::fromUtf8(view == HistoryView::Diagnostics ? kDiagnostics[index]
                                                              : kSizeNames[index]);
}

QString SeriesBoxCaption(HistoryView view, int series)
{
    static const char* const kDiagnostics[] = {"Laser", "Diode", "\u00B0C", "Flow"};
    const int index = SeriesIndex(series);
    return QString::fromUtf8(view == HistoryView::Diagnostics ? kDiagnostics[index]
                                                              : kSizeNames[index]);
}

QString ValueAxisTitle(HistoryView view)
{
    switch (view) {
    case HistoryView::Counts: return QStringLiteral("Cum. Cnts/mL");
    case HistoryView::Codes: return QStringLiteral("Code");
    case HistoryView::Diagnostics: return {};
    }
    return {};
}

int TimeLabelInterval(int bufferSize)
{
    int interval = bufferSize / 10;
    const int rest = bufferSize % 10;
    if (rest > 5 || (rest == 5 && interval % 2 != 0)) ++interval;
    return interval < 1 ? 1 : interval;
}

QString TableWindowCaption(const QString& hardwareName, int unit, const QString& unitName,
                           HistoryView view, CaptionMoment moment)
{
    QString middle;
    switch (view) {
    case HistoryView::Counts: middle = QStringLiteral(" Count data (%1) "); break;
    case HistoryView::Codes:
        middle = moment == CaptionMoment::Creation ? QStringLiteral(" ISO Code data (%1) ")
                                                   : QStringLiteral(" Code data (%1) ");
        break;
    case HistoryView::Diagnostics: middle = QStringLiteral(" Diagnostic data (%1) "); break;
    }
    return hardwareName + middle.arg(unit) + unitName;
}

}  // namespace grainlink
