#include "config/overview_setting.h"

#include "state/numeric_text.h"

namespace grainlink {

bool OverviewAtStart(const ConfigFile& config)
{
    const QByteArray text = config.ReadSetting("Options", "Overview", "0", 10);
    const std::optional<double> value = NumericValue(QString::fromLatin1(text));
    return value && *value != 0;
}

}  // namespace grainlink
