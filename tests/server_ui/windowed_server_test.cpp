// The server with its windows, started as the splash window starts it: the main window's panel,
// menus in their start state, the security set-up and the guarded way out.
#include "server/ui/windowed_server.h"
#include "config/ui/login_dialog.h"
#include "server/ui/close_window.h"
#include "server/ui/server_window.h"
#include "tests/dde/test_broker.h"
#include "tests/support/modal_script.h"
#include "tools/sim/serial_line.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

// A loopback port nobody listens on, so that the broker connection fails at once.
quint16 UnusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// How many of this process's file descriptors are open on the device.
int OpenDescriptors(const QString& device)
{
    int count = 0;
    for (QDirIterator fds(QStringLiteral("/proc/self/fd"), QDir::System); fds.hasNext();)
        if (QFileInfo(fds.next()).symLinkTarget() == device) ++count;
    return count;
}

class WindowedServerTest : public ::testing::Test {
protected:
    ~WindowedServerTest() override
    {
        qunsetenv("GRAINLINK_CONFIG_DIR");
        QDir::setCurrent(m_previousDir);
    }

    // Starts the server as the splash window's timer would, over this INI text; `mqttKeys` go to
    // the [MQTT] section after the broker's address.
    void start(const QByteArray& ini, bool demo = false, quint16 brokerPort = UnusedPort(),
               const QByteArray& mqttKeys = {}, bool overview = false)
    {
        QFile file(m_dir.filePath("GRAINLINK.INI"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini + "[MQTT]\nHost=127.0.0.1\nPort=" + QByteArray::number(brokerPort) + "\n" +
                   mqttKeys);
        file.close();
        qputenv("GRAINLINK_CONFIG_DIR", m_dir.path().toUtf8());
        QDir::setCurrent(m_dir.path());
        server = std::make_unique<WindowedServer>(ServerOptions{.demo = demo, .overview = overview},
                                                  [this] { ++quits; });
        server->LoadMainWindow();
    }

    template <typename T>
    T* child(const QString& name)
    {
        return server->window()->findChild<T*>(name);
    }
    QAction* item(const QString& name) { return child<QAction>(name); }
    QWidget* topLevel(const QString& windowName)
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == windowName) return window;
        ADD_FAILURE() << "no window " << windowName.toStdString();
        return nullptr;
    }
    bool shown(const QString& windowName)
    {
        const QWidget* window = topLevel(windowName);
        return window && window->isVisible();
    }
    void logOn(const char* password)
    {
        WhenShown<LoginDialog>([password](LoginDialog* login) {
            QTest::keyClicks(login->findChild<QLineEdit*>("txtPassword"), password);
            QTest::keyClick(login, Qt::Key_Return);
        });
        item("mnu_login")->trigger();
    }
    bool unlocked() { return item("mnu_close")->isEnabled() && item("mnu_options")->isEnabled(); }
    // Whether unit 1's data window, activated now, offers its Display menu.
    bool displayMenuOffered()
    {
        QWidget* data = topLevel("frm_data1");
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(data, &activation);
        return data->findChild<QMenu*>("mnu_display")->menuAction()->isVisible();
    }

    std::unique_ptr<WindowedServer> server;
    int quits = 0;

private:
    QTemporaryDir m_dir;
    QString m_previousDir = QDir::currentPath();
};

TEST_F(WindowedServerTest, WithoutSecurityEverythingIsOpenAndOnlyTheServedUnitsAreListed)
{
    const quint16 webPort = UnusedPort();
    start("[Options]\nUnits=2\n[Unit2]\nName=Line B\n[Product_Info]\nProduct_Name=Plant 4\n"
          "[HTTP]\nListen=127.0.0.1:" +
              QByteArray::number(webPort) + "\n",
          true);
    EXPECT_EQ(server->window()->windowTitle(), "Plant 4");
    EXPECT_TRUE(item("mnu_close")->isEnabled() && item("mnu_options")->isEnabled());
    EXPECT_FALSE(child<QMenu>("mnu_security")->menuAction()->isVisible());
    EXPECT_EQ(child<QGroupBox>("frame_comms(2)")->title(), "Unit 2 Rx Data (Disabled)  Line B");
    EXPECT_FALSE(child<QGroupBox>("frame_comms(3)")->isVisible());
    EXPECT_TRUE(item("mnu_data(2)")->isVisible());
    EXPECT_FALSE(item("mnu_data(3)")->isVisible() || item("mnu_graph(3)")->isVisible());
    EXPECT_EQ(child<QLabel>("lblDemoModeActive")->text(), "*** Demo Mode Active ***");
    EXPECT_FALSE(shown("frm_table1")) << "the table windows are made hidden";

    item("mnu_data(2)")->trigger();
    EXPECT_TRUE(shown("frm_data2"));
    item("mnu_all_graphs")->trigger();  // no tip before all graphs while the key is missing
    EXPECT_TRUE(shown("frm_table1") && shown("frm_table2"));
    EXPECT_FALSE(shown("frm_table3"));

    // The web page and its API come from the windowed server as from the headless one.
    QTcpSocket web;
    web.connectToHost(QHostAddress::LocalHost, webPort);
    ASSERT_TRUE(web.waitForConnected(5000));
    web.write("GET /api/v1/units HTTP/1.1\r\nHost: localhost\r\n\r\n");
    QByteArray reply;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (reply += web.readAll()).contains("Line B"); }, 5000));
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200")) << reply.toStdString();
}

