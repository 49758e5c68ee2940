#include "plant/plant_model.h"

#include "config/access_levels.h"
#include "state/numeric_text.h"

#include <algorithm>
#include <stdexcept>

namespace grainlink {
namespace {

int ShownUnits(const SharedState& state)
{
    return std::clamp<int>(state.NumUnits, 0, kMaxUnits);
}

int16_t LoggedOnLevel(const SharedState& state)
{
    return state.LoggedIn ? state.AccessLevel : kLoggedOffLevel;
}

// The value as the tile shows it. The no-data marker is one of every value but the
// temperature, which can really be -1 °C.
TileValue ValueOf(const ItemTable& items, Item item)
{
    const QString& text = items.text(item);
    const bool noData = item != Item::Temperature && text == QLatin1String(kNoDataText);
    if (text.isEmpty() || noData) return {};
    return TileValue{text, NumericValue(text)};
}

}  // namespace

QString BrokerText(const StatusLine& status)
{
    if (status.brokerDetail.isEmpty()) return QStringLiteral("connecting");
    if (status.brokerConnected) return status.brokerDetail;
    return status.brokerDetail + QStringLiteral(", retrying");
}

QString AccessText(int16_t level)
{
    switch (level) {
        case kUserLevel:
            return QStringLiteral("user");
        case kServiceLevel:
            return QStringLiteral("service");
        default:
            return QStringLiteral("logged off");
    }
}

PlantModel::PlantModel(const SharedState& state, const ItemTables& items, const Clock& clock,
                       QObject* parent)
    : QObject(parent), m_state(state), m_items(items), m_clock(clock)
{
}

PlantModel::Watched& PlantModel::watched(int unit)
{
    if (unit < 1 || unit > kMaxUnits) throw std::out_of_range("no such unit");
    return m_units[static_cast<size_t>(unit)];
}

const PlantModel::Watched& PlantModel::watched(int unit) const
{
    return const_cast<PlantModel*>(this)->watched(unit);
}

QList<int> PlantModel::units() const
{
    QList<int> shown;
    for (int unit = 1; unit <= ShownUnits(m_state); ++unit) shown << unit;
    return shown;
}

UnitState PlantModel::state(int unit) const
{
    return StateOf(watched(unit).facts);
}

UnitView PlantModel::unit(int unit) const
{
    const Watched& w = watched(unit);
    const ItemTable& items = m_items[unit];
    UnitView view;
    view.unit = unit;
    view.name = m_state.UnitName[unit];
    view.state = StateOf(w.facts);
    if (w.facts.values == ValueSource::Record)
        for (size_t i = 0; i < kAlarmFlags.size(); ++i)
            if (w.flags[i]) view.alarms << ItemName(kAlarmFlags[i]);
    view.valuesValid = w.facts.served && w.facts.values != ValueSource::None;
    if (view.valuesValid) {
        for (size_t size = 0; size < 4; ++size) {
            view.isoCodes[size] = ValueOf(items, kTileIsoCodes[size]);
            view.counts[size] = ValueOf(items, kTileCounts[size]);
        }
        view.temperature = ValueOf(items, Item::Temperature);
        view.flowIndex = ValueOf(items, Item::FlowIndex);
    }
    view.lastRecord = w.lastRecord;
    if (w.lastRecord) {
        view.lastRecordText = GeneralDateText(*w.lastRecord);
        view.ageText = AgeText(*w.lastRecord, m_clock.now());
    }
    view.rxCount = m_state.UnitData[unit].RxCount;
    return view;
}

void PlantModel::record(int unit, const QString& event, const QString& detail,
                        EventSeverity severity)
{
    m_events.add(PlantEvent{.time = m_clock.now(),
                            .unit = unit,
                            .unitName = unit == 0 ? QString() : m_state.UnitName[unit],
                            .event = event,
                            .detail = detail,
                            .severity = severity});
}

void PlantModel::announce(int unit)
{
    Watched& w = watched(unit);
    w.announced = StateOf(w.facts);
    emit unitChanged(unit);
}

void PlantModel::serverStarted(const QString& detail)
{
    m_started = true;
    m_stopping = false;
    m_status.dataLog = m_state.LogEnabled;
    m_status.accessLevel = LoggedOnLevel(m_state);
    record(0, QStringLiteral("Server started"), detail);
    if (!m_status.brokerDetail.isEmpty()) recordBroker();
    settingsChanged();
    emit statusChanged();
}

void PlantModel::serverStopping()
{
    if (std::exchange(m_stopping, true)) return;
    record(0, QStringLiteral("Server stopping"), QString());
}

void PlantModel::settingsChanged()
{
    if (!m_started) return;
    bool statusMoved = false;
    if (m_state.DemoMode != m_status.demoMode) {
        m_status.demoMode = m_state.DemoMode;
        record(0,
               m_status.demoMode ? QStringLiteral("Demo mode on") : QStringLiteral("Demo mode off"),
               QString());
        statusMoved = true;
    }
    if (m_state.LogEnabled != m_status.dataLog) {
        m_status.dataLog = m_state.LogEnabled;
        record(0, m_status.dataLog ? QStringLiteral("Data log on") : QStringLiteral("Data log off"),
               QString());
        statusMoved = true;
    }
    if (const int16_t level = LoggedOnLevel(m_state); level != m_status.accessLevel) {
        m_status.accessLevel = level;
        if (level == kLoggedOffLevel)
            record(0, QStringLiteral("Logged off"), QString());
        else
            record(0, QStringLiteral("Logged on"), AccessText(level));
        statusMoved = true;
    }
    if (m_state.OptionsOpen != m_optionsOpen) {
        m_optionsOpen = m_state.OptionsOpen;
        if (m_optionsOpen)
            record(0, QStringLiteral("Options opened"), QStringLiteral("acquisition paused"));
        else
            record(0, QStringLiteral("Options closed"), QStringLiteral("acquisition resumed"));
    }
    syncUnits();
    if (statusMoved) emit statusChanged();
}

void PlantModel::syncUnits()
{
    if (const int shown = ShownUnits(m_state); shown != m_shownUnits) {
        m_shownUnits = shown;
        emit unitsChanged();
    }
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        Watched& w = watched(unit);
        const bool served = unit <= m_shownUnits && m_state.UnitEnabled[unit];
        // A unit taken out of service starts afresh when it is served again.
        if (!served && w.facts.served) {
            Watched fresh;
            fresh.lastRecord = w.lastRecord;
            fresh.name = w.name;
            fresh.announced = w.announced;
            w = std::move(fresh);
        }
        w.facts.served = served;
        w.facts.paused = m_optionsOpen;
        const bool renamed = w.name != m_state.UnitName[unit];
        w.name = m_state.UnitName[unit];
        if (renamed || StateOf(w.facts) != w.announced) announce(unit);
    }
}

