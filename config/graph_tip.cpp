#include "config/graph_tip.h"

#include "state/numeric_text.h"

#include <cmath>

namespace grainlink {
namespace {

constexpr int kGraphTipCapacity = 40;

}  // namespace

bool GraphTipWanted(const ConfigFile& config, const QByteArray& defaultValue)
{
    const QByteArray text =
        config.ReadSetting("Options", "Graph tip", defaultValue, kGraphTipCapacity);
    return std::nearbyint(NumericValue(QString::fromLatin1(text)).value_or(0)) == 0;
}

bool WriteGraphTipDismissed(ConfigFile& config, bool dismissed)
{
    return config.WriteSetting("Options", "Graph tip", dismissed ? "1" : "0");
}

}  // namespace grainlink
