#include "display/ui/history_chart.h"

#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "platform/clock.h"
#include "widgets/role_colours.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

const QColor kSeriesColours[kHistorySeries] = {QColor(255, 0, 0), QColor(0, 255, 0),
                                               QColor(0, 0, 255), QColor(255, 255, 0)};
constexpr int kPenWidthTwips = 30;
constexpr int kTimeTitlePoints = 10;
constexpr int kValueTitlePoints = 8;
constexpr int kLabelPixels = 11;
// Pixels the axis keeps clear around a label's text, with some air between neighbours.
constexpr int kLabelSpacing = 14;
// The chart gives its axes only part of its height and cuts upright labels taller than that;
// they stand whole on a chart this many times as tall as a label and the axis title together.
constexpr double kUprightChartHeights = 4.5;
constexpr int kChartMargin = 4;
// Axis and grid lines are the text colour faded into the background, as faint as the light
// chart's own.
constexpr double kAxisLineShare = 0.16;
constexpr double kGridLineShare = 0.11;

// The axis wants a distinct label per category, but empty rows share the empty time and a
// time of day can come back; an invisible suffix, one longer per label, keeps them apart.
constexpr QChar kInvisible(0x200B);

QString Distinct(const QString& text, int category)
{
    return text + QString(category + 1, kInvisible);
}

QFont TitleFont(int points)
{
    QFont font;
    font.setPointSize(points);
    return font;
}

QColor Faded(const QColor& colour, const QColor& background, double share)
{
    const auto mix = [share](int from, int to) {
        return static_cast<int>(std::lround(to + (from - to) * share));
    };
    return QColor(mix(colour.red(), background.red()), mix(colour.green(), background.green()),
                  mix(colour.blue(), background.blue()));
}

}  // namespace

HistoryChart::HistoryChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("chart_data"));
    setAccessibleName(objectName());
    setRenderHint(QPainter::Antialiasing);

    QChart* chart = this->chart();
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(true);

    m_timeAxis = new QCategoryAxis(chart);
    m_timeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_timeAxis->setTitleText(QStringLiteral("Time"));
    m_timeAxis->setTitleFont(TitleFont(kTimeTitlePoints));
    QFont labels = m_timeAxis->labelsFont();
    labels.setPixelSize(kLabelPixels);
    m_timeAxis->setLabelsFont(labels);
    const QFontMetrics labelMetrics(labels);
    const int labelWidth = labelMetrics.horizontalAdvance(TimeText(QTime(23, 58, 58)));
    m_labelRoom = labelWidth + kLabelSpacing;
    m_uprightLabelRoom = labelMetrics.height() + kLabelSpacing;
    m_uprightChartHeight = static_cast<int>(
        kUprightChartHeights * (labelWidth + QFontMetrics(m_timeAxis->titleFont()).height()));
    // The newest row's label is centred on the plot's right edge, half of it beyond the plot.
    chart->setMargins(
        QMargins(kChartMargin, kChartMargin, kChartMargin + (labelWidth + 1) / 2, kChartMargin));
    m_valueAxis = new QValueAxis(chart);
    m_valueAxis->setTitleFont(TitleFont(kValueTitlePoints));
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_valueAxis, Qt::AlignLeft);

    const QPalette palette = QGuiApplication::palette();
    for (int k = 0; k < kHistorySeries; ++k) {
        auto* series = new QLineSeries(chart);
        series->setPen(
            QPen(ChartLineColour(kSeriesColours[k], palette), TwipsToPixels(kPenWidthTwips)));
        chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
        m_series[k] = series;
    }
    ApplyColours(ColoursFor(ColourRole::Chart, palette));
    connect(chart, &QChart::plotAreaChanged, this, &HistoryChart::FitTimeLabels);
}

void HistoryChart::ApplyColours(const RoleColours& colours)
{
    QChart* chart = this->chart();
    setBackgroundBrush(colours.background);
    chart->setBackgroundBrush(colours.background);
    chart->legend()->setLabelColor(colours.text);
    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{m_timeAxis, m_valueAxis}) {
        axis->setLabelsColor(colours.text);
        axis->setTitleBrush(colours.text);
        axis->setLinePenColor(Faded(colours.text, colours.background, kAxisLineShare));
        axis->setGridLineColor(Faded(colours.text, colours.background, kGridLineShare));
    }
}

