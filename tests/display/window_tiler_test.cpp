#include "display/ui/window_tiler.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace grainlink::test {
namespace {

// Eight plain windows in the placement order over the offscreen screen, at 15 twips per pixel.
class WindowTilerTest : public ::testing::Test {
protected:
    WindowTilerTest()
    {
        for (int slot = 0; slot < kArrangedWindows; ++slot) {
            windows[slot].resize(200, 150);
            list[slot] = &windows[slot];
        }
    }
    QWidget& data(int unit) { return windows[DataWindowSlot(unit)]; }
    QWidget& table(int unit) { return windows[TableWindowSlot(unit)]; }
    static void Show(QWidget& window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    std::array<QWidget, kArrangedWindows> windows;
    UnitWindowList list{};
};

TEST_F(WindowTilerTest, RestoresSizesTablesAndPlacesOnlyVisibleWindows)
{
    ASSERT_GE(screen.width(), 800);  // frm_data1's cells: at least four columns
    // frm_data1 stays hidden and is never shown; its size still makes the cells.
    Show(data(2));
    data(2).showMinimized();
    Show(table(1));
    Show(table(3));
    table(3).showMaximized();
    table(2).setGeometry(10, 20, 50, 60);
    // A window the list does not hold counts as hidden.
    Show(table(4));
    table(4).move(300, 300);
    list[TableWindowSlot(4)] = nullptr;

    TileWindows(list);

    const QSize half = screen.size() / 2;
    for (QWidget* tableWindow : {&table(1), &table(3)}) {
        EXPECT_EQ(tableWindow->windowState(), Qt::WindowNoState);
        EXPECT_EQ(tableWindow->frameGeometry().size(), half);
    }
    EXPECT_EQ(data(2).windowState(), Qt::WindowNoState);
    EXPECT_EQ(table(1).pos(), screen.topLeft());
    EXPECT_EQ(data(2).pos(), screen.topLeft() + QPoint(half.width(), 0));
    // The rest of the row is narrower than a table: it starts the next row.
    EXPECT_EQ(table(3).pos(), screen.topLeft() + QPoint(0, half.height()));

    EXPECT_FALSE(data(1).isVisible());
    EXPECT_FALSE(table(2).isVisible());
    EXPECT_EQ(table(2).geometry(), QRect(10, 20, 50, 60));
    EXPECT_EQ(table(4).pos(), QPoint(300, 300));
}

}  // namespace
}  // namespace grainlink::test
