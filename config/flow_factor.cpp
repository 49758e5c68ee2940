#include "config/flow_factor.h"

#include "state/numeric_text.h"

namespace grainlink {
namespace {

constexpr int kFlowFactorCapacity = kFlowFactorMaxLength + 1;

QByteArray FlowFactorKey(int unit)
{
    return "FlowFactor" + QByteArray::number(unit);
}

}  // namespace

QString ReadFlowFactor(const ConfigFile& config, int unit)
{
    const QString text = QString::fromLatin1(config.ReadSetting(
        "Options", FlowFactorKey(unit), kDefaultFlowFactor, kFlowFactorCapacity));
    if (!IsNumeric(text.left(3))) return QString::fromLatin1(kDefaultFlowFactor);
    return text;
}

bool WriteFlowFactor(ConfigFile& config, int unit, const QString& text)
{
    return config.WriteSetting("Options", FlowFactorKey(unit), text.toLatin1());
}

}  // namespace grainlink
