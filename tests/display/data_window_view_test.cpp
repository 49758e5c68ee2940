#include <QDialog>
#include <QPointer>

#include "display/ui/twips.h"
#include "tests/display/data_window_fixture.h"

namespace grainlink::test {
namespace {

struct ViewGeometry {
    int windowWidth;
    int helpWidth;
    int rawLeft;
    int sampleLeft;
    int diagnosticLeft;
    bool rawVisible;
};

class DataWindowViewTest : public DataWindowTest {
protected:
    int left(const char* frame)
    {
        return TwipsGeometry(window(1).findChild<QWidget*>(QString::fromLatin1(frame))).x();
    }
    void expectView(const ViewGeometry& expected)
    {
        DataWindow& shown = window(1);
        EXPECT_EQ(TwipsGeometry(shown.centralWidget()).width(), expected.windowWidth);
        EXPECT_EQ(shown.centralWidget()->width(), TwipsToPixels(expected.windowWidth));
        EXPECT_EQ(TwipsGeometry(shown.centralWidget()).height(), DataWindow::kClientHeightTwips);
        EXPECT_EQ(TwipsGeometry(shown.findChild<QLabel*>(QStringLiteral("lbl_help"))).width(),
                  expected.helpWidth);
        EXPECT_EQ(left("frame_system_data"), 240);
        if (expected.rawVisible) {
            EXPECT_EQ(left("Frame_raw_sample_data"), expected.rawLeft);
        }
        EXPECT_EQ(left("frame_derived_sample_data"), expected.sampleLeft);
        EXPECT_EQ(left("frame_diagnostic_data"), expected.diagnosticLeft);
        EXPECT_EQ(shown.findChild<QWidget*>(QStringLiteral("Frame_raw_sample_data"))->isVisible(),
                  expected.rawVisible);
    }
};

TEST_F(DataWindowViewTest, StandardAndAdvancedViewsPlaceTheFramesAndSizeTheWindow)
{
    state.AccessLevel = 2;
    windows().showDataWindow(1);
    activate(1);
    EXPECT_TRUE(command(1, "mnu_standard")->isChecked());
    expectView({6205, 5905, 0, 1675, 3710, false});

    command(1, "mnu_advanced")->trigger();
    EXPECT_FALSE(command(1, "mnu_standard")->isChecked());
    expectView({8120, 7820, 1675, 3590, 5625, true});

    // The view survives hiding and the next activation.
    window(1).hide();
    windows().showDataWindow(1);
    activate(1);
    expectView({8120, 7820, 1675, 3590, 5625, true});

    command(1, "mnu_standard")->trigger();
    EXPECT_FALSE(command(1, "mnu_advanced")->isChecked());
    expectView({6205, 5905, 0, 1675, 3710, false});
}

TEST_F(DataWindowViewTest, DisplayMenuOnlyForServiceUsersAndOnlyRecheckedOnActivationOrFocus)
{
    windows().showDataWindow(1);
    QAction* display = window(1).findChild<QMenu*>(QStringLiteral("mnu_display"))->menuAction();
    activate(1);
    EXPECT_FALSE(display->isVisible());

    state.AccessLevel = 2;
    EXPECT_FALSE(display->isVisible());
    activate(1);
    EXPECT_TRUE(display->isVisible());

    // A service user logging off leaves the menu until the window is next activated.
    state.AccessLevel = 0;
    EXPECT_TRUE(display->isVisible());
    activate(1);
    EXPECT_FALSE(display->isVisible());
}

TEST_F(DataWindowViewTest, ActivationSetsTheCaptionFromHardwareAndUnitName)
{
    state.UnitName[2] = QStringLiteral("Line A");
    windows().showDataWindow(2);
    activate(2);
    EXPECT_EQ(window(2).windowTitle(), QStringLiteral("QS2600 Data (2) Line A"));
    EXPECT_EQ(window(2).objectName(), QStringLiteral("frm_data2"));
    EXPECT_TRUE(window(3)
                    .findChild<QLabel*>(QStringLiteral("lbl_help"))
                    ->text()
                    .contains(QStringLiteral("topic to UNIT3 and item")));
}

TEST_F(DataWindowViewTest, ValueLabelsFollowTheirItemsTextAndColour)
{
    windows();
    for (Item item : AllItems()) {
        if (item == Item::txt_flow_factor) continue;
        QLabel* label = value(3, item);
        ASSERT_NE(label, nullptr) << qPrintable(ItemName(item));
        EXPECT_EQ(label->accessibleName(), ItemName(item));
        EXPECT_EQ(label->text(), items[3].text(item));
    }
    EXPECT_EQ(value(3, Item::LaserLow)->palette().color(QPalette::Window), QColor(0, 255, 0));

    items[3].setText(Item::Counts4um, QStringLiteral("1234.5"));
    items[3].setText(Item::status, QStringLiteral("Fault"));
    items[3].setColour(Item::status, kRed);
    items[3].setColour(Item::Flow, 0x00804020);
    EXPECT_EQ(value(3, Item::Counts4um)->text(), QStringLiteral("1234.5"));
    EXPECT_EQ(value(3, Item::Counts4um)->accessibleDescription(), QStringLiteral("1234.5"));
    EXPECT_EQ(value(3, Item::status)->text(), QStringLiteral("Fault"));
    EXPECT_EQ(value(3, Item::status)->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(value(3, Item::Flow)->palette().color(QPalette::Window), QColor(0x20, 0x40, 0x80));
    EXPECT_EQ(value(3, Item::Counts4um)->palette().color(QPalette::Window), QColor(Qt::white));
    // Other units' windows are not touched.
    EXPECT_EQ(value(2, Item::Counts4um)->text(), QString());
}

TEST_F(DataWindowViewTest, ClosingFromTheFrameHidesWithoutDestroying)
{
    windows().showDataWindow(1);
    QPointer<DataWindow> guard(&window(1));
    EXPECT_TRUE(window(1).close());
    QCoreApplication::processEvents();
    ASSERT_FALSE(guard.isNull());
    EXPECT_FALSE(window(1).isVisible());
    EXPECT_TRUE(messages.messages.empty());

    // With a factor that is not numeric the window stays and says why.
    windows().showDataWindow(1);
    press(1, Qt::Key_Backspace);
    EXPECT_FALSE(window(1).close());
    EXPECT_TRUE(window(1).isVisible());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              QStringLiteral("Invalid entry for Flow Factor, reenter value for Flow Factor."));
}

TEST_F(DataWindowViewTest, ComingBackFromAMessageKeepsTheEditButSwitchingBackReloads)
{
    storeFactor(1, "0.004");
    windows().showDataWindow(1);
    press(1, Qt::Key_Backspace);
    type(1, "0.");
    QEvent deactivation(QEvent::WindowDeactivate);
    {
        QDialog message;
        message.setModal(true);
        message.show();
        QCoreApplication::sendEvent(&window(1), &deactivation);
    }
    activate(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0."));

    QCoreApplication::sendEvent(&window(1), &deactivation);
    activate(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.004"));
}

TEST_F(DataWindowViewTest, ShowAllShowsTheConfiguredUnitsOnly)
{
    state.NumUnits = 2;
    windows().showAllDataWindows();
    EXPECT_TRUE(window(1).isVisible());
    EXPECT_TRUE(window(2).isVisible());
    EXPECT_FALSE(window(3).isVisible());
    EXPECT_FALSE(window(4).isVisible());
    EXPECT_THROW(windows().showDataWindow(5), std::out_of_range);
}

}  // namespace
}  // namespace grainlink::test
