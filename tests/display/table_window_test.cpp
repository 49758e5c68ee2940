#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCategoryAxis>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QTableView>
#include <QTimer>
#include <QValueAxis>

#include "config/config_file.h"
#include "display/ui/captioned_frame.h"
#include "display/ui/graph_tip_window.h"
#include "display/ui/history_chart.h"
#include "display/ui/table_windows.h"
#include "display/ui/twips.h"
#include "tests/support/memory_profile.h"

namespace grainlink::test {
namespace {

HistoryRec Record(const char* time, float count, float iso, float flow)
{
    HistoryRec record;
    record.DateText = QStringLiteral("6 Dec 2026");
    record.TimeText = QString::fromLatin1(time);
    record.Counts = {0, count, count / 2, count / 4, count / 8, 0};
    record.IsoCodes = {0, iso, iso - 1, iso - 2, iso - 3, 0};
    record.LaserCurrent = 42;
    record.DiodePower = 2.456f;
    record.Temperature = -5;
    record.FlowIndex = flow;
    return record;
}

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
    QString cell(int unit, int row, int column)
    {
        const QAbstractItemModel* model = grid(unit)->model();
        return model->data(model->index(row - 1, column)).toString();
    }
    QStringList column(int unit, int column)
    {
        QStringList texts;
        for (int row = 1; row <= grid(unit)->model()->rowCount(); ++row)
            texts << cell(unit, row, column);
        return texts;
    }
    QList<qreal> plotted(int unit, int k)
    {
        QList<qreal> values;
        for (const QPointF& point : chart(unit)->series(k)->points()) values << point.y();
        return values;
    }
    // As the data log stores a record.
    void receive(int unit, const HistoryRec& record)
    {
        history.store(unit, state.BufferSize, record);
        history.RefreshHistory(unit);
    }

    SharedState state;
    HistoryStore history;
    MemoryProfile profile;
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

TEST_F(TableWindowTest, CaptionsNameTheCodesViewDifferentlyAtCreationAndAfterTheCommand)
{
    EXPECT_EQ(window(2).objectName(), "frm_table2");
    EXPECT_EQ(window(2).windowTitle(), "QS2600 ISO Code data (2) Line 2");
    const std::pair<const char*, const char*> commands[] = {
        {"mnu_codes", "QS2600 Code data (2) Line 2"},
        {"mnu_counts", "QS2600 Count data (2) Line 2"},
        {"mnu_diagnostics", "QS2600 Diagnostic data (2) Line 2"},
    };
    for (const auto& [name, caption] : commands) {
        command(2, name);
        EXPECT_EQ(window(2).windowTitle(), caption);
    }
    EXPECT_EQ(window(1).windowTitle(), "QS2600 ISO Code data (1) Line 1");

    history.setTableView(3, HistoryView::Counts);
    EXPECT_EQ(TableWindow(history, state, 3).windowTitle(), "QS2600 Count data (3) Line 3");
    history.setTableView(3, HistoryView::Diagnostics);
    EXPECT_EQ(TableWindow(history, state, 3).windowTitle(), "QS2600 Diagnostic data (3) Line 3");
}

TEST_F(TableWindowTest, EachViewNamesItsColumnsSeriesBoxesAndValueAxis)
{
    const struct {
        const char* command;
        QStringList headings;
        QStringList legend;
        QStringList boxes;
        const char* valueTitle;
    } views[] = {
        {"mnu_counts", {"Date", "Time", "4µm", "6µm", "14µm", "21µm"},
         {"4µm", "6µm", "14µm", "21µm"}, {"4µm", "6µm", "14µm", "21µm"}, "Cum. Cnts/mL"},
        {"mnu_diagnostics", {"Date", "Time", "Laser mA", "Diode VDC", "Temp °C", "Flow Index"},
         {"Laser current", "Diode Power", "Temperature", "Flow Index"},
         {"Laser", "Diode", "°C", "Flow"}, ""},
        {"mnu_codes", {"Date", "Time", "4µm", "6µm", "14µm", "21µm"},
         {"4µm", "6µm", "14µm", "21µm"}, {"4µm", "6µm", "14µm", "21µm"}, "Code"},
    };
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid(1));
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->text(QAccessible::Name), "grd_data");
    for (const auto& view : views) {
        SCOPED_TRACE(view.command);
        command(1, view.command);
        QStringList headings, legend, boxes, spoken;
        for (int c = 0; c < 6; ++c) {
            headings << grid(1)->model()->headerData(c, Qt::Horizontal).toString();
            spoken << table->tableInterface()->columnDescription(c);
        }
        for (int k = 1; k <= 4; ++k) {
            legend << chart(1)->series(k)->name();
            boxes << box(1, k - 1)->text();
        }
        EXPECT_EQ(headings, view.headings);
        EXPECT_EQ(spoken, view.headings);
        EXPECT_EQ(legend, view.legend);
        EXPECT_EQ(boxes, view.boxes);
        EXPECT_EQ(chart(1)->valueAxis()->titleText(), view.valueTitle);
        EXPECT_EQ(chart(1)->timeAxis()->titleText(), "Time");
    }
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                              QColor(255, 255, 0)};
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(chart(1)->series(k)->pen().color(), colours[k - 1]);
}

