// The settings dialogs from the keyboard: Escape, Tab and what a password box shows.
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "config/ui/login_dialog.h"
#include "config/ui/options_dialog.h"
#include "config/ui/port_setup_dialog.h"
#include "config/ui/settings_commands.h"
#include "tests/config/settings_doubles.h"
#include "tests/config/temp_config.h"
#include "tests/support/keyboard.h"
#include "tests/support/modal_script.h"
#include "widgets/qt_message_box.h"

namespace grainlink::test {
namespace {

// Two units, security on with a password; messages come in real message boxes, answered from
// the keyboard.
class DialogKeyboardTest : public ::testing::Test {
protected:
    DialogKeyboardTest()
    {
        state.NumUnits = 2;
        state.MessageTime = 600;
        state.BufferSize = 10;
        state.SecurityEnabled = 1;
        state.Password = "Secret";
        for (int unit = 1; unit <= kMaxUnits; ++unit) state.UnitPort[unit] = int16_t(unit);
        state.UnitEnabled[1] = true;
    }

    TempConfig ini;
    SharedState state;
    QtMessageBox messages;
    ScriptedQuestionBox questions;
    RecordingOptionsCallbacks recorded;
};

// The two ways to choose a dialog's Close command from the keyboard.
enum class CloseKeys { AltThenReturn, AltC };

void ChooseCloseFromTheKeyboard(CloseKeys keys)
{
    QWidget* focus = QApplication::focusWidget();
    if (keys == CloseKeys::AltC) {
        QTest::keyClick(focus, Qt::Key_C, Qt::AltModifier);
    } else {
        QTest::keyClick(focus, Qt::Key_Alt);  // the menu bar, its first item
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
}

// A refused Close, its message answered with Enter, and then Escape: the dialog is cancelled
// wherever the focus came back to.
void RefuseThenEscape(QDialog* dialog, QWidget* field, const char* invalid, CloseKeys keys,
                      QString& message)
{
    ASSERT_TRUE(Activate(dialog));
    field->setFocus();
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClicks(field, invalid);
    WhenShown<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        // Enter on its OK button, which has the focus once the box is active.
        QTest::keyClick(box->button(QMessageBox::Ok), Qt::Key_Return);
    });
    ChooseCloseFromTheKeyboard(keys);
    ASSERT_TRUE(dialog->isVisible()) << "the Close was refused";
    ASSERT_TRUE(Activate(dialog));  // back from the message, as the window manager does
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible()) << "Escape cancels";
}

TEST_F(DialogKeyboardTest, EscapeCancelsTheOptionsAfterAMessageAnsweredFromTheKeyboard)
{
    for (CloseKeys keys : {CloseKeys::AltThenReturn, CloseKeys::AltC}) {
        QString message;
        WhenShown<OptionsDialog>([&](OptionsDialog* dialog) {
            RefuseThenEscape(dialog, dialog->findChild<QLineEdit*>("txt_timeout"), "0", keys,
                             message);
            if (dialog->isVisible()) dialog->reject();
        });
        RunOptionsDialog(nullptr, state, ini.config, messages, questions, recorded.callbacks);
        EXPECT_EQ(message,
                  "Invalid entry for how often record expected, please enter time in seconds.");
        EXPECT_EQ(state.NumUnits, 2);
    }
    EXPECT_EQ(ini.contents(), "") << "nothing saved";
}

TEST_F(DialogKeyboardTest, EscapeCancelsThePortSetUpAfterAMessageAnsweredFromTheKeyboard)
{
    for (CloseKeys keys : {CloseKeys::AltThenReturn, CloseKeys::AltC}) {
        QString message;
        PortSetupDialog dialog(state, ini.config, messages);
        WhenShown<PortSetupDialog>([&](PortSetupDialog* shown) {
            RefuseThenEscape(shown, shown->findChild<QComboBox*>("cmb_port(1)")->lineEdit(), "11",
                             keys, message);
            if (shown->isVisible()) shown->reject();
        });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_EQ(message, "Invalid ports selected");
    }
    EXPECT_EQ(state.UnitPort[1], 1);
}

// Passwords show as "*", whatever the style's own mask character.
TEST_F(DialogKeyboardTest, PasswordBoxesShowAsterisks)
{
    LoginDialog login(state, messages);
    OptionsDialog options(state, ini.config, messages, questions, recorded.callbacks);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&login, &options}) {
        auto* box = dialog->findChild<QLineEdit*>("txtPassword");
        box->clear();
        QTest::keyClicks(box, "Grain42");
        EXPECT_EQ(box->displayText(), "*******") << dialog->objectName().toStdString();
        EXPECT_EQ(box->text(), "Grain42");
    }
}

// Tab goes through each dialog's controls as they are read: top to bottom, left to right.
TEST_F(DialogKeyboardTest, TabVisitsEachDialogsControlsInReadingOrder)
{
    LoginDialog login(state, messages);
    EXPECT_EQ(TabOrder(&login), QStringList({"txtPassword", "cmdOK", "cmdCancel"}));
    OptionsDialog options(state, ini.config, messages, questions, recorded.callbacks);
    EXPECT_EQ(TabOrder(&options),
              QStringList({"txt_timeout", "txt_buffer_size", "spn_units", "cmd_ports", "chk_log",
                           "cmd_browse", "chkLogRawData", "chk_demo", "chkSecurityActive",
                           "txtPassword"}));
    options.reject();
    PortSetupDialog ports(state, ini.config, messages);
    EXPECT_EQ(TabOrder(&ports), QStringList({"chk_enabled(1)", "cmb_port(1)", "txt_name(1)",
                                             "chk_enabled(2)", "cmb_port(2)", "txt_name(2)"}));
}

}  // namespace
}  // namespace grainlink::test
