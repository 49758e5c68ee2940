#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "config/config_file.h"
#include "config/flow_factor.h"
#include "display/ui/data_windows.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

using Colours = std::pair<QColor, QColor>;  // box background, text
const Colours kEditing{Qt::blue, Qt::white};
const Colours kSaved{Qt::white, Qt::black};

// The four data windows over fresh item tables, an in-memory INI file and recorded messages.
class DataWindowTest : public ::testing::Test {
protected:
    DataWindow& window(int unit) { return windows.window(unit); }
    QLineEdit* box(int unit) { return window(unit).findChild<QLineEdit*>("txt_flow_factor"); }
    QLabel* label(int unit, Item item) { return window(unit).findChild<QLabel*>(ItemName(item)); }
    void command(int unit, const char* name) { window(unit).findChild<QAction*>(name)->trigger(); }
    // (De)activation as the window system delivers it, without depending on real focus.
    void send(int unit, QEvent::Type type = QEvent::WindowActivate)
    {
        QEvent event(type);
        QCoreApplication::sendEvent(&window(unit), &event);
    }
    // Empties the box with Backspace, types the keys and presses `end` (if any).
    void retype(int unit, const char* keys, Qt::Key end = Qt::Key_unknown)
    {
        QTest::keyClick(box(unit), Qt::Key_Backspace);
        QTest::keyClicks(box(unit), keys);
        if (end != Qt::Key_unknown) QTest::keyClick(box(unit), end);
    }
    static QByteArray Key(int unit) { return "FlowFactor" + QByteArray::number(unit); }
    QByteArray stored(int unit) { return profile.read("Options", Key(unit), "", 80); }
    void store(int unit, const char* factor) { profile.write("Options", Key(unit), factor); }
    Colours colours(int unit)
    {
        const QPalette palette = box(unit)->palette();
        return {palette.color(QPalette::Base), palette.color(QPalette::Text)};
    }

    SharedState state;
    ItemTables items;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    // As at start-up: the items hold the stored factors before the windows exist.
    bool factorsLoaded = [this] {
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            items[unit].setText(Item::txt_flow_factor, ReadFlowFactor(config, unit));
        return true;
    }();
    DataWindows windows{items, state, config, messages, QStringLiteral("GRAINLINK")};
};

// Backspace empties the box; digits and the point go to the end wherever the caret or selection
// is, up to the nine characters the setting gives back; no other key, not even an editing or
// paste shortcut, changes the text. Enter stores a numeric factor, and otherwise keeps the edit
// and says why, as it does when the factor cannot be saved. Box and item follow each other.
TEST_F(DataWindowTest, TheFactorIsRetypedFromEmptyAndStoredByEnter)
{
    items[2].setText(Item::txt_flow_factor, QStringLiteral("0.25"));
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.25"));
    retype(2, "0.5");
    EXPECT_EQ(colours(2), kEditing);
    box(2)->setCursorPosition(0);
    QTest::keyClicks(box(2), "1");
    box(2)->setSelection(0, 2);
    QTest::keyClicks(box(2), "x-e 7");
    QGuiApplication::clipboard()->setText(QStringLiteral("999"));
    box(2)->setCursorPosition(0);
    for (const char* keys : {"Ctrl+Del", "Ctrl+Z", "Ctrl+V", "Shift+Ins", "Del"})
        QTest::keySequence(box(2), QKeySequence(QString::fromLatin1(keys)));
    EXPECT_EQ(items[2].text(Item::txt_flow_factor), QStringLiteral("0.517"));
    EXPECT_EQ(stored(2), QByteArray());
    QTest::keyClick(box(2), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(std::tuple(stored(2), colours(2)), std::tuple(QByteArray("0.517"), kSaved));

    retype(2, "12345678901", Qt::Key_Return);
    send(2);
    EXPECT_EQ(std::tuple(stored(2), box(2)->text()), std::tuple("123456789", "123456789"));

    retype(2, ".", Qt::Key_Return);
    profile.failWrites = true;
    retype(2, "0.3", Qt::Key_Return);
    EXPECT_EQ(std::tuple(box(2)->text(), colours(2), stored(2)),
              std::tuple("0.3", kEditing, "123456789"));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("invalid data"));
    EXPECT_EQ(messages.messages[1].text, QStringLiteral("The flow factor could not be saved."));
}

