#include "server/ui/close_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "acquisition/unit_state.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

class CloseWindowTest : public ::testing::Test {
protected:
    void click(const char* button) { QTest::mouseClick(child(button), Qt::LeftButton); }
    QPushButton* child(const char* name) { return window.findChild<QPushButton*>(name); }
    // The main window's close request; while it waits, `answer` runs on the confirmation.
    void requestClose(const std::function<void()>& answer)
    {
        QTimer::singleShot(0, &window, [this, answer] {
            modalWhileAsked = QApplication::activeModalWidget() == &window;
            answer();
        });
        RefuseCloseRequest(state, window, messages);
    }

    SharedState state = [] {
        SharedState loaded;
        loaded.ProductName = "GrainLink test";
        loaded.HardwareName = "QS2600";
        return loaded;
    }();
    RecordingMessageBox messages;
    int shutdowns = 0;
    bool modalWhileAsked = false;
    CloseWindow window{state.HardwareName, [this] { ++shutdowns; }};
};

TEST_F(CloseWindowTest, NamesTheInstrumentAndAsksYesOrCancel)
{
    EXPECT_EQ(window.objectName(), "frm_close");
    EXPECT_EQ(window.windowTitle(), "Close program ?");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(),
              "Closing this program will stop all communications to the QS2600(s). Any programs "
              "connected to this program via DDE will also lose data - are you sure you want to "
              "close the program ?");
    EXPECT_EQ(child("OKButton")->text(), "Yes");
    EXPECT_EQ(child("CancelButton")->text(), "Cancel");
    EXPECT_TRUE(child("CancelButton")->isDefault());
}

TEST_F(CloseWindowTest, LoggedOffTheRequestIsRefusedWithTheMessageOnly)
{
    state.LoggedIn = false;
    RefuseCloseRequest(state, window, messages);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, "GrainLink test");
    EXPECT_EQ(messages.messages[0].text, "You must logon to close the program");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shutdowns, 0);
}

TEST_F(CloseWindowTest, LoggedOnTheRequestWaitsForTheConfirmationWhoseCancelChangesNothing)
{
    state.LoggedIn = true;
    requestClose([this] { click("CancelButton"); });
    EXPECT_TRUE(modalWhileAsked);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shutdowns, 0);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(CloseWindowTest, TheCloseCommandShowsOneWindowWithoutWaiting)
{
    const auto windows = QApplication::topLevelWidgets().size();
    window.showWithoutWaiting();
    window.showWithoutWaiting();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);

    window.close();  // its own title-bar close box
    EXPECT_FALSE(window.isVisible());
    window.showWithoutWaiting();
    click("CancelButton");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shutdowns, 0);
}

TEST_F(CloseWindowTest, YesRunsTheShutdownOnceAlsoFromTheWindowAlreadyShown)
{
    state.LoggedIn = true;
    window.showWithoutWaiting();
    requestClose([this] { click("OKButton"); });
    EXPECT_TRUE(modalWhileAsked);
    EXPECT_EQ(shutdowns, 1);
}

}  // namespace
}  // namespace grainlink::test
