#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "config/ui/login_dialog.h"
#include "config/ui/settings_commands.h"
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

// Cancel, Escape and the title-bar close box leave the level as it was, logged on or not. A wrong
// password is refused and selected for retyping; the right one logs on.
TEST_F(LoginDialogTest, OnlyOkWithTheRightPasswordChangesTheLevel)
{
    const std::function<void(LoginDialog*)> leave[] = {
        [](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        },
        [](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::keyClick(password(dialog), Qt::Key_Escape);
        },
        [](LoginDialog* dialog) { dialog->close(); },
    };
    for (const auto& script : leave) EXPECT_FALSE(logOn(script));
    EXPECT_TRUE(logOn([this](LoginDialog* dialog) {
        EXPECT_EQ(password(dialog)->echoMode(), QLineEdit::Password);
        enter(dialog, "secret");
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, QStringLiteral("Invalid Password, try again!"));
        EXPECT_TRUE(dialog->isVisible() && !state.LoggedIn);
        EXPECT_EQ(password(dialog)->selectedText(), QStringLiteral("secret"));
        enter(dialog, "Secret");  // replaces the selection
    }));
    for (const auto& script : leave) EXPECT_TRUE(logOn(script));
    EXPECT_EQ(state.AccessLevel, 1);
}

}  // namespace
}  // namespace grainlink::test