// The overview opens at start when the command line or the INI file asks, else from the View
// menu, and follows the unit count and names of the running server.
TEST_F(WindowedServerTest, TheOverviewOpensAtStartWhenAskedElseFromTheMenu)
{
    const struct {
        const char* key;  // [Options] Overview; nullptr: missing
        bool option;      // --overview
        bool atStart;
    } cases[] = {{nullptr, false, false}, {"0", false, false},   {"1", false, true},
                 {"x", false, false},     {nullptr, true, true}, {"0", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.key ? c.key : "missing") << " " << c.option);
        start("[Options]\nUnits=2\n" + (c.key ? "Overview=" + QByteArray(c.key) + "\n" : ""), false,
              UnusedPort(), {}, c.option);
        EXPECT_EQ(server->overview() && server->overview()->isVisible(), c.atStart);
        server.reset();
    }

    start("[Options]\nUnits=2\n[Unit2]\nName=Line B\n");
    item("mnu_overview")->trigger();
    QWidget* overview = topLevel("frm_overview");
    ASSERT_TRUE(overview && overview->isVisible());
    EXPECT_NE(overview->findChild<QWidget*>("unit2"), nullptr);
    EXPECT_EQ(overview->findChild<QWidget*>("unit3"), nullptr);
    server->server().core().state().NumUnits = 3;
    server->server().core().state().UnitName[3] = "Line C";
    server->server().core().plant().tick();
    ASSERT_NE(overview->findChild<QWidget*>("unit3"), nullptr);
    EXPECT_EQ(overview->findChild<QWidget*>("unit3")->accessibleName(),
              "Unit 3 (Line C): Disabled");
}

// Locked, the main window's close request is refused with a message. Logged on, Close and
// Options are open and the close request waits for the confirmation, whose Cancel (the default,
// so that Enter never stops the server) changes nothing. The service password also offers the
// data windows' Display menu; a log off from either level locks everything again.
TEST_F(WindowedServerTest, WithSecurityTheServerStopsOnlyAfterALogOnAndAConfirmation)
{
    // The password "abcd", scrambled as it is stored.
    start("[Options]\nSecEna=1\nSecStr=\xe1\xe2\xe3\xe4\n");
    EXPECT_TRUE(child<QMenu>("mnu_security")->menuAction()->isVisible());
    EXPECT_FALSE(item("mnu_close")->isEnabled() || item("mnu_options")->isEnabled());
    QString refusal;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        refusal = box->text();
        box->accept();
    });
    server->window()->close();
    EXPECT_EQ(refusal, "You must logon to close the program");

    logOn("abcd");
    EXPECT_TRUE(unlocked());
    WhenShown<CloseWindow>([](CloseWindow* confirmation) {
        auto* cancel = confirmation->findChild<QPushButton*>("CancelButton");
        EXPECT_TRUE(cancel->isDefault());
        cancel->click();
    });
    server->window()->close();
    EXPECT_EQ(std::tuple(quits, server->window()->isVisible()), std::tuple(0, true));

    for (const char* password : {"abcd", "Wexo"}) {
        SCOPED_TRACE(password);
        logOn(password);
        EXPECT_EQ(std::tuple(unlocked(), displayMenuOffered()),
                  std::tuple(true, password == std::string("Wexo")));
        item("mnu_logoff")->trigger();
        EXPECT_FALSE(item("mnu_close")->isEnabled() || item("mnu_options")->isEnabled());
        EXPECT_FALSE(displayMenuOffered());
    }
}

// The Close command shows its one confirmation without waiting; Yes ends the program with its
// ports closed and the broker told.
TEST_F(WindowedServerTest, YesClosesTheOpenPortsAndTellsTheBrokerBeforeTheEnd)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttSubscriber subscriber(broker.port(), "GRAINLINK/status");
    const auto line = sim::SerialLine::OpenPseudoTerminal();
    start("[Unit1]\nEnable=1\n[Serial]\nPort1=" + line->path().toUtf8() + "\n", false,
          broker.port());
    ASSERT_TRUE(subscriber.waitFor("GRAINLINK/status", "online"));
    server->server().core().cycle().Tick();  // opens the port
    ASSERT_EQ(OpenDescriptors(line->path()), 2) << "the line's own end and the server's";

    item("mnu_close")->trigger();
    item("mnu_close")->trigger();
    EXPECT_TRUE(shown("frm_close"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window stays usable";
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "frm_close")
            window->findChild<QPushButton*>("OKButton")->click();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(OpenDescriptors(line->path()), 1) << "the server's end is closed";
    EXPECT_TRUE(subscriber.waitFor("GRAINLINK/status", "offline"));
}

// The topic the data window's help names, followed by an item name, is where a subscriber finds
// that item's value, under the configured root.
TEST_F(WindowedServerTest, TheDataWindowsHelpNamesTheTopicOfItsValues)
{
    TestBroker broker;
    ASSERT_TRUE(broker.start());
    MqttSubscriber subscriber(broker.port(), "plant/#");
    start("", false, broker.port(), "TopicRoot=plant/hall2\n");
    const QString help = server->dataWindows().window(2).findChild<QLabel*>("lbl_help")->text();
    const QString before = QStringLiteral("subscribe to\n");
    const qsizetype start = help.indexOf(before) + before.size();
    const QString topic = help.mid(start, help.indexOf(u' ', start) - start);
    EXPECT_EQ(topic, "plant/hall2/UNIT2/");
    EXPECT_TRUE(subscriber.waitFor((topic + "SystemID").toUtf8(), "FFFF"));
}

}  // namespace
}  // namespace grainlink::test