// Advanced adds the raw frame, with the factor box, beside the others, and only a service user
// sees the menu that chooses; view and menu hold through the next activation. Tile asks for the
// arrangement of every window.
TEST_F(DataWindowTest, TheDisplayMenuTheViewsAndTheTileCommand)
{
    windows.showDataWindow(1);
    QWidget* client = window(1).centralWidget();
    QWidget* raw = window(1).findChild<QWidget*>("Frame_raw_sample_data");
    QWidget* sample = window(1).findChild<QWidget*>("frame_derived_sample_data");
    const int standardWidth = client->width();
    for (const char* view : {"mnu_advanced", "mnu_standard"}) {
        const bool advanced = view == std::string("mnu_advanced");
        command(1, view);
        for (int pass = 0; pass < 2; ++pass, send(1)) {
            EXPECT_EQ(std::tuple(raw->isVisible(), box(1)->isVisible()),
                      std::tuple(advanced, advanced));
            EXPECT_EQ(client->width() > standardWidth, advanced) << view;
            EXPECT_TRUE(!advanced || raw->geometry().right() < sample->geometry().left());
        }
    }
    QAction* display = window(1).findChild<QMenu*>("mnu_display")->menuAction();
    for (int level : {2, 1, 0}) {
        state.AccessLevel = static_cast<int16_t>(level);
        send(1);
        EXPECT_EQ(display->isVisible(), level == 2) << level;
    }
    QSignalSpy asked(&window(1), &DataWindow::tileRequested);
    command(1, "mnu_tile");
    EXPECT_EQ(asked.count(), 1);
}

// The help names the topic other programs subscribe to, under the configured root, and shows it
// whole in either view.
TEST_F(DataWindowTest, TheHelpNamesTheUnitsMqttTopicWhole)
{
    DataWindows rooted{items, state, config, messages, QStringLiteral("plant/hall2")};
    for (int unit : {1, 3}) {
        const QLabel* help = rooted.window(unit).findChild<QLabel*>("lbl_help");
        EXPECT_EQ(help->text(), QStringLiteral("To access data shown on this page using MQTT, "
                                               "subscribe to\nplant/hall2/UNIT%1/ followed by the "
                                               "name listed.")
                                    .arg(unit));
    }
    state.AccessLevel = 2;
    for (const char* view : {"mnu_standard", "mnu_advanced"}) {
        rooted.window(1).findChild<QAction*>(view)->trigger();
        const QLabel* help = rooted.window(1).findChild<QLabel*>("lbl_help");
        const QRect needed = help->fontMetrics().boundingRect(
            help->contentsRect(), Qt::TextWordWrap | Qt::AlignCenter, help->text());
        EXPECT_TRUE(help->contentsRect().contains(needed)) << view;
    }
}

