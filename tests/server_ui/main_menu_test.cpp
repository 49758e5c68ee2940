#include "server/ui/main_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>

namespace grainlink::test {
namespace {

TEST(MainMenuTest, EachItemRunsItsCommand)
{
    QStringList calls;
    QMenuBar bar;
    MainMenu menu{&bar, MainMenuCommands{[&] { calls << "close"; }, [&] { calls << "logOn"; },
                                         [&] { calls << "logOff"; }, [&] { calls << "options"; },
                                         [&](int unit) { calls << QString("data %1").arg(unit); },
                                         [&](int unit) { calls << QString("graph %1").arg(unit); },
                                         [&] { calls << "allData"; }, [&] { calls << "allGraphs"; },
                                         [&] { calls << "tile"; }, [&] { calls << "help"; }}};
    for (const char* name :
         {"mnu_close", "mnu_login", "mnu_logoff", "mnu_options", "mnu_data(2)", "mnu_graph(4)",
          "mnu_all_data", "mnu_all_graphs", "mnu_tile", "mnu_help"}) {
        bar.findChild<QAction*>(name)->setEnabled(true);
        bar.findChild<QAction*>(name)->trigger();
    }
    EXPECT_EQ(calls, QStringList({"close", "logOn", "logOff", "options", "data 2", "graph 4",
                                  "allData", "allGraphs", "tile", "help"}));
}

}  // namespace
}  // namespace grainlink::test
