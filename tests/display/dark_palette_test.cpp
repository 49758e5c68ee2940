// The unit windows under the system palette: a light one keeps the designed colours, a dark one
// makes every text readable on what it stands on.
#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QTest>

#include "config/config_file.h"
#include "display/ui/data_windows.h"
#include "display/ui/error_message_window.h"
#include "display/ui/graph_tip_window.h"
#include "display/ui/history_chart.h"
#include "display/ui/table_windows.h"
#include "tests/support/palettes.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"
#include "widgets/captioned_frame.h"
#include "widgets/role_colours.h"

namespace grainlink::test {
namespace {

// What the widget is drawn on: its own fill, or that of the nearest widget under it that has one.
QColor BackgroundOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (widget->autoFillBackground() || widget->isWindow())
            return widget->palette().color(widget->backgroundRole());
    return {};
}

std::string Describe(const QWidget* widget, const QColor& text, const QColor& background)
{
    return (widget->objectName() + ": " + text.name() + " on " + background.name()).toStdString();
}

// Every text of the window that the user can see, as the contrast of its colour on its
// background; captions of frames included.
void ExpectReadable(const QWidget& window)
{
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(&window)) continue;
        const QColor text = label->palette().color(label->foregroundRole());
        const QColor background = BackgroundOf(label);
        EXPECT_GE(ContrastRatio(text, background), kTextContrast)
            << Describe(label, text, background);
    }
    for (const CaptionedFrame* frame : window.findChildren<CaptionedFrame*>()) {
        const QColor background = BackgroundOf(frame);
        EXPECT_GE(ContrastRatio(frame->captionColour(), background), kTextContrast)
            << Describe(frame, frame->captionColour(), background);
    }
    for (const QLineEdit* box : window.findChildren<QLineEdit*>()) {
        const QColor text = box->palette().color(QPalette::Text);
        const QColor background = box->palette().color(QPalette::Base);
        EXPECT_GE(ContrastRatio(text, background), kTextContrast)
            << Describe(box, text, background);
    }
}

void ExpectReadable(const HistoryChart& chart)
{
    const QColor background = chart.chart()->backgroundBrush().color();
    EXPECT_GE(ContrastRatio(chart.chart()->legend()->labelColor(), background), kTextContrast);
    for (const QAbstractAxis* axis : chart.chart()->axes()) {
        EXPECT_GE(ContrastRatio(axis->labelsColor(), background), kTextContrast);
        EXPECT_GE(ContrastRatio(axis->titleBrush().color(), background), kTextContrast);
    }
    for (int k = 1; k <= kHistorySeries; ++k)
        EXPECT_GE(ContrastRatio(chart.series(k)->pen().color(), background), kLineContrast) << k;
}

// The windows as the server makes them, once the system palette is in place.
struct UnitWindows {
    SharedState state;
    ItemTables items;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    HistoryStore history;
    bool configured = [this] {
        state.BufferSize = 10;
        history.ConfigureView(1, state.BufferSize);
        history.RefreshHistory(1);
        return true;
    }();
    DataWindows data{items, state, config, messages, QStringLiteral("GRAINLINK")};
    TableWindows tables{history, state, config};
    GraphTipWindow tip{config};
    ErrorMessageWindow notice;

    QLabel* label(const char* name) { return data.window(1).findChild<QLabel*>(name); }
};

TEST(DarkPaletteTest, EveryTextOfTheUnitWindowsIsReadable)
{
    for (const NamedPalette& dark : DarkPalettes()) {
        SCOPED_TRACE(dark.name);
        ScopedAppPalette system(dark.palette);
        UnitWindows windows;
        windows.state.AccessLevel = 2;
        windows.data.window(1).findChild<QAction*>("mnu_advanced")->trigger();
        // A status on red, the alarm flags on green, an edit in progress in the factor box.
        windows.items[1].setText(Item::status, QStringLiteral("Error"));
        windows.items[1].setColour(Item::status, kRed);
        windows.notice.showPortError({1, "/dev/ttyUSB0", "device lost", QDateTime()});
        ExpectReadable(windows.data.window(1));
        QTest::keyClick(windows.data.window(1).findChild<QLineEdit*>("txt_flow_factor"),
                        Qt::Key_Backspace);
        ExpectReadable(windows.data.window(1));
        ExpectReadable(windows.tables.window(1));
        ExpectReadable(*windows.tables.window(1).findChild<HistoryChart*>("chart_data"));
        ExpectReadable(windows.tip);
        ExpectReadable(windows.notice);
        // The signal colours stay.
        EXPECT_EQ(windows.label("status")->palette().color(QPalette::Window), QColor(255, 0, 0));
        EXPECT_EQ(windows.label("LaserLow")->palette().color(QPalette::Window), QColor(0, 255, 0));
    }
}

TEST(DarkPaletteTest, ALightPaletteKeepsTheDesignedColours)
{
    ScopedAppPalette system(QApplication::style()->standardPalette());
    UnitWindows windows;
    const QColor blue(0, 0, 255);
    EXPECT_EQ(
        windows.data.window(1).findChild<CaptionedFrame*>("frame_system_data")->captionColour(),
        blue);
    EXPECT_EQ(windows.label("lbl_counts_note")->palette().color(QPalette::WindowText), blue);
    EXPECT_EQ(windows.label("caption_SystemID")->palette().color(QPalette::WindowText),
              QColor(Qt::black));
    const QPalette value = windows.label("SystemID")->palette();
    EXPECT_EQ(std::pair(value.color(QPalette::Window), value.color(QPalette::WindowText)),
              std::pair(QColor(Qt::white), QColor(Qt::black)));
    EXPECT_EQ(windows.label("lbl_help")->palette().color(QPalette::Window), QColor(255, 255, 128));
    const auto* chart = windows.tables.window(1).findChild<HistoryChart*>("chart_data");
    EXPECT_EQ(chart->chart()->backgroundBrush().color(), QColor(Qt::white));
    EXPECT_EQ(chart->series(3)->pen().color(), blue);
    EXPECT_EQ(windows.tables.window(1).findChild<CaptionedFrame*>("frame_chart")->captionColour(),
              QColor(Qt::black));
}

}  // namespace
}  // namespace grainlink::test