void HistoryChart::FitTimeLabels(const QRectF& plotArea)
{
    if (m_rows < 1 || plotArea.width() <= 0) return;  // not laid out yet
    // The axis gives each label an equal share of its width, one share more than it has labels,
    // and cuts a label that does not fit its share.
    const auto fits = [&](int stride, int room) {
        const int labels = (m_rows - 1) / stride + 1;
        return plotArea.width() / (labels + 1) >= room;
    };
    // Every BufferSize/10-th row side by side when they fit; else upright when the chart is tall
    // enough for that; else side by side, leaving out as many as it takes.
    int angle = 0;
    int stride = m_labelInterval;
    if (!fits(stride, m_labelRoom)) {
        if (height() >= m_uprightChartHeight && fits(stride, m_uprightLabelRoom)) {
            angle = -90;
        } else {
            while (stride < m_rows && !fits(stride, m_labelRoom)) stride += m_labelInterval;
            if (!fits(stride, m_labelRoom)) stride = 0;
        }
    }
    if (m_timeAxis->labelsAngle() != angle) {
        m_timeAxis->setLabelsAngle(angle);
        chart()->layout()->invalidate();  // the axis takes its height from its labels
    }
    if (stride == m_labelStride) return;
    m_labelStride = stride;
    BuildTimeLabels();
}

void HistoryChart::BuildTimeLabels()
{
    for (const QString& label : m_timeAxis->categoriesLabels()) m_timeAxis->remove(label);
    if (m_labelStride < 1) return;
    for (int row = FirstLabelledRow(), category = 0; row <= m_rows;
         row += m_labelStride, ++category)
        m_timeAxis->append(Distinct(m_rowTimes.value(row - 1), category), row);
}

int HistoryChart::FirstLabelledRow() const
{
    // Every BufferSize/10-th row from the oldest; when fewer are labelled, the newest keeps its
    // label, as it is the one an operator looks for.
    if (m_labelStride < 1 || m_labelStride == m_labelInterval) return 1;
    return 1 + (m_rows - 1) % m_labelStride;
}

void HistoryChart::Configure(HistoryView view, int rows)
{
    for (int k = 1; k <= kHistorySeries; ++k) {
        series(k)->setName(LegendText(view, k));
        series(k)->clear();
    }
    m_valueAxis->setTitleText(ValueAxisTitle(view));
    m_valueAxis->setRange(0, 1);

    m_rows = rows;
    m_rowTimes = QStringList(rows);
    m_labelInterval = TimeLabelInterval(rows);
    m_labelStride = m_labelInterval;
    m_timeAxis->setStartValue(0);
    BuildTimeLabels();
    m_timeAxis->setRange(1, std::max(rows, 2));
    m_anyTimeLabel = false;
    FitTimeLabels(chart()->plotArea());
}

void HistoryChart::Refresh(const HistoryStore& history, int unit, HistoryView view,
                           const std::array<bool, kHistorySeries>& plotted)
{
    std::array<QList<QPointF>, kHistorySeries> points;
    float low = 0;
    float high = 0;
    for (int k = 0; k < kHistorySeries; ++k) points[k].reserve(m_rows);
    for (int row = 1; row <= m_rows; ++row) {
        const HistoryRec& record = history.row(unit, row);
        m_rowTimes[row - 1] = record.TimeText;
        const bool held = HoldsRecord(record);
        for (int k = 0; k < kHistorySeries; ++k) {
            if (plotted[k] && !held) continue;
            const float value = plotted[k] ? SeriesValue(record, view, k + 1) : 0.0f;
            low = std::min(low, value);
            high = std::max(high, value);
            points[k].append(QPointF(row, value));
        }
    }
    for (int k = 0; k < kHistorySeries; ++k) {
        m_series[k]->replace(points[k]);
        // A line needs two points: the first record is drawn as a dot.
        m_series[k]->setPointsVisible(points[k].size() == 1);
    }

    m_valueAxis->setRange(low, high > low ? high : low + 1);
    m_valueAxis->applyNiceNumbers();

    const QStringList labels = m_timeAxis->categoriesLabels();
    bool anyLabel = false;
    for (int category = 0; category < labels.size(); ++category) {
        const QString& time = m_rowTimes.at(FirstLabelledRow() - 1 + category * m_labelStride);
        anyLabel = anyLabel || !time.isEmpty();
        const QString label = Distinct(time, category);
        if (label != labels[category]) m_timeAxis->replaceLabel(labels[category], label);
    }
    // The axis takes its height from its labels when the chart is laid out, which labels
    // changing alone does not do; without it the first times would be cut to "...".
    if (std::exchange(m_anyTimeLabel, anyLabel) != anyLabel) chart()->layout()->invalidate();
}

QStringList HistoryChart::timeLabels() const
{
    QStringList labels = m_timeAxis->categoriesLabels();
    for (QString& label : labels) label.remove(kInvisible);
    return labels;
}

}  // namespace grainlink
