#pragma once

#include "state/unit_state.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace grainlink {

// Access levels held in SharedState::AccessLevel.
inline constexpr int16_t kLoggedOffLevel = 0;
inline constexpr int16_t kUserLevel = 1;     // the configured password, or security off
inline constexpr int16_t kServiceLevel = 2;  // the built-in service password

// Logs on with the password typed. It is compared exactly (letter case and blanks count) first
// with the configured password, giving the user level, then with the built-in service password,
// giving the service level, which also shows the data windows' Display menu. Logging on again
// simply sets the level of the password given. Nothing when neither matches: the state keeps its
// previous level, so a user who was logged on stays logged on.
std::optional<int16_t> LogOn(SharedState& state, const QString& typed);

// Nobody is logged on any more: the settings and stopping the server are locked.
void LogOff(SharedState& state);

}  // namespace grainlink
