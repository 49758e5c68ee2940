#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "config/config_file.h"
#include "config/flow_factor.h"
#include "display/ui/data_windows.h"
#include "display/ui/twips.h"
#include "tests/support/memory_profile.h"
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
    QAction* command(int unit, const char* name) { return window(unit).findChild<QAction*>(name); }
    // (De)activation as the window system delivers it, without depending on real focus.
    void send(int unit, QEvent::Type type)
    {
        QEvent event(type);
        QCoreApplication::sendEvent(&window(unit), &event);
    }
    void type(int unit, const char* keys) { QTest::keyClicks(box(unit), keys); }
    void press(int unit, Qt::Key key) { QTest::keyClick(box(unit), key); }
    QByteArray stored(int n) { return profile.values.value("FlowFactor" + QByteArray::number(n)); }
    Colours colours(int unit)
    {
        const QPalette palette = box(unit)->palette();
        return {palette.color(QPalette::Base), palette.color(QPalette::Text)};
    }

    SharedState state;
    ItemTables items;
    MemoryProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    // As at start-up: the items hold the stored factors before the windows exist.
    bool factorsLoaded = [this] {
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            items[unit].setText(Item::txt_flow_factor, ReadFlowFactor(config, unit));
        return true;
    }();
    DataWindows windows{items, state, config, messages};
};

TEST_F(DataWindowTest, BackspaceEmptiesCharactersAppendAndEnterStores)
{
    items[2].setText(Item::txt_flow_factor, QStringLiteral("0.25"));
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.25"));
    press(2, Qt::Key_Backspace);
    EXPECT_EQ(colours(2), kEditing);

    // Digits and the point go to the end wherever the caret or selection is; nothing else,
    // not even editing or paste shortcuts, changes the text.
    type(2, "0.5");
    box(2)->setCursorPosition(0);
    type(2, "1");
    box(2)->setSelection(0, 2);
    type(2, "x-e 7");
    QGuiApplication::clipboard()->setText(QStringLiteral("999"));
    box(2)->setCursorPosition(0);
    for (const char* keys : {"Ctrl+Del", "Ctrl+Z", "Ctrl+V", "Shift+Ins", "Del"})
        QTest::keySequence(box(2), QKeySequence(QString::fromLatin1(keys)));
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.517"));
    EXPECT_EQ(items[2].text(Item::txt_flow_factor), QStringLiteral("0.517"));
    EXPECT_EQ(stored(2), QByteArray());

    QTest::keyClick(box(2), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(stored(2), QByteArray("0.517"));
    EXPECT_EQ(colours(2), kSaved);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DataWindowTest, BoxTakesNoMoreCharactersThanTheSettingGivesBack)
{
    press(3, Qt::Key_Backspace);
    type(3, "12345678901");
    press(3, Qt::Key_Return);
    EXPECT_EQ(box(3)->text(), QStringLiteral("123456789"));
    EXPECT_EQ(stored(3), QByteArray("123456789"));
    send(3, QEvent::WindowActivate);
    EXPECT_EQ(box(3)->text(), QStringLiteral("123456789"));
}

TEST_F(DataWindowTest, EnterThatCannotStoreKeepsTheEditAndSaysWhy)
{
    const struct {
        const char* typed;
        bool failWrites;
        QString message;
    } rows[] = {{".", false, QStringLiteral("invalid data")},
                {"0.3", true, QStringLiteral("The flow factor could not be saved.")}};
    state.ProductName = QStringLiteral("Product");
    profile.values.insert("FlowFactor1", "0.5");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        messages.messages.clear();
        profile.failWrites = row.failWrites;
        press(1, Qt::Key_Backspace);
        type(1, row.typed);
        press(1, Qt::Key_Return);
        EXPECT_EQ(box(1)->text(), QString::fromLatin1(row.typed));
        EXPECT_EQ(colours(1), kEditing);
        EXPECT_EQ(stored(1), QByteArray("0.5"));
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, row.message);
        EXPECT_EQ(messages.messages[0].title, state.ProductName);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
    }
}

TEST_F(DataWindowTest, ValidateMeStoresEvenAnUnchangedFactor)
{
    EXPECT_TRUE(window(4).ValidateMe());
    EXPECT_EQ(stored(4), QByteArray("0.00075"));
}

