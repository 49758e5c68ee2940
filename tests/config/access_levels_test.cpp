#include "config/access_levels.h"

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

struct Access {
    bool loggedIn;
    int16_t level;
    bool operator==(const Access&) const = default;
};
constexpr Access kLocked{false, 0};
constexpr Access kUser{true, 1};
constexpr Access kService{true, 2};

TEST(AccessLevelsTest, LogOnComparesExactlyAndARefusalKeepsTheLevel)
{
    const struct {
        const char* configured;
        Access before;
        const char* typed;
        std::optional<int16_t> accepted;
        Access after;
    } rows[] = {
        {"Secret", kLocked, "Secret", 1, kUser},
        {"Secret", kLocked, "Wexo", 2, kService},
        {"Secret", kService, "Secret", 1, kUser},  // logging on again sets the new level
        {"Secret", kUser, "Wexo", 2, kService},
        {"Secret", kUser, "secret", {}, kUser},         // letter case counts; the user stays on
        {"Secret", kService, "Secret ", {}, kService},  // so does a trailing blank
        {"Secret", kLocked, "wexo", {}, kLocked},
        {"Secret", kLocked, "", {}, kLocked},
        {"", kLocked, "", 1, kUser},          // an empty password set by hand in the file
        {"Wexo", kLocked, "Wexo", 1, kUser},  // the configured password is tried first
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.configured) + " / " + row.typed);
        SharedState state;
        state.Password = row.configured;
        state.LoggedIn = row.before.loggedIn;
        state.AccessLevel = row.before.level;
        EXPECT_EQ(LogOn(state, QString::fromLatin1(row.typed)), row.accepted);
        EXPECT_EQ((Access{state.LoggedIn, state.AccessLevel}), row.after);
    }
}

}  // namespace
}  // namespace grainlink::test
