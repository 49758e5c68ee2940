#include <QClipboard>
#include <QGuiApplication>

#include "tests/display/data_window_fixture.h"

namespace grainlink::test {
namespace {

using FlowFactorBoxTest = DataWindowTest;

TEST_F(FlowFactorBoxTest, BackspaceThenDigitsThenEnterStoresTheFactor)
{
    windows().showDataWindow(2);
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.00075"));
    EXPECT_TRUE(savedColours(2));

    press(2, Qt::Key_Backspace);
    EXPECT_EQ(box(2)->text(), QString());
    EXPECT_TRUE(editingColours(2));
    type(2, "0.002");
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.002"));
    EXPECT_EQ(items[2].text(Item::txt_flow_factor), QStringLiteral("0.002"));
    EXPECT_EQ(profile.writes, 0);

    press(2, Qt::Key_Return);
    EXPECT_EQ(storedFactor(2), QByteArray("0.002"));
    EXPECT_TRUE(savedColours(2));

    // The keypad Enter confirms too.
    press(2, Qt::Key_Backspace);
    type(2, "1.5");
    press(2, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(storedFactor(2), QByteArray("1.5"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FlowFactorBoxTest, EnterOnATextThatIsNotNumericKeepsItAndSaysInvalidData)
{
    storeFactor(1, "0.5");
    windows().showDataWindow(1);
    press(1, Qt::Key_Backspace);
    type(1, ".");
    press(1, Qt::Key_Return);
    EXPECT_EQ(box(1)->text(), QStringLiteral("."));
    EXPECT_TRUE(editingColours(1));
    EXPECT_EQ(storedFactor(1), QByteArray("0.5"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, state.ProductName);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("invalid data"));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(FlowFactorBoxTest, OnlyDigitsAndPointAreTakenAndAlwaysAtTheEnd)
{
    storeFactor(1, "0.5");
    windows().showDataWindow(1);
    box(1)->setCursorPosition(0);
    type(1, "1");
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.51"));

    box(1)->setSelection(0, 2);
    type(1, "x-e 7");
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.517"));

    QGuiApplication::clipboard()->setText(QStringLiteral("999"));
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Left, Qt::Key_Z})
        press(1, key, Qt::ControlModifier);
    press(1, Qt::Key_Delete);
    press(1, Qt::Key_V, Qt::ControlModifier);
    press(1, Qt::Key_Insert, Qt::ShiftModifier);
    box(1)->setCursorPosition(0);
    press(1, Qt::Key_Delete);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.517"));
    EXPECT_EQ(box(1)->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(FlowFactorBoxTest, BoxAndItemStayTheSame)
{
    windows();
    items[3].setText(Item::txt_flow_factor, QStringLiteral("0.25"));
    EXPECT_EQ(box(3)->text(), QStringLiteral("0.25"));
    press(3, Qt::Key_Backspace);
    EXPECT_EQ(items[3].text(Item::txt_flow_factor), QString());
    type(3, "4");
    EXPECT_EQ(items[3].text(Item::txt_flow_factor), QStringLiteral("4"));
    EXPECT_EQ(items[1].text(Item::txt_flow_factor), QStringLiteral("0.00075"));
}

TEST_F(FlowFactorBoxTest, ActivationReloadsTheStoredFactorByTheThreeCharacterRule)
{
    storeFactor(1, "0.00075abc");
    storeFactor(2, "x.5");
    windows().showDataWindow(1);
    activate(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.00075ab"));
    activate(2);
    EXPECT_EQ(box(2)->text(), QStringLiteral("0.00075"));

    // An edit that was never confirmed is lost when the window is activated again.
    storeFactor(1, "0.004");
    press(1, Qt::Key_Backspace);
    type(1, "0.001");
    activate(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("0.004"));
    EXPECT_EQ(items[1].text(Item::txt_flow_factor), QStringLiteral("0.004"));
    EXPECT_TRUE(savedColours(1));
}

TEST_F(FlowFactorBoxTest, ValidateMeStoresEvenAnUnchangedFactor)
{
    windows();
    EXPECT_TRUE(window(4).ValidateMe());
    EXPECT_EQ(storedFactor(4), QByteArray("0.00075"));
    press(4, Qt::Key_Backspace);
    EXPECT_FALSE(window(4).ValidateMe());
    EXPECT_EQ(storedFactor(4), QByteArray("0.00075"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(FlowFactorBoxTest, CloseAllHidesEveryValidWindowAndKeepsTheInvalidOne)
{
    for (int unit = 1; unit <= 4; ++unit) windows().showDataWindow(unit);
    press(2, Qt::Key_Backspace);
    command(3, "mnu_close_all")->trigger();
    EXPECT_FALSE(window(1).isVisible());
    EXPECT_TRUE(window(2).isVisible());
    EXPECT_FALSE(window(3).isVisible());
    EXPECT_FALSE(window(4).isVisible());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              QStringLiteral("Invalid entry for Flow Factor, reenter value for Flow Factor."));

    command(2, "mnu_close")->trigger();
    EXPECT_TRUE(window(2).isVisible());
    type(2, "3");
    command(2, "mnu_close")->trigger();
    EXPECT_FALSE(window(2).isVisible());
    EXPECT_EQ(storedFactor(2), QByteArray("3"));
}

TEST_F(FlowFactorBoxTest, AFactorThatCannotBeStoredIsNotShownAsSaved)
{
    windows().showDataWindow(1);
    profile.failWrites = true;
    press(1, Qt::Key_Backspace);
    type(1, "0.3");
    press(1, Qt::Key_Return);
    EXPECT_TRUE(editingColours(1));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("The flow factor could not be saved."));
}

}  // namespace
}  // namespace grainlink::test
