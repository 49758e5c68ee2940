#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include "config/config_file.h"
#include "display/ui/graph_tip_window.h"
#include "display/ui/history_chart.h"
#include "display/ui/table_windows.h"
#include "platform/clock.h"
#include "tests/support/recording_profile.h"
#include "widgets/captioned_frame.h"

namespace grainlink::test {
namespace {

// The four table windows over a history set up as start-up does (ten rows, all in the Codes
// view), with an in-memory INI file for the graph tip.
class TableWindowTest : public ::testing::Test {
protected:
    TableWindow& window(int unit) { return windows.window(unit); }
    QTableView* grid(int unit) { return window(unit).findChild<QTableView*>("grd_data"); }
    HistoryChart* chart(int unit) { return window(unit).findChild<HistoryChart*>("chart_data"); }
    QCheckBox* box(int unit, int k)
    {
        return window(unit).findChild<QCheckBox*>(QStringLiteral("chk_graph_control(%1)").arg(k));
    }
    void command(int unit, const char* name) { window(unit).findChild<QAction*>(name)->trigger(); }
    QStringList column(int unit, int column)
    {
        const QAbstractItemModel* model = grid(unit)->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->data(model->index(row, column)).toString();
        return texts;
    }
    QList<qreal> plotted(int unit, int k)
    {
        QList<qreal> values;
        for (const QPointF& point : chart(unit)->series(k)->points()) values << point.y();
        return values;
    }
    // The time labels under the chart as drawn, each checked to lie inside the chart.
    QStringList drawnTimeLabels(int unit)
    {
        QStringList texts;
        const QRectF view = chart(unit)->rect();
        for (const QGraphicsItem* item : chart(unit)->scene()->items()) {
            const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            if (!text || !text->isVisible() || !text->toPlainText().contains(':')) continue;
            texts << text->toPlainText().remove(QChar(0x200B));
            EXPECT_TRUE(view.contains(text->sceneBoundingRect())) << texts.last().toStdString();
        }
        return texts;
    }
    // A record for unit 1, stored as the data log stores it: the counts and codes halve and step
    // down from the first size to the next.
    void receive(const char* time, float count, float iso, float flow)
    {
        HistoryRec record;
        record.DateText = QStringLiteral("6 Dec 2026");
        record.TimeText = QString::fromLatin1(time);
        record.Counts = {0, count, count / 2, count / 4, count / 8, 0};
        record.IsoCodes = {0, iso, iso - 1, iso - 2, iso - 3, 0};
        record.DiodePower = 2.456f;
        record.FlowIndex = flow;
        history.store(1, state.BufferSize, record);
        history.RefreshHistory(1);
    }