TEST_F(DataWindowTest, EachViewPlacesTheFramesAndSizesTheWindow)
{
    // rawLeft 0: the raw frame is hidden.
    const struct {
        const char* view;
        int windowWidth, helpWidth, rawLeft, sampleLeft, diagnosticLeft;
    } rows[] = {{"mnu_standard", 6205, 5905, 0, 1675, 3710},
                {"mnu_advanced", 8120, 7820, 1675, 3590, 5625},
                {"mnu_standard", 6205, 5905, 0, 1675, 3710}};
    windows.showDataWindow(1);
    QWidget* client = window(1).centralWidget();
    auto frame = [&](const char* name) { return window(1).findChild<QWidget*>(name); };
    auto left = [&](const char* name) { return TwipsGeometry(frame(name)).x(); };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        command(1, row.view)->trigger();
        // The chosen view holds at once and through the next activation.
        for (int pass = 0; pass < 2; ++pass, send(1, QEvent::WindowActivate)) {
            EXPECT_EQ(TwipsGeometry(client).width(), row.windowWidth);
            EXPECT_EQ(TwipsGeometry(frame("lbl_help")).width(), row.helpWidth);
            EXPECT_EQ(frame("Frame_raw_sample_data")->isVisible(), row.rawLeft > 0);
            EXPECT_EQ(row.rawLeft > 0 ? left("Frame_raw_sample_data") : 0, row.rawLeft);
            EXPECT_EQ(left("frame_derived_sample_data"), row.sampleLeft);
            EXPECT_EQ(left("frame_diagnostic_data"), row.diagnosticLeft);
        }
    }
}

TEST_F(DataWindowTest, DisplayMenuOnlyForServiceUsers)
{
    windows.showDataWindow(1);
    QAction* display = window(1).findChild<QMenu*>("mnu_display")->menuAction();
    for (int level : {2, 1, 0}) {
        state.AccessLevel = level;
        send(1, QEvent::WindowActivate);
        EXPECT_EQ(display->isVisible(), level == 2) << level;
    }
}

