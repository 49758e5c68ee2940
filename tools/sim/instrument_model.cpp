#include "tools/sim/instrument_model.h"

#include <algorithm>
#include <cmath>

namespace grainlink::sim {
namespace {

constexpr int kSampleSeconds = 60;

// Particles >= 4 um per mL of each unit's oil: from clean to rather dirty.
constexpr std::array<double, 4> kBaseCounts4um = {2500, 800, 6000, 300};
// Count ratios between neighbouring sizes (6/4, 14/6, 21/14); all well below 1, so counts fall
// with size whatever the drift.
constexpr std::array<double, 3> kBaseShape = {0.28, 0.12, 0.2};
// Share of the sample time per counted particle, in percent per particle/mL.
constexpr double kDutyPerCount = 0.002;
// Events counted per particle/mL over one sample; with the duty this gives a flow index near 8.
constexpr double kEventsPerCount = 20;

int Clamped(int unit)
{
    return std::clamp(unit, 1, 4);
}

}  // namespace

UnitIdentity IdentityOfUnit(int unit)
{
    unit = Clamped(unit);
    UnitIdentity id;
    id.systemId = static_cast<uint16_t>(0x1000 + unit);
    id.nodeId = static_cast<uint8_t>(unit);
    id.serialNo = static_cast<uint16_t>(15000 + 37 * unit);
    id.firmware = QByteArrayLiteral("21");
    return id;
}

InstrumentModel::InstrumentModel(int unit, uint32_t seed) : m_unit(Clamped(unit)), m_rng(seed) {}

double InstrumentModel::uniform()
{
    return static_cast<double>(m_rng()) / 4294967296.0;
}

double InstrumentModel::wander(double& offset, double limit)
{
    offset = 0.9 * offset + 0.1 * limit * (2 * uniform() - 1);
    return offset;
}

Reading InstrumentModel::next()
{
    Reading r;
    double count = kBaseCounts4um[m_unit - 1] * std::exp(wander(m_level, 0.3));
    for (std::size_t size = 0; size < r.countsPerMl.size(); ++size) {
        if (size > 0) count *= kBaseShape[size - 1] * std::exp(wander(m_shape[size - 1], 0.1));
        r.countsPerMl[size] = count;
        r.dutyPercent[size] = std::min(100.0, count * kDutyPerCount);
    }
    const double eventsPerCount = kEventsPerCount * std::exp(wander(m_flow, 0.05));
    r.chan1Events = static_cast<uint32_t>(std::lround(r.countsPerMl[0] * eventsPerCount));
    r.chan4Events = static_cast<uint32_t>(std::lround(r.countsPerMl[3] * eventsPerCount));
    r.sampleSeconds = kSampleSeconds;
    r.laserCurrentMa = static_cast<int>(std::lround(40 + 2 * m_unit + wander(m_laser, 1.5)));
    r.diodePowerMw = 2.40 + 0.05 * m_unit + wander(m_diode, 0.08);
    r.temperatureC = static_cast<int>(std::lround(35 + m_unit + wander(m_temperature, 3)));
    return r;
}

}  // namespace grainlink::sim
