// The rules behind the settings: who may log on, which stored flow factor is taken, which port
// choices are valid and what the port set-up stores.
#include "config/access_levels.h"
#include "config/flow_factor.h"
#include "config/port_setup.h"
#include "tests/config/settings_doubles.h"
#include "tests/config/temp_config.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

// Logging on again sets the new level; a refusal keeps the level, logged on or not. Log off
// (no password typed) locks from every level.
TEST(AccessLevelsTest, LogOnComparesExactlyARefusalKeepsTheLevelAndLogOffLocks)
{
    using Access = std::pair<bool, int16_t>;  // LoggedIn, AccessLevel
    const Access locked{false, 0}, user{true, 1}, service{true, 2};
    const std::optional<int16_t> refused;
    const struct {
        const char* configured;
        Access before;
        const char* typed;
        std::optional<int16_t> result;
        Access after;
    } rows[] = {
        // clang-format off
        {"Secret", locked, "Secret", 1, user},     {"Secret", locked, "Wexo", 2, service},
        {"Secret", service, "Secret", 1, user},    {"Secret", user, "Wexo", 2, service},
        {"Secret", user, "secret", refused, user}, {"Secret", service, "Secret ", refused, service},
        {"Secret", locked, "wexo", refused, locked}, {"Secret", locked, "", refused, locked},
        {"", locked, "", 1, user},                 // an empty password set by hand in the file
        {"Wexo", locked, "Wexo", 1, user},         // the configured password is tried first
        {"Secret", service, nullptr, refused, locked}, {"Secret", user, nullptr, refused, locked},
        {"Secret", locked, nullptr, refused, locked},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.configured) + " / " + (row.typed ? row.typed : "log off"));
        SharedState state;
        state.Password = row.configured;
        std::tie(state.LoggedIn, state.AccessLevel) = row.before;
        if (row.typed)
            EXPECT_EQ(LogOn(state, QString::fromLatin1(row.typed)), row.result);
        else
            LogOff(state);
        EXPECT_EQ(Access(state.LoggedIn, state.AccessLevel), row.after);
    }
}

// A stored factor is taken when its first three characters are numeric (blanks around them
// allowed), otherwise the default is; the text comes back cut to nine characters.
TEST(FlowFactorTest, StoredTextIsCheckedByItsFirstThreeCharacters)
{
    TempConfig ini;
    const char* const factors[][2] = {
        {"0.00075abc", "0.00075ab"}, {"1e-3", "0.00075"}, {"0.5x", "0.5x"}, {"12 x", "12 x"}};
    for (const auto& f : factors) {
        ASSERT_TRUE(WriteFlowFactor(ini.config, 2, QString::fromLatin1(f[0])));
        EXPECT_EQ(ReadFlowFactor(ini.config, 2), f[1]) << f[0];
    }
}

TEST(PortSetupTest, OnlyEnabledUnitsNeedAPortOfTheirOwnFrom1To10)
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

// Invalid choices change nothing. Units above the count are hidden and saved disabled, but keep
// their port and name; an enabled duplicate among them is therefore never tested.
TEST(PortSetupTest, HiddenUnitsAreSavedDisabledWithTheirPortAndName)
{
    SharedState state;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    state.NumUnits = 2;
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        state.UnitPort[unit] = static_cast<int16_t>(unit > 2 ? 7 : unit);
        state.UnitName[unit] = QStringLiteral("Unit %1").arg(unit);
        state.UnitEnabled[unit] = unit > 2;
    }
    PortPanels panels = OpenPortPanels(state);
    EXPECT_FALSE(panels[3].shown || panels[3].enabled || panels[4].enabled);
    panels[1] = {true, true, QStringLiteral("2"), QStringLiteral("Mill")};
    panels[2] = {true, true, QStringLiteral("2"), QStringLiteral("Spare")};
    EXPECT_FALSE(ClosePortSetup(panels, state, config, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(std::tuple(messages.messages[0].text, messages.messages[0].icon),
              std::tuple(QStringLiteral("Invalid ports selected"), MessageIcon::Critical));
    EXPECT_EQ(std::tuple(profile.writes.size(), state.UnitName[1], state.UnitEnabled[1]),
              std::tuple(0, QStringLiteral("Unit 1"), false));

    panels[1].port = QStringLiteral("5");
    panels[2] = {true, false, QStringLiteral("none"), QStringLiteral("Spare")};
    ASSERT_TRUE(ClosePortSetup(panels, state, config, messages));
    EXPECT_EQ(profile.writes, QStringList({"Unit1/Enable=1", "Unit1/Port=5", "Unit1/Name=Mill",
                                           "Unit2/Enable=0", "Unit2/Name=Spare", "Unit3/Enable=0",
                                           "Unit3/Port=7", "Unit3/Name=Unit 3", "Unit4/Enable=0",
                                           "Unit4/Port=7", "Unit4/Name=Unit 4"}));
    EXPECT_EQ(std::tuple(state.UnitEnabled[1], state.UnitEnabled[2], state.UnitEnabled[3]),
              std::tuple(true, false, false));
    EXPECT_EQ(std::tuple(state.UnitPort[1], state.UnitPort[2], state.UnitName[2]),
              std::tuple(int16_t{5}, int16_t{2}, QStringLiteral("Spare")));
}

}  // namespace
}  // namespace grainlink::test
