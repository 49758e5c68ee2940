#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "acquisition/acquisition_cycle.h"
#include "config/ui/login_dialog.h"
#include "config/ui/options_dialog.h"
#include "config/ui/port_setup_dialog.h"
#include "config/ui/settings_commands.h"
#include "server/startup.h"
#include "tests/config/settings_doubles.h"
#include "tests/config/temp_config.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/modal_script.h"
#include "tests/support/recording_unit_events.h"
#include "tests/support/test_doubles.h"
#include "widgets/spin_button.h"

namespace grainlink::test {
namespace {

template <typename T = QWidget>
T* Find(const QWidget* dialog, const QString& name)
{
    T* found = dialog->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Clicks the dialog's Close command, which is to accept what was entered. A dialog that refuses
// is a failure, and is closed anyway so that the test goes on.
void ClickCloseMenu(QDialog* dialog)
{
    auto* bar = dialog->findChild<QMenuBar*>();
    QTest::mouseClick(
        bar, Qt::LeftButton, {},
        bar->actionGeometry(Find<QAction>(dialog, QStringLiteral("mnu_close"))).center());
    if (!dialog->isVisible()) return;
    ADD_FAILURE() << dialog->objectName().toStdString() << " refused to close";
    dialog->reject();
}

// Replaces the text of a box the way a user does: select all, type.
void Retype(QWidget* box, const QString& text)
{
    QTest::keySequence(box, QKeySequence::SelectAll);
    QTest::keyClicks(box, text);
}

// One unit served on port 1, security on, and a configuration file that maps port 4 to a USB
// adapter.
class SettingsDialogsTest : public ::testing::Test {
protected:
    SettingsDialogsTest()
    {
        ini.setContents("[Serial]\nPort4=/dev/ttyUSB0\n");
        state.NumUnits = 1;
        state.MessageTime = 600;
        state.BufferSize = 10;
        state.SecurityEnabled = 1;
        state.Password = "Secret";
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            state.UnitPort[unit] = static_cast<int16_t>(unit);
            state.UnitName[unit] = QString::number(unit);
        }
        state.UnitEnabled[1] = true;
    }

    void runOptions(std::function<void(OptionsDialog*)> script)
    {
        WhenShown<OptionsDialog>(std::move(script));
        RunOptionsDialog(nullptr, state, ini.config, messages, questions, callbacks);
    }

    TempConfig ini;
    SharedState state;
    RecordingMessageBox messages;
    ScriptedQuestionBox questions;
    RecordingOptionsCallbacks recorded;
    QStringList& calls = recorded.calls;
    const OptionsCallbacks& callbacks = recorded.callbacks;
};

// A stable device name is long: the label shows its start and its end, which tell adapters
// apart, and keeps the whole path for the tooltip and assistive tools.
TEST_F(SettingsDialogsTest, PortSetUpShowsALongDevicePathByItsEnds)
{
    const QString byId =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    ini.setContents("[Serial]\nPort5=" + byId.toUtf8() + "\n");
    PortSetupDialog dialog(state, ini.config, messages);
    dialog.show();
    Retype(Find<QComboBox>(&dialog, QStringLiteral("cmb_port(1)"))->lineEdit(), "5");
    auto* device = Find<QLabel>(&dialog, QStringLiteral("lbl_device(1)"));
    // Inside its frame the label keeps half an "x" clear before the text.
    const QFontMetrics metrics = device->fontMetrics();
    EXPECT_LE(metrics.horizontalAdvance(device->text()),
              device->contentsRect().width() - metrics.horizontalAdvance(QLatin1Char('x')) / 2);
    EXPECT_TRUE(device->text().startsWith(u"/dev/")) << device->text().toStdString();
    EXPECT_TRUE(device->text().endsWith(u"-port0")) << device->text().toStdString();
    EXPECT_EQ(device->toolTip(), byId);
    EXPECT_EQ(device->accessibleDescription(), byId);
}

// Names stay as they were stored: one in an 8-bit character set (a file from an older system)
// survives the dialog byte for byte, and a name as long as the box takes comes back whole at the
// next start, whatever its characters take in bytes.
TEST_F(SettingsDialogsTest, PortSetUpKeepsTheNamesAsStored)
{
    const QByteArray latin1Name = "Kl\344rwerk S\374d";  // Latin-1
    ini.setContents("[Unit1]\nEnable=1\nPort=1\nName=" + latin1Name + "\n[Options]\nUnits=2\n");
    CommsPanel panel;
    LoadConfiguration(state, ini.config, panel, messages);
    PortSetupDialog dialog(state, ini.config, messages);
    dialog.show();
    EXPECT_EQ(Find<QLineEdit>(&dialog, QStringLiteral("txt_name(1)"))->text(),
              u"Kl\u00e4rwerk S\u00fcd");
    auto* name = Find<QLineEdit>(&dialog, QStringLiteral("txt_name(2)"));
    QTest::keySequence(name, QKeySequence::SelectAll);
    for (int typed = 0; typed < 80; ++typed)
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_Udiaeresis, QStringLiteral("\u00fc"), {});
    EXPECT_EQ(name->text(), QString(79, u'\u00fc')) << "the box takes 79 characters";
    ClickCloseMenu(&dialog);
    EXPECT_TRUE(ini.contents().contains("[Unit1]\nEnable=1\nPort=1\nName=" + latin1Name + "\n"))
        << ini.contents().toStdString();

