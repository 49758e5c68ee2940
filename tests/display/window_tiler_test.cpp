#include "display/ui/window_tiler.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace grainlink::test {
namespace {

// Eight plain windows in the placement order over the offscreen screen. frm_data1 stays hidden,
// yet its size still makes the cells; a window the list does not hold counts as hidden.
TEST(WindowTilerTest, RestoresSizesTablesAndPlacesOnlyVisibleWindows)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_GE(screen.width(), 800);  // frm_data1's cells: at least four columns
    std::array<QWidget, kArrangedWindows> windows;
    UnitWindowList list{};
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        windows[slot].resize(200, 150);
        list[slot] = &windows[slot];
    }
    QWidget& data2 = windows[DataWindowSlot(2)];
    QWidget& table1 = windows[TableWindowSlot(1)];
    QWidget& table3 = windows[TableWindowSlot(3)];
    for (QWidget* shown : {&data2, &table1, &table3, &windows[TableWindowSlot(4)]}) {
        shown->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    }
    data2.showMinimized();
    table3.showMaximized();
    windows[TableWindowSlot(2)].setGeometry(10, 20, 50, 60);
    windows[TableWindowSlot(4)].move(300, 300);
    list[TableWindowSlot(4)] = nullptr;

    TileWindows(list);

    const QSize half = screen.size() / 2;
    for (QWidget* window : {&data2, &table1, &table3})
        EXPECT_EQ(window->windowState(), Qt::WindowNoState);
    EXPECT_EQ(std::tuple(table1.frameGeometry().size(), table3.frameGeometry().size()),
              std::tuple(half, half));
    EXPECT_EQ(table1.pos(), screen.topLeft());
    EXPECT_EQ(data2.pos(), screen.topLeft() + QPoint(half.width(), 0));
    // The rest of the row is narrower than a table: it starts the next row.
    EXPECT_EQ(table3.pos(), screen.topLeft() + QPoint(0, half.height()));
    EXPECT_EQ(windows[TableWindowSlot(2)].geometry(), QRect(10, 20, 50, 60));
    EXPECT_EQ(windows[TableWindowSlot(4)].pos(), QPoint(300, 300));
}

}  // namespace
}  // namespace grainlink::test
