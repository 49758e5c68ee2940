#include "plant/unit_view.h"

namespace grainlink {

UnitState StateOf(const UnitFacts& facts)
{
    if (!facts.served) return UnitState::Disabled;
    if (facts.paused) return UnitState::Paused;
    if (facts.portLost) return UnitState::PortLost;
    switch (facts.values) {
        case ValueSource::None:
            return UnitState::Stale;
        case ValueSource::Demo:
            return UnitState::Demo;
        case ValueSource::Record:
            break;
    }
    return facts.alarm ? UnitState::Alarm : UnitState::Live;
}

QString StateWord(UnitState state)
{
    switch (state) {
        case UnitState::Live:
            return QStringLiteral("Live");
        case UnitState::Stale:
            return QStringLiteral("Stale");
        case UnitState::PortLost:
            return QStringLiteral("Port lost");
        case UnitState::Alarm:
            return QStringLiteral("Alarm");
        case UnitState::Demo:
            return QStringLiteral("Demo");
        case UnitState::Paused:
            return QStringLiteral("Paused");
        case UnitState::Disabled:
            break;
    }
    return QStringLiteral("Disabled");
}

QString StateKey(UnitState state)
{
    return StateWord(state).toLower();
}

QString AgeText(const QDateTime& then, const QDateTime& now)
{
    const qint64 seconds = std::max<qint64>(0, then.secsTo(now));
    if (seconds < 120) return QStringLiteral("%1 s ago").arg(seconds);
    if (seconds < 120 * 60) return QStringLiteral("%1 min ago").arg(seconds / 60);
    if (seconds < 48 * 3600) return QStringLiteral("%1 h ago").arg(seconds / 3600);
    return QStringLiteral("%1 d ago").arg(seconds / 86400);
}

QString UnitLabel(int unit, const QString& name)
{
    if (unit == 0) return {};
    const QString number = QString::number(unit);
    if (name.isEmpty() || name == number) return QStringLiteral("Unit ") + number;
    return QStringLiteral("Unit ") + number + QStringLiteral(" (") + name + u')';
}

}  // namespace grainlink
