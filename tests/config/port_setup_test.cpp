#include "config/port_setup.h"
#include "tests/config/settings_doubles.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

class PortSetupTest : public ::testing::Test {
protected:
    PortSetupTest()
    {
        state.ProductName = QStringLiteral("GrainLink");
        state.NumUnits = 4;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            state.UnitPort[unit] = static_cast<int16_t>(unit);
            state.UnitName[unit] = QStringLiteral("Unit %1").arg(unit);
        }
    }

    SharedState state;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
};

TEST_F(PortSetupTest, OnlyEnabledUnitsNeedAPortOfTheirOwnFrom1To10)
{
    // Each row: the port text of units 1..4, enabled where the text is marked with "+".
    const struct {
        std::array<const char*, 4> ports;
        bool valid;
    } rows[] = {
        {{"+3", "+3", "+1", "+2"}, false},   // shared by two enabled units
        {{"+3", "3", "+1", "3"}, true},      // shared with disabled units only
        {{"+11", "2", "3", "4"}, false},     // out of range
        {{"+0", "2", "3", "4"}, false},      // out of range
        {{"+abc", "2", "3", "4"}, false},    // not a number
        {{"+", "2", "3", "4"}, false},       // empty
        {{"+10", "abc", "", "+2.4"}, true},  // disabled units are not tested; 2.4 is port 2
        {{"+1", "+2", "+3", "+1"}, false},
    };
    for (const auto& row : rows) {
        PortPanels panels;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            const QString text = QString::fromLatin1(row.ports[unit - 1]);
            panels[unit] = {true, text.startsWith(u'+'), text.mid(text.startsWith(u'+')), {}};
        }
        EXPECT_EQ(PortChoicesValid(panels), row.valid) << row.ports[0] << " " << row.ports[1];
    }
}

// Units above the count are hidden and saved disabled, but keep their port and name; an enabled
// duplicate among them is therefore never tested.
TEST_F(PortSetupTest, HiddenUnitsAreSavedDisabledWithTheirPortAndName)
{
    state.NumUnits = 2;
    state.UnitEnabled[3] = state.UnitEnabled[4] = true;
    state.UnitPort[3] = state.UnitPort[4] = 7;
    PortPanels panels = OpenPortPanels(state);
    EXPECT_TRUE(panels[2].shown);
    EXPECT_FALSE(panels[3].shown || panels[3].enabled || panels[4].enabled);
    EXPECT_EQ(panels[3].name, QStringLiteral("Unit 3"));

    panels[1] = {true, true, QStringLiteral("5"), QStringLiteral("Mill")};
    panels[2] = {true, false, QStringLiteral("none"), QStringLiteral("Spare")};
    ASSERT_TRUE(ClosePortSetup(panels, state, config, messages));
    EXPECT_EQ(profile.writes, QStringList({"Unit1/Enable=1", "Unit1/Port=5", "Unit1/Name=Mill",
                                           "Unit2/Enable=0", "Unit2/Name=Spare", "Unit3/Enable=0",
                                           "Unit3/Port=7", "Unit3/Name=Unit 3", "Unit4/Enable=0",
                                           "Unit4/Port=7", "Unit4/Name=Unit 4"}));
    EXPECT_TRUE(state.UnitEnabled[1]);
    EXPECT_FALSE(state.UnitEnabled[2] || state.UnitEnabled[3] || state.UnitEnabled[4]);
    EXPECT_EQ(std::tuple(state.UnitPort[1], state.UnitPort[2], state.UnitName[2]),
              std::tuple(int16_t{5}, int16_t{2}, QStringLiteral("Spare")));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PortSetupTest, InvalidChoicesChangeNothing)
{
    PortPanels panels = OpenPortPanels(state);
    panels[1].enabled = panels[2].enabled = true;
    panels[2].port = QStringLiteral("1");
    panels[3].name = QStringLiteral("Changed");
    EXPECT_FALSE(ClosePortSetup(panels, state, config, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("Invalid ports selected"));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(profile.writes.isEmpty());
    EXPECT_EQ(state.UnitName[3], QStringLiteral("Unit 3"));
    EXPECT_FALSE(state.UnitEnabled[1]);
}

}  // namespace
}  // namespace grainlink::test
