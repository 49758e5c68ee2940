#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <random>

namespace grainlink::sim {

// What tells the four simulated instruments apart in their records.
struct UnitIdentity {
    uint16_t systemId = 0;
    uint8_t nodeId = 0;
    uint16_t serialNo = 0;
    QByteArray firmware;  // two characters, sent as text
};

// Identity of simulated unit 1..4.
UnitIdentity IdentityOfUnit(int unit);

// One sample of the instrument in physical units, before it is written as a record.
struct Reading {
    std::array<double, 4> countsPerMl{};  // particles >= 4, 6, 14, 21 um per mL, decreasing
    std::array<double, 4> dutyPercent{};  // share of the sample time each channel saw particles
    uint32_t chan1Events = 0;
    uint32_t chan4Events = 0;
    int sampleSeconds = 0;
    int laserCurrentMa = 0;
    double diodePowerMw = 0;
    int temperatureC = 0;
    uint8_t errorByte = 0;
};

// A plausible instrument: each unit watches oil of its own cleanliness, and every sample drifts
// a little from the one before while staying near the unit's level. The sequence depends only on
// the unit and the seed (std::mt19937 is fully specified), so a run can be replayed exactly.
class InstrumentModel {
public:
    InstrumentModel(int unit, uint32_t seed);

    Reading next();

private:
    double uniform();  // [0, 1)
    // A mean-reverting walk: returns the new offset, which stays within about +-limit.
    double wander(double& offset, double limit);

    int m_unit;
    std::mt19937 m_rng;
    double m_level = 0;               // log offset of the overall contamination
    std::array<double, 3> m_shape{};  // log offsets of the size ratios 6/4, 14/6, 21/14
    double m_flow = 0;                // log offset of events per counted particle
    double m_temperature = 0;
    double m_laser = 0;
    double m_diode = 0;
};

}  // namespace grainlink::sim
