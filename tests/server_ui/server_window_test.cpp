#include "server/ui/server_window.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace grainlink {
namespace {

class ServerWindowTest : public ::testing::Test {
protected:
    ServerWindowTest()
        : window(panel, "GrainLink test",
                 UnitWindowCommands{[this](int unit) { shownUnits.push_back(unit); },
                                    [this] { ++showAllCount; }},
                 UnitWindowCommands{[this](int unit) { shownTables.push_back(unit); },
                                    [this] { ++showAllTablesCount; }})
    {
    }
    template <typename T>
    T* child(const QString& name)
    {
        return window.findChild<T*>(name);
    }

    CommsPanel panel;
    std::vector<int> shownUnits;
    int showAllCount = 0;
    std::vector<int> shownTables;
    int showAllTablesCount = 0;
    ServerWindow window;
};

TEST_F(ServerWindowTest, ShowsThePanelTextsUnderTheControlNames)
{
    panel.setText(CommsControl::frame_comms, 2, "Unit 2 Rx Data (Enabled)  Line 3");
    panel.setText(CommsControl::lbl_rx, 2, ";A10001\r\n");
    panel.setText(CommsControl::lbl_msg, 2, "Bad data at <b>x</b>");
    panel.setText(CommsControl::lbl_rx_cnt, 2, "7");

    EXPECT_EQ(window.objectName(), "frm_server");
    EXPECT_EQ(window.windowTitle(), "GrainLink test");
    EXPECT_EQ(child<QGroupBox>("frame_comms(2)")->title(), "Unit 2 Rx Data (Enabled)  Line 3");
    EXPECT_EQ(child<QPlainTextEdit>("lbl_rx(2)")->toPlainText(), ";A10001\n");
    EXPECT_EQ(child<QLabel>("lbl_msg(2)")->text(), "Bad data at <b>x</b>");
    EXPECT_EQ(child<QLabel>("lbl_msg(2)")->textFormat(), Qt::PlainText);
    EXPECT_EQ(child<QLabel>("lbl_rx_cnt(2)")->text(), "7");
    EXPECT_EQ(child<QLabel>("lbl_last_msg_time(1)")->text(), "HHMM");
    EXPECT_EQ(child<QLabel>("Label1(1)")->text(), "Last Rx Time :");
}

TEST_F(ServerWindowTest, UnitsBeyondTheUnitCountHideTheirFrameAndMenuItem)
{
    window.show();
    panel.setUnitShown(3, false);
    EXPECT_FALSE(child<QGroupBox>("frame_comms(3)")->isVisible());
    EXPECT_FALSE(child<QAction>("mnu_data(3)")->isVisible());
    EXPECT_FALSE(child<QAction>("mnu_graph(3)")->isVisible());
    EXPECT_TRUE(child<QAction>("mnu_data(2)")->isVisible());
    EXPECT_TRUE(child<QAction>("mnu_graph(2)")->isVisible());
}

TEST_F(ServerWindowTest, ViewMenuCommandsReachTheDataAndTableWindows)
{
    child<QAction>("mnu_data(3)")->trigger();
    child<QAction>("mnu_all_data")->trigger();
    child<QAction>("mnu_graph(2)")->trigger();
    child<QAction>("mnu_all_graphs")->trigger();
    EXPECT_EQ(shownUnits, std::vector<int>{3});
    EXPECT_EQ(showAllCount, 1);
    EXPECT_EQ(shownTables, std::vector<int>{2});
    EXPECT_EQ(showAllTablesCount, 1);

    QStringList view;
    for (QAction* item : child<QMenu>("mnu_view")->actions()) view << item->text();
    EXPECT_EQ(view, QStringList({"Raw Data", "Table / Graph", "Show All Raw Data",
                                 "Show All table / graphs"}));
    EXPECT_EQ(child<QAction>("mnu_graph(4)")->text(), "Unit 4 table / graph");
}

}  // namespace
}  // namespace grainlink