    SharedState restarted;
    LoadConfiguration(restarted, ini.config, panel, messages);
    EXPECT_EQ(restarted.UnitName[1], u"Kl\u00e4rwerk S\u00fcd");
    EXPECT_EQ(restarted.UnitName[2], QString(79, u'\u00fc'));
    EXPECT_TRUE(messages.messages.empty());
}

// The unit count goes from 1 to 4 and no further. The title-bar close box of the options dialog
// cancels: the unit count changed meanwhile is given back, nothing is saved, and the ports the
// ticks closed are reopened.
TEST_F(SettingsDialogsTest, ClosingTheOptionsFromTheTitleBarCancels)
{
    questions.answers = {Answer::Yes};
    runOptions([this](OptionsDialog* dialog) {
        EXPECT_TRUE(state.OptionsOpen);
        state.PortsReady = true;  // as the ticks leave it while the dialog is up
        auto* spin = Find<SpinButton>(dialog, QStringLiteral("spn_units"));
        auto* shown = Find<QLabel>(dialog, QStringLiteral("lbl_units"));
        QTest::mouseClick(spin->downButton(), Qt::LeftButton);
        EXPECT_EQ(std::tuple(shown->text(), state.PortsReady), std::tuple(QString("1"), true));
        for (const char16_t* count : {u"2", u"3", u"4", u"4"}) {
            QTest::mouseClick(spin->upButton(), Qt::LeftButton);
            EXPECT_EQ(shown->text(), count);
        }
        EXPECT_EQ(state.NumUnits, 4);
        state.PortsReady = true;
        dialog->close();
    });
    EXPECT_EQ(state.NumUnits, 1);
    EXPECT_FALSE(state.OptionsOpen || state.PortsReady);
    EXPECT_EQ(calls, QStringList(QStringLiteral("refresh")));
    EXPECT_EQ(ini.contents(), "[Serial]\nPort4=/dev/ttyUSB0\n");
}

// The whole round as the person setting the server up does it, with the keyboard and the mouse:
// a second unit on the USB adapter, the longest history and a log file. The ticks keep the ports
// closed while the dialog is up, and acquisition resumes on the new ports after it. The number
// boxes refuse a fifth digit, the password box an 80th character.
TEST_F(SettingsDialogsTest, SettingUpASecondUnitAsAUserWould)
{
    PerUnit<FakeSerialPort*> fakes;
    ComPorts ports(FakePortFactory(fakes));
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    AcquisitionCycle cycle(state, ports, panel, clock, events, notice);
    cycle.Tick();
    ASSERT_TRUE(fakes[1]->isOpen());

    const QString logFile = ini.dir.filePath(QStringLiteral("grain.txt"));
    questions.answers = {Answer::Yes, Answer::Yes};  // the unit count, then the buffer size
    runOptions([&](OptionsDialog* dialog) {
        cycle.Tick();
        EXPECT_FALSE(fakes[1]->isOpen());

        Retype(Find(dialog, QStringLiteral("txt_timeout")), "99999");
        Retype(Find(dialog, QStringLiteral("txt_buffer_size")), "10000");
        QTest::mouseClick(Find<SpinButton>(dialog, QStringLiteral("spn_units"))->upButton(),
                          Qt::LeftButton);
        for (const char* box : {"chk_log", "chkLogRawData", "chk_demo"})
            QTest::mouseClick(Find<QCheckBox>(dialog, QLatin1String(box)), Qt::LeftButton, {},
                              QPoint(5, 5));
        Retype(Find(dialog, QStringLiteral("txtPassword")), "Grain42" + QString(73, u'x'));

        WhenShown<QFileDialog>([&](QFileDialog* files) {
            EXPECT_FALSE(files->testOption(QFileDialog::DontConfirmOverwrite));
            files->setDirectory(ini.dir.path());
            auto* name = Find<QLineEdit>(files, QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, "grain");  // the extension is added
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("cmd_browse")), Qt::LeftButton);
        EXPECT_EQ(Find<QLabel>(dialog, QStringLiteral("txt_file_name"))->text(), logFile);

        // Beside each port number, the device it stands for here; units above the count hidden.
        WhenShown<PortSetupDialog>([&](PortSetupDialog* setup) {
            EXPECT_FALSE(Find(setup, QStringLiteral("frame_port(3)"))->isVisible());
            QTest::mouseClick(Find<QCheckBox>(setup, QStringLiteral("chk_enabled(2)")),
                              Qt::LeftButton, {}, QPoint(5, 5));
            auto* port = Find<QComboBox>(setup, QStringLiteral("cmb_port(2)"))->lineEdit();
            auto* device = Find<QLabel>(setup, QStringLiteral("lbl_device(2)"));
            Retype(port, "x");
            EXPECT_EQ(device->text(), QString());
            Retype(port, "4");
            EXPECT_EQ(device->accessibleDescription(), u"/dev/ttyUSB0");
            Retype(Find(setup, QStringLiteral("txt_name(2)")), "Dryer");
            ClickCloseMenu(setup);
        });
        QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("cmd_ports")), Qt::LeftButton);
        cycle.Tick();
        EXPECT_FALSE(fakes[1]->isOpen() || fakes[2]->isOpen());
        ClickCloseMenu(dialog);
    });

    EXPECT_EQ(ini.contents(),
              "[Serial]\nPort4=/dev/ttyUSB0\n"
              "[Unit1]\nEnable=1\nPort=1\nName=1\n[Unit2]\nEnable=1\nPort=4\nName=Dryer\n"
              "[Unit3]\nEnable=0\nPort=3\nName=3\n[Unit4]\nEnable=0\nPort=4\nName=4\n"
              "[Settings]\nMessage time=9999\n[Options]\nLog=1\nRawLog=1\nFile=" +
                  QFile::encodeName(logFile) +
                  "\nBuffer_size=1000\nUnits=2\nSecEna=1\nSecStr=\xC7\xF2\xE1\xE9\xEE\xB4\xB2" +
                  QByteArray(72, '\xF8') + "\n");
    EXPECT_EQ(std::tuple(state.NumUnits, state.BufferSize, state.MessageTime, state.UnitPort[2],
                         state.UnitName[2], state.RawLogEnabled, state.DemoMode, state.Password),
              std::tuple(2, 1000, 9999, 4, "Dryer", true, true,
                         "Grain42" + QByteArray(72, 'x')));
    EXPECT_EQ(calls, QStringList({"label:*** Demo Mode Active ***", "view:1", "view:2", "view:3",
                                  "view:4", "log:1", "log:2", "log:3", "log:4", "refresh"}));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(state.OptionsOpen);

    cycle.Tick();
    EXPECT_TRUE(fakes[1]->isOpen() && fakes[2]->isOpen());
    EXPECT_EQ(std::tuple(fakes[1]->portNumber(), fakes[2]->portNumber()),
              std::tuple(int16_t{1}, int16_t{4}));
}

