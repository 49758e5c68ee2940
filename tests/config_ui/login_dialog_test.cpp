#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "acquisition/unit_state.h"
#include "config/access_levels.h"
#include "display/item_table.h"
#include "display/ui/data_window.h"
#include "config/ui/login_dialog.h"
#include "config/ui/settings_commands.h"
#include "tests/config/settings_doubles.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

// Security on, nobody logged on yet.
class LoginDialogTest : public ::testing::Test {
protected:
    LoginDialogTest() { state.Password = "Secret"; }

    // Log on, with `script` playing the user's part in the dialog.
    bool logOn(std::function<void(LoginDialog*)> script)
    {
        WhenShown<LoginDialog>(std::move(script));
        return RunLogOn(nullptr, state, messages);
    }
    static QLineEdit* password(QDialog* dialog)
    {
        return dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    }
    static void enter(QDialog* dialog, const char* typed)
    {
        QTest::keyClicks(password(dialog), typed);
        QTest::keyClick(password(dialog), Qt::Key_Return);
    }

    SharedState state;
    RecordingMessageBox messages;
};

TEST_F(LoginDialogTest, AWrongPasswordIsSelectedForRetypingAndTheRightOneLogsOn)
{
    EXPECT_TRUE(logOn([this](LoginDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Login"));
        EXPECT_EQ(password(dialog)->echoMode(), QLineEdit::Password);
        enter(dialog, "secret");
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(
            std::tuple(messages.messages[0].title, messages.messages[0].text),
            std::tuple(QStringLiteral("Login"), QStringLiteral("Invalid Password, try again!")));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(password(dialog)->selectedText(), QStringLiteral("secret"));
        EXPECT_FALSE(state.LoggedIn);
        enter(dialog, "Wexo");  // replaces the selection
    }));
    EXPECT_EQ(state.AccessLevel, 2);
}

// Cancel, Escape and the title-bar close box all leave the level as it was, logged on or not.
TEST_F(LoginDialogTest, LeavingWithoutOkKeepsTheLevel)
{
    const std::function<void(LoginDialog*)> leave[] = {
        [](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                              Qt::LeftButton);
        },
        [](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::keyClick(password(dialog), Qt::Key_Escape);
        },
        [](LoginDialog* dialog) { dialog->close(); },
    };
    for (const auto& script : leave) EXPECT_FALSE(logOn(script));
    EXPECT_TRUE(logOn([](LoginDialog* dialog) { enter(dialog, "Secret"); }));
    for (const auto& script : leave) EXPECT_TRUE(logOn(script));
    EXPECT_EQ(state.AccessLevel, 1);
    EXPECT_TRUE(messages.messages.empty());
}

// A data window shows its Display menu to a service user from its next activation on, and keeps
// it after a log off until it is activated again.
TEST_F(LoginDialogTest, TheServiceLevelShowsTheDataWindowsDisplayMenu)
{
    RecordingProfile profile;
    ConfigFile config(profile);
    ItemTables items;
    DataWindow window(items[1], state, config, messages);
    QAction* display = window.findChild<QMenu*>(QStringLiteral("mnu_display"))->menuAction();
    const auto activate = [&window] {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &event);
    };

    EXPECT_TRUE(logOn([](LoginDialog* dialog) { enter(dialog, "Secret"); }));
    activate();
    EXPECT_FALSE(display->isVisible());
    EXPECT_TRUE(logOn([](LoginDialog* dialog) { enter(dialog, "Wexo"); }));
    EXPECT_FALSE(display->isVisible());
    activate();
    EXPECT_TRUE(display->isVisible());
    LogOff(state);
    EXPECT_EQ(std::tuple(state.LoggedIn, state.AccessLevel), std::tuple(false, int16_t{0}));
    EXPECT_TRUE(display->isVisible());
    activate();
    EXPECT_FALSE(display->isVisible());
}

}  // namespace
}  // namespace grainlink::test
