// The main window's communications panel as the user reads it.
#include "server/ui/server_window.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

class ServerWindowTest : public ::testing::Test {
protected:
    ServerWindowTest()
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    CommsPanel panel;
    ServerWindow window{panel};
};

// A record ends in CR LF; the end of the line is not an extra, empty line of the box.
TEST_F(ServerWindowTest, ARecordIsShownWithoutAnEmptyLineAfterIt)
{
    panel.setText(CommsControl::lbl_rx, 1, QStringLiteral(";A11001;A201;D400\r\n"));
    panel.setText(CommsControl::lbl_rx, 2, QStringLiteral(";A1\r\n;A2\r\n"));
    auto* rx = window.findChild<QPlainTextEdit*>(QStringLiteral("lbl_rx(1)"));
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->document()->blockCount(), 1);
    EXPECT_EQ(rx->document()->firstBlock().text(), u";A11001;A201;D400");
    // Line ends inside the text (records that ran into each other) still break the line.
    EXPECT_EQ(
        window.findChild<QPlainTextEdit*>(QStringLiteral("lbl_rx(2)"))->document()->blockCount(),
        2);
}

void ShowUnits(CommsPanel& panel, int units)
{
    for (int unit = 1; unit <= 4; ++unit) panel.setUnitShown(unit, unit <= units);
}

// The window ends below the last unit shown: after the unit count is lowered (Options), and when
// units were hidden before the window was first shown, as at start-up after a message box.
TEST(ServerWindowHeightTest, TheWindowEndsBelowTheLastUnitShown)
{
    CommsPanel twoUnits;
    ShowUnits(twoUnits, 2);
    ServerWindow fresh(twoUnits);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));

    CommsPanel panel;
    ShowUnits(panel, 3);
    ServerWindow lowered(panel);
    lowered.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&lowered));
    const int threeUnitHeight = lowered.height();
    ShowUnits(panel, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(lowered.height(), fresh.height());
    EXPECT_LT(lowered.height(), threeUnitHeight);

    CommsPanel startUp;
    ServerWindow hidden(startUp);
    QCoreApplication::processEvents();
    ShowUnits(startUp, 2);
    hidden.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hidden));
    EXPECT_EQ(hidden.height(), fresh.height());
}

// Four units in large print do not fit the screen: the window does, and its panel scrolls.
TEST(ServerWindowHeightTest, OnAScreenTooSmallForEveryUnitThePanelScrolls)
{
    CommsPanel panel;
    ServerWindow window(panel);
    const QRect screen = window.screen()->availableGeometry();
    QFont large = window.font();
    large.setPixelSize(screen.height() / 16);
    window.setFont(large);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_LE(window.frameGeometry().height(), screen.height());
    const QScrollBar* scroll = window.findChild<QScrollArea*>()->verticalScrollBar();
    EXPECT_TRUE(scroll->isVisible());
    EXPECT_GT(scroll->maximum(), 0);
}

}  // namespace
}  // namespace grainlink::test