// Cancel, Escape and the title-bar close box leave the level as it was, logged on or not. A wrong
// password is refused and selected for retyping; the right one logs on.
TEST_F(SettingsDialogsTest, OnlyOkWithTheRightPasswordChangesTheLevel)
{
    const auto logOn = [this](std::function<void(LoginDialog*)> script) {
        WhenShown<LoginDialog>(std::move(script));
        return RunLogOn(nullptr, state, messages);
    };
    const auto password = [](QDialog* dialog) {
        return Find<QLineEdit>(dialog, QStringLiteral("txtPassword"));
    };
    const std::function<void(LoginDialog*)> leave[] = {
        [&](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("cmdCancel")),
                              Qt::LeftButton);
        },
        [&](LoginDialog* dialog) {
            QTest::keyClicks(password(dialog), "Wexo");
            QTest::keyClick(password(dialog), Qt::Key_Escape);
        },
        [](LoginDialog* dialog) { dialog->close(); },
    };
    for (const auto& script : leave) EXPECT_FALSE(logOn(script));
    EXPECT_TRUE(logOn([&](LoginDialog* dialog) {
        EXPECT_EQ(password(dialog)->echoMode(), QLineEdit::Password);
        QTest::keyClicks(password(dialog), "secret\r");
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, QStringLiteral("Invalid Password, try again!"));
        EXPECT_TRUE(dialog->isVisible() && !state.LoggedIn);
        EXPECT_EQ(password(dialog)->selectedText(), QStringLiteral("secret"));
        QTest::keyClicks(password(dialog), "Secret\r");  // replaces the selection
    }));
    for (const auto& script : leave) EXPECT_TRUE(logOn(script));
    EXPECT_EQ(state.AccessLevel, 1);
}

}  // namespace
}  // namespace grainlink::test
