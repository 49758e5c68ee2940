#include "server/system_information.h"

#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

// The lines of the text that start with the given label (after the indent).
QStringList LinesOf(const QString& text, const QString& label)
{
    QStringList found;
    for (const QString& line : text.split(u'\n'))
        if (line.trimmed().startsWith(label)) found << line.simplified();
    return found;
}

struct SystemInformationTest : ::testing::Test {
    QString text()
    {
        return SystemInformationText({state, config.config, panel, config.path, broker, status,
                                      PlatformVersions{"Built", "Running", "6.4.2", "2.0.11"}});
    }

    TempConfig config;
    SharedState state;
    CommsPanel panel;
    MqttSettings broker{"broker.example", 1884, "PLANT2"};
    BrokerStatus status;
};

TEST_F(SystemInformationTest, NamesTheConfigurationFileAndWhetherItIsThere)
{
    EXPECT_EQ(
        LinesOf(text(), "File:"),
        QStringList{"File: " + config.path + " (not found: every setting takes its default)"});
    config.setContents("[Options]\nUnits=2\n");
    EXPECT_EQ(LinesOf(text(), "File:"), QStringList{"File: " + config.path});
}

TEST_F(SystemInformationTest, ListsEveryPortNumberWithItsDeviceAndWhetherItExists)
{
    const QString present = config.dir.filePath("ttyUSB0");
    QFile(present).open(QIODevice::WriteOnly);
    const QString link = config.dir.filePath("by-id");
    ASSERT_TRUE(QFile::link(present, link));
    config.setContents("[Serial]\nPort2=" + present.toUtf8() + "\nPort3=" + link.toUtf8() +
                       "\nPort4=/nonexistent/ttyX\n");

    const QStringList ports = LinesOf(text(), "Port ");
    ASSERT_EQ(ports.size(), 10);
    EXPECT_EQ(ports[1], "Port 2: " + present + " exists");
    EXPECT_EQ(ports[2], "Port 3: " + link + " exists (link to " + present + ")");
    EXPECT_EQ(ports[3], "Port 4: /nonexistent/ttyX missing");
    EXPECT_TRUE(ports[9].startsWith("Port 10: /dev/ttyS9 ")) << ports[9].toStdString();
}

TEST_F(SystemInformationTest, DescribesEachUnitAndTheBroker)
{
    state.NumUnits = 1;
    state.UnitEnabled[1] = state.UnitEnabled[2] = true;
    state.UnitName[1] = "Line 3";
    state.UnitPort[1] = 7;
    state.PortOpenOk[1] = true;
    panel.setText(CommsControl::lbl_last_msg_time, 1, "06/12/2026 14:03:05");
    status = {false, "cannot connect to broker.example:1884: Connection refused"};

    const QString info = text();
    EXPECT_EQ(LinesOf(info, "Unit 1:"),
              QStringList{"Unit 1: name \"Line 3\", enabled, served, port 7 open, last message "
                          "06/12/2026 14:03:05"});
    // Enabled, but above the unit count.
    EXPECT_EQ(LinesOf(info, "Unit 2:"),
              QStringList{"Unit 2: name \"\", enabled, not served, port 0 closed, last message "
                          "none"});
    EXPECT_EQ(LinesOf(info, "Address:"), QStringList{"Address: broker.example:1884"});
    EXPECT_EQ(LinesOf(info, "Topic root:"), QStringList{"Topic root: PLANT2"});
    EXPECT_EQ(LinesOf(info, "State:"),
              QStringList{"State: not connected (cannot connect to broker.example:1884: "
                          "Connection refused)"});
    EXPECT_EQ(LinesOf(info, "libmosquitto:"), QStringList{"libmosquitto: 2.0.11"});
}

}  // namespace
}  // namespace grainlink::test