void PlantModel::tick()
{
    settingsChanged();
    emit agesChanged();
}

void PlantModel::recordStored(int unit, bool generated)
{
    Watched& w = watched(unit);
    w.lastRecord = m_clock.now();
    w.discarded.clear();
    if (generated) {
        w.facts.values = ValueSource::Demo;
        w.silent = false;
    } else {
        if (std::exchange(w.silent, false))
            record(unit, QStringLiteral("Live"), QStringLiteral("records again"));
        w.facts.values = ValueSource::Record;
        compareFlags(unit);
    }
    announce(unit);
}

// Each flag that changed since the instrument's last record, then the status.
void PlantModel::compareFlags(int unit)
{
    Watched& w = watched(unit);
    const ItemTable& items = m_items[unit];
    for (size_t i = 0; i < kAlarmFlags.size(); ++i) {
        const bool set = items.text(kAlarmFlags[i]) == QLatin1String("1");
        if (set == std::exchange(w.flags[i], set)) continue;
        if (set)
            record(unit, QStringLiteral("Alarm set"), ItemName(kAlarmFlags[i]),
                   EventSeverity::Warning);
        else
            record(unit, QStringLiteral("Alarm cleared"), ItemName(kAlarmFlags[i]));
    }
    const bool fault = items.text(Item::status) == QLatin1String("Fault");
    if (fault != std::exchange(w.fault, fault)) {
        if (fault)
            record(unit, QStringLiteral("Status Fault"),
                   QStringLiteral("error code ") + items.text(Item::lbl_error),
                   EventSeverity::Warning);
        else
            record(unit, QStringLiteral("Status OK"), QString());
    }
    w.facts.alarm = fault || std::ranges::any_of(w.flags, [](bool set) { return set; });
}

void PlantModel::valuesInvalid(int unit)
{
    watched(unit).facts.values = ValueSource::None;
    announce(unit);
}

void PlantModel::brokerChanged(bool connected, const QString& detail)
{
    // Stopping disconnects on purpose; "Server stopping" already says so.
    if (m_stopping) return;
    m_status.brokerConnected = connected;
    m_status.brokerDetail = detail;
    // Before the start only the last report counts; it is recorded after "Server started".
    if (m_started) recordBroker();
    emit statusChanged();
}

void PlantModel::recordBroker()
{
    if (m_status.brokerConnected)
        record(0, QStringLiteral("Broker connected"), m_status.brokerDetail);
    else
        record(0, QStringLiteral("Broker lost"), m_status.brokerDetail, EventSeverity::Warning);
}

void PlantModel::portOpened(int unit)
{
    Watched& w = watched(unit);
    const QString port = QStringLiteral("port %1").arg(m_state.UnitPort[unit]);
    if (std::exchange(w.facts.portLost, false))
        record(unit, QStringLiteral("Port back"), port);
    else
        record(unit, QStringLiteral("Port opened"), port);
    announce(unit);
}

void PlantModel::portUnavailable(int unit, const QString& reason)
{
    Watched& w = watched(unit);
    if (std::exchange(w.facts.portLost, true)) return;
    record(unit, QStringLiteral("Port lost"), reason, EventSeverity::Warning);
    announce(unit);
}

void PlantModel::unitSilent(int unit, int seconds)
{
    if (std::exchange(watched(unit).silent, true)) return;
    record(unit, QStringLiteral("Stale"), QStringLiteral("no record for %1 s").arg(seconds),
           EventSeverity::Warning);
}

void PlantModel::inputDiscarded(int unit, const QString& reason)
{
    Watched& w = watched(unit);
    if (reason != w.discarded) {
        w.discarded = reason;
        record(unit, QStringLiteral("Record abandoned"), reason, EventSeverity::Warning);
    }
    emit unitChanged(unit);  // its RX count may have moved
}

void PlantModel::sideFileChanged(int unit, const QString& path, const QString& reason)
{
    if (reason.isEmpty())
        record(unit, QStringLiteral("File written again"), path);
    else
        record(unit, QStringLiteral("File failing"), path + QStringLiteral(": ") + reason,
               EventSeverity::Warning);
}

}  // namespace grainlink
