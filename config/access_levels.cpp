#include "config/access_levels.h"

namespace grainlink {
namespace {

// Lets the service engineer reach the data windows' service views on any installation.
constexpr QLatin1String kServicePassword("Wexo");

}  // namespace

std::optional<int16_t> LogOn(SharedState& state, const QString& typed)
{
    // The configured password only ever holds codes below 128, which Latin-1 maps one to one.
    std::optional<int16_t> level;
    if (typed == QString::fromLatin1(state.Password))
        level = kUserLevel;
    else if (typed == kServicePassword)
        level = kServiceLevel;
    if (!level) return std::nullopt;
    state.LoggedIn = true;
    state.AccessLevel = *level;
    return level;
}

void LogOff(SharedState& state)
{
    state.LoggedIn = false;
    state.AccessLevel = kLoggedOffLevel;
}

}  // namespace grainlink