TEST_F(DataWindowTest, TileIsACommandOnTheMenuBarAskingForTheArrangement)
{
    QAction* tile = command(3, "mnu_tile");
    ASSERT_TRUE(tile);
    EXPECT_TRUE(window(3).menuBar()->actions().contains(tile));
    QSignalSpy asked(&window(3), &DataWindow::tileRequested);
    tile->trigger();
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(DataWindowTest, ActivationReloadsAnUnconfirmedEditUnlessBackFromAMessage)
{
    profile.values.insert("FlowFactor1", "0.00075abc");
    state.HardwareName = QStringLiteral("QS2600");
    state.UnitName[1] = QStringLiteral("Line A");
    windows.showDataWindow(1);
    press(1, Qt::Key_Backspace);
    type(1, "0.");
    QDialog message;
    message.setModal(true);
    message.show();
    send(1, QEvent::WindowDeactivate);
    message.hide();
    send(1, QEvent::WindowActivate);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0."));

    send(1, QEvent::WindowDeactivate);
    send(1, QEvent::WindowActivate);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.00075ab"));
    EXPECT_EQ(colours(1), kSaved);
    EXPECT_EQ(window(1).windowTitle(), QStringLiteral("QS2600 Data (1) Line A"));
}

TEST_F(DataWindowTest, ValueLabelsAreNamedAfterAndFollowTheirItems)
{
    EXPECT_EQ(window(3).objectName(), QStringLiteral("frm_data3"));
    for (Item item : {Item::Counts4um, Item::LaserLow, Item::status, Item::Flow}) {
        ASSERT_NE(label(3, item), nullptr) << qPrintable(ItemName(item));
        EXPECT_EQ(label(3, item)->accessibleName(), ItemName(item));
    }
    EXPECT_EQ(label(3, Item::LaserLow)->palette().color(QPalette::Window), QColor(0, 255, 0));
    items[3].setText(Item::Counts4um, QStringLiteral("1234.5"));
    items[3].setColour(Item::Flow, 0x00804020);
    EXPECT_EQ(label(3, Item::Counts4um)->text(), QStringLiteral("1234.5"));
    EXPECT_EQ(label(3, Item::Flow)->palette().color(QPalette::Window), QColor(0x20, 0x40, 0x80));
}

TEST_F(DataWindowTest, EveryValueLabelShowsTheWidestTextOfItsItemWhole)
{
    // The widest text each item can take: what the decoder writes for the largest field values,
    // "-1" for no data, and the status words.
    const QStringList any{QStringLiteral("-1")};
    const QStringList widest[] = {
        {"65535"}, {"255"}, {"65535"}, {"DD", "dd", "FF", "00"}, {"4095"},
        {"268.435455"}, {"268.435455"}, {"268.435455"}, {"268.435455"}, {"16777215"}, {"16777215"},
        {},
        {"65535000", "65.5350"}, {"65535000", "65.5350"}, {"65535000", "65.5350"},
        {"65535000", "65.5350"},
        {"409.5"}, {"409.5"}, {"409.5"}, {"409.5"},
        {"255"}, {"40.95"}, {"-127"}, {"-2147483648", "2147483647"},
        {"Fault", "Error", "DEMO", "OK"}, {"255"},
        {"0", "1"}, {"0", "1"}, {"0", "1"}, {"0", "1"}, {"0", "1"}, {"0", "1"}, {"0", "1"},
        {"0", "1"},
    };
    static_assert(std::size(widest) == kItemCount);
    command(1, "mnu_advanced")->trigger();
    windows.showDataWindow(1);
    for (Item item : AllItems()) {
        if (item == Item::txt_flow_factor) continue;
        QLabel* value = label(1, item);
        for (const QString& text : widest[static_cast<int>(item)] + any) {
            items[1].setText(item, text);
            EXPECT_LE(value->sizeHint().width(), value->width())
                << qPrintable(ItemName(item)) << " " << qPrintable(text);
        }
    }
}

TEST_F(DataWindowTest, ClosingFromTheFrameHidesWithoutDestroying)
{
    windows.showDataWindow(1);
    QPointer<DataWindow> guard(&window(1));
    EXPECT_TRUE(window(1).close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(guard.isNull());
    EXPECT_FALSE(window(1).isVisible());
}

TEST_F(DataWindowTest, CloseAllHidesEveryValidWindowAndKeepsTheInvalidOne)
{
    state.NumUnits = 3;
    windows.showAllDataWindows();
    for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(window(unit).isVisible(), unit <= 3) << unit;
    command(2, "mnu_advanced")->trigger();  // the view that shows the box
    press(2, Qt::Key_Backspace);
    command(3, "mnu_close_all")->trigger();
    for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(window(unit).isVisible(), unit == 2) << unit;
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              QStringLiteral("Invalid entry for Flow Factor, reenter value for Flow Factor."));

    // The invalid window refuses a close from the frame too, until its factor is numeric.
    EXPECT_FALSE(window(2).close());
    type(2, "3");
    command(2, "mnu_close")->trigger();
    EXPECT_FALSE(window(2).isVisible());
    EXPECT_EQ(stored(2), QByteArray("3"));
}

TEST_F(DataWindowTest, AFactorOutOfSightNeverKeepsAWindowOpen)
{
    // Accepted at loading (its first three characters are numeric), not numeric as a whole.
    profile.values.insert("FlowFactor1", "0.5x");
    profile.values.insert("FlowFactor2", "0.5x");
    items[2].setText(Item::txt_flow_factor, QStringLiteral("0.5x"));
    state.NumUnits = 1;
    windows.showDataWindow(1);
    send(1, QEvent::WindowActivate);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.5x"));

    // Standard view: the box is not shown, so nothing is checked or stored.
    EXPECT_TRUE(window(1).close());
    windows.showDataWindow(1);
    command(1, "mnu_close")->trigger();
    EXPECT_FALSE(window(1).isVisible());
    windows.showDataWindow(1);
    command(1, "mnu_close_all")->trigger();  // window 2, hidden, is not asked either
    EXPECT_FALSE(window(1).isVisible());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(stored(1), QByteArray("0.5x"));
    EXPECT_EQ(stored(2), QByteArray("0.5x"));

    // Advanced view: the user sees the box and must mend it first.
    windows.showDataWindow(1);
    send(1, QEvent::WindowActivate);
    command(1, "mnu_advanced")->trigger();
    EXPECT_FALSE(window(1).close());
    EXPECT_EQ(messages.messages.size(), 1u);
}

}  // namespace
}  // namespace grainlink::test
