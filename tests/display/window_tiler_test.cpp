#include "display/ui/window_tiler.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <future>
#include <thread>

#include "config/config_file.h"
#include "display/ui/data_windows.h"
#include "display/ui/table_windows.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"
#include "widgets/window_frame.h"

namespace grainlink::test {
namespace {

// The suite runs on two screens, 1280 x 800 and 1600 x 1000, with framed windows.
QScreen& Screen(const char* name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name)) return *screen;
    throw std::runtime_error(std::string("no screen ") + name);
}

QRect OuterRect(const QWidget* window) { return window->frameGeometry(); }

// Plain windows in the placement order: only the visible ones are restored, sized and placed, by
// their frames; a window the list does not hold counts as hidden.
TEST(WindowTilerTest, RestoresSizesTablesAndPlacesOnlyVisibleWindows)
{
    const QRect screen = Screen("1600x1000").availableGeometry();
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

    TileWindows(list, Screen("1600x1000"));

    const QSize half = screen.size() / 2;
    for (QWidget* window : {&data2, &table1, &table3})
        EXPECT_EQ(window->windowState(), Qt::WindowNoState);
    EXPECT_EQ(OuterRect(&table1), QRect(screen.topLeft(), half));
    EXPECT_EQ(OuterRect(&data2).topLeft(), screen.topLeft() + QPoint(half.width(), 0));
    // The rest of the row is narrower than a table: it starts the next row.
    EXPECT_EQ(OuterRect(&table3), QRect(screen.topLeft() + QPoint(0, half.height()), half));
    EXPECT_EQ(windows[TableWindowSlot(2)].geometry(), QRect(10, 20, 50, 60));
    EXPECT_EQ(windows[TableWindowSlot(4)].pos(), QPoint(300, 300));
}

// Wakes the main thread's event loop once, from a thread of its own, after the given time unless
// it is destroyed before: a stand-in for the acquisition tick, late enough to tell a wait that
// wakes by itself from one that needs it.
class LateWake {
public:
    explicit LateWake(std::chrono::milliseconds after)
        : m_thread([this, after, dispatcher = QCoreApplication::eventDispatcher()] {
              if (m_stop.get_future().wait_for(after) == std::future_status::timeout)
                  dispatcher->wakeUp();
          })
    {
    }
    ~LateWake()
    {
        m_stop.set_value();
        m_thread.join();
    }
    LateWake(const LateWake&) = delete;
    LateWake& operator=(const LateWake&) = delete;

private:
    std::promise<void> m_stop;
    std::thread m_thread;
};

// A frameless window beside a framed one never has the frame the tiler waits for: the wait gives
// up after its two seconds with nothing else to wake the event loop.
TEST(WindowTilerTest, StopsWaitingForAFrameThatNeverComes)
{
    QWidget framed;
    QWidget frameless;
    frameless.setWindowFlag(Qt::FramelessWindowHint);
    for (QWidget* shown : {&framed, &frameless}) {
        shown->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    }
    ASSERT_TRUE(QTest::qWaitFor([&framed] { return WindowFrameKnown(&framed); }));
    ASSERT_FALSE(WindowFrameKnown(&frameless));
    UnitWindowList list{};
    list[TableWindowSlot(1)] = &frameless;

    const LateWake wake(std::chrono::seconds(8));
    QElapsedTimer elapsed;
    elapsed.start();
    TileWindows(list, Screen("1600x1000"));
    EXPECT_GE(elapsed.elapsed(), 2000);
    EXPECT_LT(elapsed.elapsed(), 5000);
}

// The unit windows of four units, as the main window's View commands show and tile them.
class UnitWindowTilingTest : public ::testing::Test {
protected:
    UnitWindowTilingTest()
    {
        state.NumUnits = 4;
        state.BufferSize = 10;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            history.ConfigureView(unit, state.BufferSize);
            list[DataWindowSlot(unit)] = &dataWindows.window(unit);
            list[TableWindowSlot(unit)] = &tableWindows.window(unit);
        }
    }

    // Tiles on the screen; every window shown is then wholly inside its available area. Tiled
    // windows do not overlap; cascaded ones show every title bar.
    void ExpectTiledInside(QScreen& screen, bool overlapAllowed)
    {
        TileWindows(list, screen);
        QCoreApplication::processEvents();
        const QRect area = screen.availableGeometry();
        std::vector<QRect> placed;
        for (QWidget* window : list) {
            if (!window->isVisible()) continue;
            const QRect outer = OuterRect(window);
            EXPECT_TRUE(area.contains(outer)) << window->objectName().toStdString() << " at "
                                              << outer.x() << ", " << outer.y() << " on "
                                              << screen.name().toStdString();
            for (const QRect& other : placed) {
                if (overlapAllowed)
                    EXPECT_GT(outer.top(), other.top()) << window->objectName().toStdString();
                else
                    EXPECT_FALSE(outer.intersects(other)) << window->objectName().toStdString();
            }
            placed.push_back(outer);
        }
    }

    SharedState state;
    ItemTables items;
    HistoryStore history;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    DataWindows dataWindows{items, state, config, messages, QStringLiteral("GRAINLINK")};
    TableWindows tableWindows{history, state, config};
    UnitWindowList list{};
};

// Eight windows fit neither screen side by side, as the data windows keep their size: they
// cascade within the screen. The four tables alone, or the four data windows alone on the
// larger screen, are tiled.
TEST_F(UnitWindowTilingTest, EveryWindowEndsInsideTheScreen)
{
    dataWindows.showAllDataWindows();
    tableWindows.showAllTableWindows();
    for (const char* screen : {"1280x800", "1600x1000"}) {
        SCOPED_TRACE(screen);
        ExpectTiledInside(Screen(screen), true);
    }

    dataWindows.closeAll();
    for (const char* screen : {"1280x800", "1600x1000"}) {
        SCOPED_TRACE(screen);
        ExpectTiledInside(Screen(screen), false);
    }

    tableWindows.closeAll();
    dataWindows.showAllDataWindows();
    ExpectTiledInside(Screen("1600x1000"), false);
    ExpectTiledInside(Screen("1280x800"), true);
}

}  // namespace
}  // namespace grainlink::test
