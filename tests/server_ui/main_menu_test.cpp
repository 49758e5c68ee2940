#include "server/ui/main_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace grainlink::test {
namespace {

// "name caption" of every item under the given actions, depth first, submenus indented.
QStringList Tree(const QList<QAction*>& actions, const QString& indent = {})
{
    QStringList items;
    for (const QAction* action : actions) {
        const QMenu* menu = action->menu();
        items << indent + (menu ? menu->objectName() : action->objectName()) + ' ' + action->text();
        if (menu) items << Tree(menu->actions(), indent + "  ");
    }
    return items;
}

class MainMenuTest : public ::testing::Test {
protected:
    QAction* item(const char* name) { return bar.findChild<QAction*>(name); }
    QMenu* menu(const char* name) { return bar.findChild<QMenu*>(name); }

    QStringList calls;
    QMenuBar bar;
    MainMenu mainMenu{
        &bar, MainMenuCommands{[this] { calls << "close"; }, [this] { calls << "logOn"; },
                               [this] { calls << "logOff"; }, [this] { calls << "options"; },
                               [this](int unit) { calls << QString("data %1").arg(unit); },
                               [this](int unit) { calls << QString("graph %1").arg(unit); },
                               [this] { calls << "allData"; }, [this] { calls << "allGraphs"; },
                               [this] { calls << "tile"; }, [this] { calls << "help"; }}};
};

TEST_F(MainMenuTest, HoldsTheWholeTreeInOrder)
{
    EXPECT_EQ(Tree(bar.actions()), (QStringList{"mnu_close Close",
                                                "mnu_security Security",
                                                "  mnu_login Log on",
                                                "  mnu_logoff Log off",
                                                "mnu_options Options",
                                                "mnu_view View",
                                                "  mnu_raw_data Raw Data",
                                                "    mnu_data(1) Unit 1 Raw Data",
                                                "    mnu_data(2) Unit 2 Raw Data",
                                                "    mnu_data(3) Unit 3 Raw Data",
                                                "    mnu_data(4) Unit 4 Raw Data",
                                                "  mnu_table_data Table / Graph",
                                                "    mnu_graph(1) Unit 1 table / graph",
                                                "    mnu_graph(2) Unit 2 table / graph",
                                                "    mnu_graph(3) Unit 3 table / graph",
                                                "    mnu_graph(4) Unit 4 table / graph",
                                                "  mnu_all_data Show All Raw Data",
                                                "  mnu_all_graphs Show All table / graphs",
                                                "  mnu_tile Tile All / Cascade All",
                                                "mnu_help Help"}));
}

TEST_F(MainMenuTest, StartsLockedAndShowsTheItemsOfConfiguredUnitsOnly)
{
    EXPECT_FALSE(item("mnu_close")->isEnabled());
    EXPECT_FALSE(item("mnu_options")->isEnabled());
    EXPECT_FALSE(menu("mnu_security")->menuAction()->isVisible());
    mainMenu.setCloseEnabled(true);
    mainMenu.setOptionsEnabled(true);
    mainMenu.setSecurityVisible(true);
    EXPECT_TRUE(item("mnu_close")->isEnabled() && item("mnu_options")->isEnabled());
    EXPECT_TRUE(menu("mnu_security")->menuAction()->isVisible());

    mainMenu.setUnitShown(3, false);
    EXPECT_FALSE(item("mnu_data(3)")->isVisible() || item("mnu_graph(3)")->isVisible());
    EXPECT_TRUE(item("mnu_data(2)")->isVisible());
}

TEST_F(MainMenuTest, EachItemRunsItsCommand)
{
    for (const char* name :
         {"mnu_close", "mnu_login", "mnu_logoff", "mnu_options", "mnu_data(2)", "mnu_graph(4)",
          "mnu_all_data", "mnu_all_graphs", "mnu_tile", "mnu_help"}) {
        item(name)->setEnabled(true);
        item(name)->trigger();
    }
    EXPECT_EQ(calls, (QStringList{"close", "logOn", "logOff", "options", "data 2", "graph 4",
                                  "allData", "allGraphs", "tile", "help"}));
}

TEST(MainMenuCommandsTest, ACommandNotConnectedDoesNothing)
{
    QMenuBar bar;
    MainMenu menu(&bar, MainMenuCommands{});
    bar.findChild<QAction*>("mnu_graph(1)")->trigger();
    bar.findChild<QAction*>("mnu_help")->trigger();
}

}  // namespace
}  // namespace grainlink::test