    SharedState state;
    HistoryStore history;
    RecordingProfile profile;
    ConfigFile config{profile};
    bool startedUp = [this] {
        state.HardwareName = QStringLiteral("QS2600");
        state.BufferSize = 10;
        state.NumUnits = 2;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            state.UnitName[unit] = QStringLiteral("Line %1").arg(unit);
            history.ConfigureView(unit, state.BufferSize);
            history.RefreshHistory(unit);
        }
        return true;
    }();
    TableWindows windows{history, state, config};
};

// The caption names the Codes view differently at creation and after its command; every part
// of the window takes the chosen view's texts, the grid's headings also for assistive technology.
TEST_F(TableWindowTest, EachViewNamesItsCaptionColumnsSeriesAndBoxes)
{
    EXPECT_EQ(window(1).windowTitle(), "QS2600 ISO Code data (1) Line 1");
    command(1, "mnu_codes");
    EXPECT_EQ(window(1).windowTitle(), "QS2600 Code data (1) Line 1");
    command(1, "mnu_diagnostics");
    EXPECT_EQ(window(1).windowTitle(), "QS2600 Diagnostic data (1) Line 1");
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(grid(1))->tableInterface();
    ASSERT_NE(table, nullptr);
    QStringList headings, spoken, legend, boxes;
    for (int c = 2; c < 6; ++c) {
        headings << grid(1)->model()->headerData(c, Qt::Horizontal).toString();
        spoken << table->columnDescription(c);
        legend << chart(1)->series(c - 1)->name();
        boxes << box(1, c - 2)->text();
    }
    EXPECT_EQ(headings, QStringList({"Laser mA", "Diode VDC", "Temp °C", "Flow Index"}));
    EXPECT_EQ(spoken, headings);
    EXPECT_EQ(legend, QStringList({"Laser current", "Diode Power", "Temperature", "Flow Index"}));
    EXPECT_EQ(boxes, QStringList({"Laser", "Diode", "°C", "Flow"}));
}

// Rows without a record are not drawn (nothing falls to 0 before the first record); an unticked
// series is drawn at 0 on every row, also after the next record, while the grid keeps its values.
TEST_F(TableWindowTest, GridAndChartFillFromTheBottomInEachViewsFormat)
{
    receive("08:00:00", 1234.5f, 16, 87);
    receive("08:00:05", 12.3456f, 17.04f, 0.5f);
    receive("08:00:10", -3, 18, 1);
    const QStringList empty(7, QString());
    EXPECT_EQ(column(1, 1), empty + QStringList({"08:00:00", "08:00:05", "08:00:10"}));
    EXPECT_EQ(column(1, 0), empty + QStringList(3, "6 Dec 2026"));
    EXPECT_EQ(column(1, 2), QStringList(7, "0.0") + QStringList({"16.0", "17.0", "18.0"}));
    EXPECT_EQ(chart(1)->timeLabels(), empty + QStringList({"08:00:00", "08:00:05", "08:00:10"}));
    EXPECT_EQ(chart(1)->series(1)->points(), (QList<QPointF>{{8, 16}, {9, 17.04f}, {10, 18}}));

    box(1, 2)->click();  // "14µm"
    receive("08:00:15", 100, 20, 1);
    EXPECT_EQ(plotted(1, 3), QList<qreal>(10, 0));
    EXPECT_EQ(column(1, 4).mid(8), QStringList({"16.0", "18.0"}));
    box(1, 2)->click();
    EXPECT_EQ(plotted(1, 3), (QList<qreal>{14, 17.04f - 2, 16, 18}));

    command(1, "mnu_counts");
    EXPECT_EQ(column(1, 2).mid(5), QStringList({"0.00", "1234.50", "12.35", "-3.00", "100.00"}));
    EXPECT_EQ(plotted(1, 1), (QList<qreal>{1234.5, 12.3456f, -3, 100}));
    EXPECT_LE(chart(1)->valueAxis()->min(), -3);
    EXPECT_GE(chart(1)->valueAxis()->max(), 1234.5);
    command(1, "mnu_diagnostics");
    EXPECT_EQ(column(1, 3).last(), "2.46");
    EXPECT_EQ(column(1, 5).mid(5), QStringList({"0.0", "87.0", "0.5", "1.0", "1.0"}));
}

// A new buffer size (the options dialog) shows the headings only, until the next refresh shows
// the rows where they were; the Time column is widened once per run, not at every set-up. At the
// largest size the newest record is the last row.
TEST_F(TableWindowTest, ConfiguringAloneShowsOnlyHeadingsAndTheTimeColumnWidensOnce)
{
    const int timeWidth = grid(1)->columnWidth(1);
    EXPECT_GT(timeWidth, grid(1)->columnWidth(0));
    receive("08:00:00", 100, 16, 87);

    state.BufferSize = 1000;
    history.ConfigureView(1, 1000);
    EXPECT_EQ(column(1, 1) + column(1, 2), QStringList(2000, QString()));
    EXPECT_EQ(chart(1)->series(1)->count(), 0);
    EXPECT_EQ(chart(1)->timeLabels().size(), 10);  // every hundredth row of 1000
    EXPECT_EQ(grid(1)->columnWidth(1), timeWidth);

    history.RefreshHistory(1);
    EXPECT_EQ(column(1, 1), QStringList(9, "") + QStringList("08:00:00") + QStringList(990, ""));
    EXPECT_EQ(chart(1)->series(1)->points(), QList<QPointF>({{10, 16}}));
    EXPECT_TRUE(chart(1)->series(1)->pointsVisible());  // a lone record: a dot, not a line
    receive("08:00:05", 100, 17, 87);
    EXPECT_EQ(column(1, 1).mid(997), QStringList({"", "", "08:00:05"}));
    EXPECT_EQ(chart(1)->series(1)->points().last(), QPointF(1000, 17));
}

// Never below its minimum, frame included; the grid stays inside the chart frame, so no column
// is cut off.
TEST_F(TableWindowTest, ResizingKeepsTheGridWholeDownToTheMinimum)
{
    window(1).show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window(1)));
    window(1).resize(267, 200);  // 4000 x 3000 twips
    EXPECT_EQ(window(1).frameGeometry().size(), QSize(400, 400));
    auto* frame = window(1).findChild<QWidget*>("frame_chart");
    EXPECT_TRUE(frame->rect().contains(grid(1)->geometry()));
}

