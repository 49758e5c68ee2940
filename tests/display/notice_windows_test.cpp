// The graph tip and the port error window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "config/config_file.h"
#include "display/ui/error_message_window.h"
#include "display/ui/graph_tip_window.h"
#include "platform/clock.h"
#include "tests/support/keyboard.h"
#include "tests/support/recording_profile.h"

namespace grainlink::test {
namespace {

const QDateTime kLost(QDate(2026, 12, 6), QTime(14, 3, 5));

QString Detail(const ErrorMessageWindow& window)
{
    return window.findChild<QLabel*>("lbl_detail")->text();
}

// However often the error comes, one window, which OK hides.
TEST(ErrorMessageWindowTest, RepeatedErrorsShowOneWindowWhichOkHides)
{
    ErrorMessageWindow window;
    const auto windows = QApplication::topLevelWidgets().size();
    for (int shown = 0; shown < 3; ++shown)
        window.showPortError({1, "/dev/ttyUSB0", "no such device", kLost});
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(TabOrder(&window), QStringList("OKBtn"));
    QTest::keyClick(window.findChild<QPushButton*>("OKBtn"), Qt::Key_Space);
    EXPECT_FALSE(window.isVisible());
}

// Under the fixed text, the latest error: which unit, which device, why and when; once that
// unit's port is open again, since when, also while the window is hidden. A recovery of another
// unit says nothing about the error shown.
TEST(ErrorMessageWindowTest, TheLineUnderTheTextTellsTheLatestErrorAndItsRecovery)
{
    ErrorMessageWindow window;
    const QString lost = GeneralDateText(kLost);
    window.showPortError({2, "/dev/ttyUSB1", "device lost", kLost});
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(),
              "Bad Port Number - Please Select a Valid Com Port");
    EXPECT_EQ(Detail(window), "Unit 2 on /dev/ttyUSB1, " + lost + ": device lost");

    window.portRecovered(1, kLost.addSecs(5));
    EXPECT_EQ(Detail(window), "Unit 2 on /dev/ttyUSB1, " + lost + ": device lost");
    window.hide();
    window.portRecovered(2, kLost.addSecs(10));
    EXPECT_FALSE(window.isVisible());
    const QString back = GeneralDateText(kLost.addSecs(10));
    EXPECT_EQ(Detail(window),
              "Unit 2 on /dev/ttyUSB1, " + lost + ": device lost - open again since " + back);
    EXPECT_EQ(window.findChild<QLabel*>("lbl_detail")->accessibleDescription(), Detail(window));

    window.showPortError({3, "", "no device for port number 12", kLost.addSecs(20)});
    EXPECT_EQ(Detail(window), "Unit 3 on no device, " + GeneralDateText(kLost.addSecs(20)) +
                                  ": no device for port number 12");
}

// A long device path and reason still fit the window, on as many lines as they need.
TEST(ErrorMessageWindowTest, ALongDetailFitsItsLabel)
{
    ErrorMessageWindow window;
    const QString device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    window.showPortError({4, device, "cannot open " + device + ": Permission denied", kLost});
    window.portRecovered(4, kLost.addSecs(3600));
    const QLabel* detail = window.findChild<QLabel*>("lbl_detail");
    const QRect needed = detail->fontMetrics().boundingRect(
        detail->contentsRect(), Qt::TextWordWrap | Qt::AlignHCenter, detail->text());
    EXPECT_LE(needed.height(), detail->contentsRect().height()) << needed.height();
    EXPECT_LT(detail->geometry().bottom(), window.findChild<QPushButton*>("OKBtn")->y());
}

// The tip's icon stands clear of "Did you know..."; the keyboard reaches the box, then OK.
TEST(GraphTipWindowTest, TheIconStandsClearOfTheHeadingAndTabGoesFromTheBoxToOk)
{
    RecordingProfile profile;
    ConfigFile config{profile};
    GraphTipWindow tip(config);
    const QLabel* icon = tip.findChild<QLabel*>("icon");
    const QLabel* heading = tip.findChild<QLabel*>("Label1");
    EXPECT_GE(heading->x() - (icon->geometry().right() + 1), 6);
    EXPECT_LE(heading->fontMetrics().horizontalAdvance(heading->text()), heading->width());
    EXPECT_EQ(TabOrder(&tip), QStringList({"chk_dontshow", "cmdOK"}));
}

}  // namespace
}  // namespace grainlink::test
