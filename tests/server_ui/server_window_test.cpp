// The main window's communications panel as the user reads it.
#include "server/ui/server_window.h"

#include <QPlainTextEdit>
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
    EXPECT_EQ(window.findChild<QPlainTextEdit*>(QStringLiteral("lbl_rx(2)"))
                  ->document()
                  ->blockCount(),
              2);
}

}  // namespace
}  // namespace grainlink::test