TEST_F(TableWindowTest, GridAndChartFillFromTheBottomInEachViewsFormat)
{
    receive(1, Record("08:00:00", 1234.5f, 16, 87));
    receive(1, Record("08:00:05", 12.3456f, 17.04f, 0.5f));
    receive(1, Record("08:00:10", -3, 18, 1));
    const QStringList empty(7, QString());

    EXPECT_EQ(column(1, 1), empty + QStringList({"08:00:00", "08:00:05", "08:00:10"}));
    EXPECT_EQ(column(1, 0), empty + QStringList(3, "6 Dec 2026"));
    EXPECT_EQ(column(1, 2), QStringList(7, "0.0") + QStringList({"16.0", "17.0", "18.0"}));
    EXPECT_EQ(chart(1)->timeLabels(), empty + QStringList({"08:00:00", "08:00:05", "08:00:10"}));
    EXPECT_EQ(plotted(1, 1), (QList<qreal>{0, 0, 0, 0, 0, 0, 0, 16, 17.04f, 18}));

    command(1, "mnu_counts");
    EXPECT_EQ(column(1, 2), QStringList(7, "0.00") + QStringList({"1234.50", "12.35", "-3.00"}));
    EXPECT_EQ(plotted(1, 1), (QList<qreal>{0, 0, 0, 0, 0, 0, 0, 1234.5, 12.3456f, -3}));
    EXPECT_LE(chart(1)->valueAxis()->min(), -3);
    EXPECT_GE(chart(1)->valueAxis()->max(), 1234.5);

    command(1, "mnu_diagnostics");
    EXPECT_EQ(column(1, 3).last(), "2.46");
    EXPECT_EQ(column(1, 5), QStringList(7, "0.0") + QStringList({"87.0", "0.5", "1.0"}));
    EXPECT_EQ(grid(1)->model()->data(grid(1)->model()->index(9, 5), Qt::TextAlignmentRole),
              QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(column(2, 1), QStringList(10, QString()));  // the other units are untouched
}

TEST_F(TableWindowTest, AnUntickedSeriesIsDrawnAtZeroWhileTheGridKeepsItsValues)
{
    EXPECT_TRUE(box(1, 0)->isChecked() && box(1, 3)->isChecked());
    receive(1, Record("08:00:00", 100, 16, 87));
    box(1, 2)->click();  // "14µm"
    EXPECT_EQ(plotted(1, 3), QList<qreal>(10, 0));
    EXPECT_EQ(plotted(1, 2).last(), 15);
    EXPECT_EQ(column(1, 4).last(), "14.0");
    EXPECT_EQ(chart(1)->chart()->series().size(), 4);
    EXPECT_EQ(chart(1)->series(3)->name(), "14µm");

    receive(1, Record("08:00:05", 100, 20, 87));
    EXPECT_EQ(plotted(1, 3), QList<qreal>(10, 0));
    box(1, 2)->click();
    EXPECT_EQ(plotted(1, 3).mid(8), (QList<qreal>{14, 18}));
}

TEST_F(TableWindowTest, ConfiguringAloneShowsOnlyHeadingsAndTheTimeColumnWidensOnce)
{
    const int defaultWidth = grid(1)->horizontalHeader()->defaultSectionSize();
    EXPECT_EQ(grid(1)->columnWidth(1), TwipsToPixels(defaultWidth * kTwipsPerPixel + 50));
    EXPECT_EQ(TwipsGeometry(grid(1)).width(), 6 * defaultWidth * kTwipsPerPixel + 450);
    receive(1, Record("08:00:00", 100, 16, 87));

    // The options dialog's new buffer size: headings only, no row moved.
    state.BufferSize = 20;
    history.ConfigureView(1, 20);
    EXPECT_EQ(grid(1)->model()->rowCount(), 20);
    EXPECT_EQ(column(1, 1), QStringList(20, QString()));
    EXPECT_EQ(column(1, 2), QStringList(20, QString()));
    EXPECT_EQ(grid(1)->model()->headerData(2, Qt::Horizontal).toString(), "4µm");
    EXPECT_EQ(chart(1)->series(1)->count(), 0);
    EXPECT_EQ(chart(1)->timeLabels().size(), 10);  // every second row of 20
    EXPECT_EQ(grid(1)->columnWidth(1), TwipsToPixels(defaultWidth * kTwipsPerPixel + 50));

    history.RefreshHistory(1);
    EXPECT_EQ(cell(1, 10, 1), "08:00:00");
    EXPECT_EQ(cell(1, 20, 1), "");
    EXPECT_EQ(chart(1)->timeLabels().at(4), "");  // row 9
    EXPECT_EQ(chart(1)->series(1)->count(), 20);

    state.BufferSize = 1000;
    history.ConfigureView(1, 1000);
    history.RefreshHistory(1);
    EXPECT_EQ(chart(1)->timeLabels(), QStringList(10, QString()));  // rows 1, 101, .. 901
    EXPECT_EQ(chart(1)->series(4)->count(), 1000);
}

TEST_F(TableWindowTest, ResizingFollowsTheLayoutRulesDownToTheMinimum)
{
    window(1).show();
    window(1).resize(267, 200);  // 4000 x 3000 twips
    EXPECT_EQ(window(1).size(), QSize(400, 400));

    window(1).resize(600, 600);  // 9000 x 9000 twips
    auto* frame = window(1).findChild<QWidget*>("frame_chart");
    EXPECT_EQ(TwipsGeometry(frame), QRect(200, 50, 8600, 8200));
    EXPECT_EQ(TwipsGeometry(chart(1)), QRect(50, 200, 8500, 5740));
    EXPECT_EQ(TwipsGeometry(window(1).findChild<QWidget*>("frame_graph_control")),
              QRect(1892, 5950, 4815, 615));
    const QRect grid = TwipsGeometry(this->grid(1));
    EXPECT_EQ(std::tuple(grid.top(), grid.height()), std::tuple(6615, 1485));
    EXPECT_EQ(grid.left(), (8600 - grid.width()) / 2);
}

TEST_F(TableWindowTest, FrameCaptionFollowsTheRecordsAndClosingOnlyHides)
{
    auto* frame = window(1).findChild<CaptionedFrame*>("frame_chart");
    EXPECT_EQ(frame->caption(), "Data last obtained at:");
    history.setFrameCaption(1, "Last data received at 6 Dec 2026 08:00:00");
    EXPECT_EQ(frame->caption(), "Last data received at 6 Dec 2026 08:00:00");

    for (int unit : {1, 2, 3}) window(unit).show();
    command(1, "mnu_close");
    EXPECT_FALSE(window(1).isVisible());
    window(2).close();
    EXPECT_FALSE(window(2).isVisible());
    window(2).show();
    command(3, "mnu_all");
    for (int unit = 1; unit <= 4; ++unit) EXPECT_FALSE(window(unit).isVisible()) << unit;
}

TEST_F(TableWindowTest, TheTipBoxWritesTheKeyAtEveryChangeAndTheFrameWritesNothing)
{
    {
        GraphTipWindow tip(config);
        EXPECT_EQ(tip.objectName(), "frm_graph_tip");
        EXPECT_EQ(tip.windowTitle(), "Tip of the Day");
        EXPECT_EQ(tip.findChild<QLabel*>("Label1")->text(), "Did you know...");
        EXPECT_TRUE(tip.findChild<QLabel*>("lblTipText")->text().startsWith("To change the"));
        tip.close();
        EXPECT_FALSE(profile.values.contains("Graph tip"));
    }
    GraphTipWindow tip(config);
    auto* dontShow = tip.findChild<QCheckBox*>("chk_dontshow");
    EXPECT_EQ(dontShow->text(), "Dont show again.");
    EXPECT_FALSE(dontShow->isChecked());
    dontShow->click();
    EXPECT_EQ(profile.values.value("Graph tip"), "1");
    dontShow->click();
    EXPECT_EQ(profile.values.value("Graph tip"), "0");
    tip.show();
    tip.findChild<QAbstractButton*>("cmdOK")->click();
    EXPECT_FALSE(tip.isVisible());
}

// Which graph commands show the tip first, by the stored key; the tip is answered with OK.
TEST_F(TableWindowTest, GraphCommandsShowTheTipByTheirOwnDefault)
{
    const struct {
        const char* key;  // nullptr: missing
        bool tipForOne;
        bool tipForAll;
    } cases[] = {{nullptr, true, false}, {"1", false, false}, {"0", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "missing");
        profile.values.remove("Graph tip");
        if (c.key) profile.values.insert("Graph tip", c.key);
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
        EXPECT_TRUE(window(3).isVisible());
        EXPECT_EQ(tipShown([&] { windows.showAllTableWindows(); }), c.tipForAll);
        for (int unit = 1; unit <= 2; ++unit) EXPECT_TRUE(window(unit).isVisible());
        EXPECT_FALSE(window(4).isVisible());
        windows.closeAll();
    }
}

}  // namespace
}  // namespace grainlink::test
