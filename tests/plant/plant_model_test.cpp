// The plant model's state rules and event texts, fed directly as the server feeds it: each
// transition is recorded once per change, and the tiles show what the data windows show.
#include "plant/plant_model.h"
#include "config/access_levels.h"
#include "tests/support/test_doubles.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace grainlink::test {
namespace {

using Texts = std::vector<std::string>;

// Units 1 ("Line A", port 3) and 2 served, security off, the server started.
class PlantModelTest : public ::testing::Test {
protected:
    PlantModelTest()
    {
        state.NumUnits = 2;
        state.UnitEnabled[1] = state.UnitEnabled[2] = true;
        state.UnitName[1] = "Line A";
        state.UnitName[2] = "2";
        state.UnitPort[1] = 3;
        state.UnitPort[2] = 2;
        state.LoggedIn = true;
        state.AccessLevel = 1;
        model.serverStarted("Version 2.0");
        seen = model.events().size();
    }

    // The events since the last call, oldest first, as "<unit> <event>: <detail>".
    std::vector<std::string> newEvents()
    {
        std::vector<std::string> texts;
        for (qsizetype row = model.events().size() - 1 - seen; row >= 0; --row) {
            const PlantEvent& event = model.events().at(row);
            texts.push_back((QStringLiteral("%1 %2").arg(event.unit).arg(event.event) +
                             (event.detail.isEmpty() ? QString() : ": " + event.detail))
                                .toStdString());
        }
        seen = model.events().size();
        return texts;
    }

    // A record from the instrument with these flags set (a fault when any is).
    void receive(int unit, std::initializer_list<Item> set = {}, const QString& temperature = "21")
    {
        ItemTable& table = items[unit];
        for (Item flag : kAlarmFlags)
            table.setText(flag, std::find(set.begin(), set.end(), flag) != set.end() ? "1" : "0");
        table.setText(Item::status, set.size() > 0 ? "Fault" : "OK");
        table.setText(Item::lbl_error, QString::number(set.size() > 0 ? 16 : 0));
        table.setText(Item::ISOCode4um, "16.5");
        table.setText(Item::Counts21um, "5.5");
        table.setText(Item::Temperature, temperature);
        table.setText(Item::FlowIndex, "-1");
        model.recordStored(unit, false);
    }
    void demoRecord(int unit)
    {
        for (Item flag : kAlarmFlags) items[unit].setText(flag, "0");
        items[unit].setText(Item::status, "DEMO");
        model.recordStored(unit, true);
    }