// Coming back from the window's own message box keeps what is being typed; coming back from
// elsewhere reloads the stored factor (first-three-characters rule) in the saved colours.
TEST_F(DataWindowTest, ActivationReloadsAnUnconfirmedEditUnlessBackFromAMessage)
{
    store(1, "0.00075abc");
    state.HardwareName = QStringLiteral("QS2600");
    state.UnitName[1] = QStringLiteral("Line A");
    windows.showDataWindow(1);
    retype(1, "0.");
    QDialog message;
    message.setModal(true);
    message.show();
    send(1, QEvent::WindowDeactivate);
    message.hide();
    send(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0."));

    send(1, QEvent::WindowDeactivate);
    send(1);
    EXPECT_EQ(std::tuple(box(1)->text(), colours(1)), std::tuple("0.00075ab", kSaved));
    EXPECT_EQ(window(1).windowTitle(), QStringLiteral("QS2600 Data (1) Line A"));
}

// Each value label is named after its item, shows its text, also to assistive technology, and its
// colour; the widest text an item can take is never cut.
TEST_F(DataWindowTest, EveryValueLabelShowsItsItemWhole)
{
    // The widest texts of each item in item order, separated by "|": what the decoder writes for
    // the largest field values, and the status words. "-1" (no data) is tried for every item.
    // clang-format off
    const char* const widest[] = {
        "65535", "255", "65535", "DD|dd|FF|00", "4095", "268.435455", "268.435455", "268.435455",
        "268.435455", "16777215", "16777215", "", "65535000|65.5350", "65535000|65.5350",
        "65535000|65.5350", "65535000|65.5350", "409.5", "409.5", "409.5", "409.5", "255",
        "40.95", "-127", "-2147483648|2147483647", "Fault|Error|DEMO|OK", "255", "0|1", "0|1",
        "0|1", "0|1", "0|1", "0|1", "0|1", "0|1"};
    // clang-format on
    static_assert(std::size(widest) == kItemCount);
    command(1, "mnu_advanced");
    windows.showDataWindow(1);
    for (Item item : AllItems()) {
        if (item == Item::txt_flow_factor) continue;
        QLabel* value = label(1, item);
        ASSERT_NE(value, nullptr) << qPrintable(ItemName(item));
        EXPECT_EQ(value->accessibleName(), ItemName(item));
        const QStringList texts = QString(widest[static_cast<int>(item)]).split('|') << "-1";
        for (const QString& text : texts) {
            items[1].setText(item, text);
            EXPECT_EQ(value->accessibleDescription(), text);
            EXPECT_LE(value->sizeHint().width(), value->width())
                << qPrintable(ItemName(item)) << " " << qPrintable(text);
        }
    }
    items[1].setColour(Item::Flow, 0x00804020);
    EXPECT_EQ(label(1, Item::Flow)->palette().color(QPalette::Window), QColor(0x20, 0x40, 0x80));
}

// A window may hide when its factor, where it is in sight (Advanced view), is valid; it is then
// stored, even unchanged. A factor out of sight (Standard view, hidden window), even a stored one
// accepted at loading but not numeric as a whole, is not checked, so it never keeps a window
// open. Closing only hides.
TEST_F(DataWindowTest, OnlyAnInvalidFactorInSightKeepsAWindowOpen)
{
    for (int unit : {3, 4}) store(unit, "0.5x");
    items[4].setText(Item::txt_flow_factor, QStringLiteral("0.5x"));
    state.NumUnits = 3;
    windows.showAllDataWindows();
    for (int unit = 1; unit <= 3; ++unit) send(unit);
    EXPECT_EQ(box(3)->text(), QStringLiteral("0.5x"));
    command(1, "mnu_advanced");
    command(2, "mnu_advanced");
    retype(2, "");
    command(3, "mnu_close_all");
    for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(window(unit).isVisible(), unit == 2) << unit;
    EXPECT_EQ(std::tuple(stored(1), stored(3), stored(4)), std::tuple("0.00075", "0.5x", "0.5x"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              QStringLiteral("Invalid entry for Flow Factor, reenter value for Flow Factor."));
    EXPECT_FALSE(window(2).close());
    QTest::keyClicks(box(2), "3");
    command(2, "mnu_close");
    EXPECT_EQ(std::tuple(window(2).isVisible(), stored(2)), std::tuple(false, "3"));

    QPointer<DataWindow> guard(&window(3));
    windows.showDataWindow(3);
    EXPECT_TRUE(window(3).close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(guard.isNull());
    windows.showDataWindow(3);
    command(3, "mnu_advanced");
    EXPECT_FALSE(window(3).close());
    EXPECT_EQ(messages.messages.size(), 3u);  // Close all, then each refused close
}

}  // namespace
}  // namespace grainlink::test