// Every time label drawn is whole and inside the chart, from the smallest window to a wide one:
// side by side or upright, all of every BufferSize/10-th row where there is room, and fewer
// rather than cut ones where there is not, the newest record's always among them.
TEST_F(TableWindowTest, EveryTimeLabelIsDrawnWholeAtAnySize)
{
    QStringList times;
    for (int second = 50; second < 60; ++second) {
        times << TimeText(QTime(21, 58, second));
        receive(times.last().toLatin1(), 100, 16, 87);
    }
    window(1).show();
    const struct {
        QSize size;
        int fewestLabels;
    } cases[] = {{{400, 400}, 2}, {{646, 544}, 10}, {{1024, 384}, 10}, {{2400, 700}, 10}};
    for (const auto& c : cases) {
        window(1).resize(c.size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(window(1).size().width());
        const QStringList drawn = drawnTimeLabels(1);
        EXPECT_GE(drawn.size(), c.fewestLabels);
        EXPECT_TRUE(drawn.contains(times.last()));
        for (const QString& label : drawn)
            EXPECT_TRUE(times.contains(label)) << label.toStdString();
    }
}

// The grid and its columns grow with the window beyond its design size, like the chart.
TEST_F(TableWindowTest, TheGridUsesTheWidthOfALargerWindow)
{
    window(1).show();
    const int designWidth = grid(1)->width();
    const int designColumn = grid(1)->columnWidth(2);
    window(1).resize(window(1).width() + 300, window(1).height());
    QCoreApplication::processEvents();
    EXPECT_EQ(grid(1)->width(), designWidth + 300);
    EXPECT_GE(grid(1)->columnWidth(2), designColumn + 300 / 6 - 1);
}

// The frame caption shows when the last record came; closing hides the window, never ends it.
TEST_F(TableWindowTest, FrameCaptionFollowsTheRecordsAndClosingOnlyHides)
{
    history.setFrameCaption(1, "Last data received at 6 Dec 2026 08:00:00");
    EXPECT_EQ(window(1).findChild<CaptionedFrame*>("frame_chart")->caption(),
              "Last data received at 6 Dec 2026 08:00:00");
    for (int unit : {1, 2, 3}) window(unit).show();
    command(1, "mnu_close");
    EXPECT_FALSE(window(1).isVisible());
    command(3, "mnu_all");
    for (int unit = 1; unit <= 4; ++unit) EXPECT_FALSE(window(unit).isVisible()) << unit;
}

// The tip's box writes the key at every change; closing the tip from its frame writes nothing.
// Which graph commands show the tip first depends on the stored key, with a default of its own.
TEST_F(TableWindowTest, GraphCommandsShowTheTipByTheStoredKey)
{
    GraphTipWindow(config).close();
    EXPECT_TRUE(profile.writes.isEmpty());
    GraphTipWindow tip(config);
    tip.findChild<QCheckBox*>("chk_dontshow")->click();
    tip.findChild<QCheckBox*>("chk_dontshow")->click();
    EXPECT_EQ(profile.writes, QStringList({"Options/Graph tip=1", "Options/Graph tip=0"}));

    const struct {
        const char* key;  // nullptr: missing
        bool tipForOne;
        bool tipForAll;
    } cases[] = {{nullptr, true, false}, {"1", false, false}, {"0", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "missing");
        profile.values.clear();
        if (c.key) profile.write("Options", "Graph tip", c.key);
        const auto tipShown = [](const std::function<void()>& graphCommand) {
            bool shown = false;
            QTimer::singleShot(0, [&] {
                if (QWidget* tip = QApplication::activeModalWidget()) {
                    shown = tip->objectName() == "frm_graph_tip";
                    tip->findChild<QAbstractButton*>("cmdOK")->click();
                }
            });
            graphCommand();
            QCoreApplication::processEvents();
            return shown;
        };
        EXPECT_EQ(tipShown([&] { windows.showTableWindow(3); }), c.tipForOne);
        EXPECT_EQ(tipShown([&] { windows.showAllTableWindows(); }), c.tipForAll);
        for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(window(unit).isVisible(), unit <= 3);
        windows.closeAll();
    }
}

}  // namespace
}  // namespace grainlink::test
