#pragma once

#include "config/config_file.h"

#include <QString>

namespace grainlink {

inline constexpr const char* kDefaultFlowFactor = "0.00075";
// The longest factor the setting gives back (its capacity is 10).
inline constexpr int kFlowFactorMaxLength = 9;

// The unit's stored flow adjustment factor ([Options] FlowFactor<unit>, capacity 10): the text
// read when its first three characters are numeric, "0.00075" otherwise.
QString ReadFlowFactor(const ConfigFile& config, int unit);

// Stores the factor text under [Options] FlowFactor<unit>.
bool WriteFlowFactor(ConfigFile& config, int unit, const QString& text);

}  // namespace grainlink