    SharedState state;
    ItemTables items;
    FakeClock clock;
    PlantModel model{state, items, clock};
    qsizetype seen = 0;
};

TEST_F(PlantModelTest, PortsAndSilencesAreRecordedOncePerChange)
{
    EXPECT_EQ(model.state(1), UnitState::Stale) << "no record yet";
    for (int i = 0; i < 3; ++i) model.portUnavailable(1, "cannot open /dev/ttyUSB0: busy");
    EXPECT_EQ(model.state(1), UnitState::PortLost);
    model.portOpened(1);
    model.valuesInvalid(1);
    EXPECT_EQ(model.state(1), UnitState::Stale);
    for (int i = 0; i < 3; ++i) {
        model.unitSilent(1, 600);
        model.valuesInvalid(1);
    }
    receive(1);
    EXPECT_EQ(model.state(1), UnitState::Live);
    receive(1);
    model.portOpened(2);  // opened without an outage
    model.unitSilent(2, 5);
    EXPECT_EQ(newEvents(),
              (Texts{"1 Port lost: cannot open /dev/ttyUSB0: busy", "1 Port back: port 3",
                     "1 Stale: no record for 600 s", "1 Live: records again",
                     "2 Port opened: port 2", "2 Stale: no record for 5 s"}));
    EXPECT_EQ(model.events().at(0).severity, EventSeverity::Warning);
    EXPECT_EQ(model.events().at(0).unitName, "2");

    // A silence goes on over a reopened port: stale once until a record comes.
    model.portOpened(2);
    model.unitSilent(2, 5);
    EXPECT_EQ(newEvents(), (Texts{"2 Port opened: port 2"}));
}

// Flags are compared with the instrument's last record, across stale values; generated records
// and the invalid markers say nothing about the instrument.
TEST_F(PlantModelTest, AlarmFlagsAndTheStatusAreRecordedWhenTheyChange)
{
    receive(1, {Item::TempHigh});
    EXPECT_EQ(model.state(1), UnitState::Alarm);
    receive(1, {Item::TempHigh});
    receive(1, {Item::TempHigh, Item::Flow});
    EXPECT_EQ(model.unit(1).alarms, (QStringList{"TempHigh", "Flow"}));
    model.valuesInvalid(1);
    EXPECT_EQ(model.state(1), UnitState::Stale);
    EXPECT_TRUE(model.unit(1).alarms.isEmpty());
    demoRecord(1);
    EXPECT_EQ(model.state(1), UnitState::Demo);
    receive(1, {Item::Flow});
    receive(1);
    EXPECT_EQ(model.state(1), UnitState::Live);
    EXPECT_EQ(newEvents(),
              (Texts{"1 Alarm set: TempHigh", "1 Status Fault: error code 16", "1 Alarm set: Flow",
                     "1 Alarm cleared: TempHigh", "1 Alarm cleared: Flow", "1 Status OK"}));
}

TEST_F(PlantModelTest, AnAbandonedRecordIsRecordedOncePerReasonUntilARecordComesThrough)
{
    QSignalSpy changed(&model, &PlantModel::unitChanged);
    for (const char* reason :
         {"no end of message", "no end of message", "bad data: x", "no end of message"})
        model.inputDiscarded(1, reason);
    receive(1);
    model.inputDiscarded(1, "no end of message");
    EXPECT_EQ(
        newEvents(),
        (Texts{"1 Record abandoned: no end of message", "1 Record abandoned: bad data: x",
               "1 Record abandoned: no end of message", "1 Record abandoned: no end of message"}));
    EXPECT_EQ(changed.size(), 6) << "every discard and record may move the RX count";
}

TEST_F(PlantModelTest, SettingsAccessAndTheOptionsDialogAreRecordedWhenTheyChange)
{
    QSignalSpy status(&model, &PlantModel::statusChanged);
    QSignalSpy units(&model, &PlantModel::unitsChanged);
    QSignalSpy ages(&model, &PlantModel::agesChanged);
    for (int i = 0; i < 3; ++i) model.tick();
    EXPECT_TRUE(newEvents().empty()) << "nothing changed";
    EXPECT_EQ(ages.size(), 3);

    state.OptionsOpen = true;
    model.tick();
    EXPECT_EQ(model.state(1), UnitState::Paused);
    state.DemoMode = true;
    state.LogEnabled = true;
    state.NumUnits = 3;
    state.UnitEnabled[3] = true;
    state.UnitEnabled[2] = false;
    state.UnitName[1] = "Line B";
    state.OptionsOpen = false;
    model.settingsChanged();
    EXPECT_EQ(model.units(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(units.size(), 1);
    EXPECT_EQ(model.unit(1).name, "Line B");
    EXPECT_EQ(model.state(1), UnitState::Stale);
    EXPECT_EQ(model.state(2), UnitState::Disabled);
    EXPECT_EQ(model.state(4), UnitState::Disabled);

    LogOff(state);
    model.settingsChanged();
    EXPECT_EQ(AccessText(model.status().accessLevel), "logged off");
    state.LoggedIn = true;
    state.AccessLevel = 2;
    model.settingsChanged();
    state.DemoMode = false;
    model.settingsChanged();
    EXPECT_EQ(newEvents(), (Texts{"0 Options opened: acquisition paused", "0 Demo mode on",
                                  "0 Data log on", "0 Options closed: acquisition resumed",
                                  "0 Logged off", "0 Logged on: service", "0 Demo mode off"}));
    EXPECT_EQ(status.size(), 4);
    EXPECT_EQ(AccessText(model.status().accessLevel), "service");
    EXPECT_TRUE(model.status().dataLog);
}

TEST_F(PlantModelTest, TilesShowTheDataWindowsTextsAndNoDataForStaleValues)
{
    state.UnitData[1].RxCount = 7;
    EXPECT_EQ(model.unit(1).isoCodes[0].text, "no data");
    EXPECT_TRUE(model.unit(1).ageText.isEmpty());

    receive(1, {}, "-1");  // -1 °C is a temperature, -1 as a flow index is no data
    clock.advanceSeconds(12);
    UnitView view = model.unit(1);
    EXPECT_EQ(view.isoCodes[0].text, "16.5");
    EXPECT_EQ(view.isoCodes[0].number, 16.5);
    EXPECT_EQ(view.counts[3].text, "5.5");
    EXPECT_EQ(view.counts[0].text, "no data") << "a value the record left empty";
    EXPECT_EQ(view.temperature.text, "-1");
    EXPECT_EQ(view.temperature.number, -1);
    EXPECT_EQ(view.flowIndex.text, "no data");
    EXPECT_FALSE(view.flowIndex.number.has_value());
    EXPECT_EQ(view.ageText, "12 s ago");
    EXPECT_EQ(view.lastRecordText, GeneralDateText(clock.now().addSecs(-12)));
    EXPECT_EQ(view.rxCount, 7);

    state.OptionsOpen = true;
    model.tick();
    EXPECT_EQ(model.unit(1).isoCodes[0].text, "16.5") << "paused keeps the last values";
    state.OptionsOpen = false;
    model.tick();
    model.valuesInvalid(1);
    view = model.unit(1);
    EXPECT_EQ(view.isoCodes[0].text, "no data");
    EXPECT_FALSE(view.temperature.number.has_value());
    EXPECT_EQ(view.ageText, "12 s ago") << "the last record stays";
}

TEST_F(PlantModelTest, ServerBrokerAndSideFileEvents)
{
    model.sideFileChanged(1, "RawData1.txt", "No space left on device");
    model.sideFileChanged(1, "RawData1.txt", "");
    model.brokerChanged(false, "cannot connect to localhost:1883: Connection refused");
    EXPECT_EQ(BrokerText(model.status()),
              "cannot connect to localhost:1883: Connection refused, retrying");
    model.brokerChanged(true, "connected to localhost:1883");
    EXPECT_EQ(BrokerText(model.status()), "connected to localhost:1883");
    model.serverStopping();
    model.serverStopping();
    model.brokerChanged(false, "disconnected from localhost:1883");
    EXPECT_EQ(newEvents(),
              (Texts{"1 File failing: RawData1.txt: No space left on device",
                     "1 File written again: RawData1.txt",
                     "0 Broker lost: cannot connect to localhost:1883: Connection refused",
                     "0 Broker connected: connected to localhost:1883", "0 Server stopping"}));

    // What the broker said before the start is recorded after it; demonstration mode given on
    // the command line too.
    PlantModel fresh(state, items, clock);
    fresh.brokerChanged(false, "cannot connect to a:1: refused");
    fresh.brokerChanged(true, "connected to a:1");
    state.DemoMode = true;
    fresh.serverStarted("Version 2.0");
    QStringList started;
    for (const PlantEvent& event : fresh.events().events()) started.prepend(event.event);
    EXPECT_EQ(started, (QStringList{"Server started", "Broker connected", "Demo mode on"}));
    EXPECT_EQ(BrokerText(PlantModel(state, items, clock).status()), "connecting");
}

}  // namespace
}  // namespace grainlink::test
