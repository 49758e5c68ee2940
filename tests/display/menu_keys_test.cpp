// The unit windows' menus from the keyboard: Alt and the underlined letter open a menu, whose
// caption keeps its words.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "config/config_file.h"
#include "display/ui/data_windows.h"
#include "display/ui/table_windows.h"
#include "tests/support/keyboard.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

// The words of every menu and item on the bar, as shown (access keys only underline a letter).
QStringList Captions(const QMenuBar* bar)
{
    QStringList captions;
    for (const QAction* action : bar->findChildren<QAction*>())
        if (!action->text().isEmpty()) captions << QString(action->text()).remove(u'&');
    captions.sort();
    return captions;
}

// Alt with the letter opens the menu; Escape closes it again.
bool OpensWith(QMainWindow& window, Qt::Key letter, const char* menuName)
{
    auto* menu = window.findChild<QMenu*>(menuName);
    QTest::keyClick(&window, letter, Qt::AltModifier);
    const bool opened = menu->isVisible();
    if (opened) QTest::keyClick(menu, Qt::Key_Escape);
    return opened;
}

TEST(MenuKeysTest, TheUnitWindowsMenusOpenWithAltAndTheirLetter)
{
    SharedState state;
    state.AccessLevel = 2;  // the Display menu is shown
    ItemTables items;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    DataWindows data{items, state, config, messages, QStringLiteral("GRAINLINK")};
    ASSERT_TRUE(Activate(&data.window(1)));
    EXPECT_TRUE(OpensWith(data.window(1), Qt::Key_F, "mnu_file"));
    EXPECT_TRUE(OpensWith(data.window(1), Qt::Key_D, "mnu_display"));
    EXPECT_EQ(
        Captions(data.window(1).menuBar()),
        QStringList({"Advanced", "Close", "Close all", "Display", "File", "Standard", "Tile"}));

    HistoryStore history;
    history.ConfigureView(1, 10);
    TableWindows tables{history, state, config};
    ASSERT_TRUE(Activate(&tables.window(1)));
    EXPECT_TRUE(OpensWith(tables.window(1), Qt::Key_V, "mnu_view"));
    EXPECT_TRUE(OpensWith(tables.window(1), Qt::Key_F, "mnu_file"));
    EXPECT_EQ(Captions(tables.window(1).menuBar()),
              QStringList({"Close", "Close All", "Codes", "Counts", "Diagnostics", "File", "Tile",
                           "View"}));
}

}  // namespace
}  // namespace grainlink::test
