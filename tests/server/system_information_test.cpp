#include "server/system_information.h"

#include "tests/config/temp_config.h"

namespace grainlink::test {
namespace {

// What a support request needs: the configuration file, each port's device, each unit, the
// broker's state.
TEST(SystemInformationTest, NamesTheFileThePortsTheUnitsAndTheBroker)
{
    TempConfig config;
    const QString present = config.dir.filePath("ttyUSB0");
    QFile(present).open(QIODevice::WriteOnly);
    const QString link = config.dir.filePath("by-id");
    ASSERT_TRUE(QFile::link(present, link));
    config.setContents("[Serial]\nPort2=" + present.toUtf8() + "\nPort3=" + link.toUtf8() +
                       "\nPort4=/nonexistent/ttyX\n");
    SharedState state;
    state.NumUnits = 1;
    state.UnitEnabled[1] = state.UnitEnabled[2] = true;
    state.UnitName[1] = "Line 3";
    state.UnitPort[1] = 7;
    state.PortOpenOk[1] = true;
    CommsPanel panel;
    panel.setText(CommsControl::lbl_last_msg_time, 1, "06/12/2026 14:03:05");

    const QString text = SystemInformationText(
        {state, config.config, panel, config.path, {"broker.example", 1884, "PLANT2"},
         {false, "cannot connect to broker.example:1884: Connection refused"},
         PlatformVersions{"Built", "Running", "6.4.2", "2.0.11"}});
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) line = line.simplified();
    for (const QString& expected :
         QStringList{"File: " + config.path, "Port 2: " + present + " exists",
          "Port 3: " + link + " exists (link to " + present + ")",
          "Port 4: /nonexistent/ttyX missing",
          "Unit 1: name \"Line 3\", enabled, served, port 7 open, last message "
          "06/12/2026 14:03:05",
          // Enabled, but above the unit count.
          "Unit 2: name \"\", enabled, not served, port 0 closed, last message none",
          "State: not connected (cannot connect to broker.example:1884: Connection refused)"})
        EXPECT_TRUE(lines.contains(expected)) << expected.toStdString() << " in\n"
                                              << text.toStdString();
}

}  // namespace
}  // namespace grainlink::test
