#pragma once

#include "state/item_table.h"
#include "state/unit_state.h"

#include <QString>

#include <array>
#include <cstdint>
#include <random>

namespace grainlink {

// Demonstration records, so that the server can be shown, and a client program tested, with no
// instrument attached. Five canned records (A, B, C, A, B) of ISO codes and counts are dealt out
// in turn from one cycle shared by all units; laser current, diode power and temperature wobble
// by a pseudo-random amount below 1. The generator is never seeded, so every run of the program
// produces the same sequence, which keeps demonstrations and client tests repeatable.
class DemoData {
public:
    explicit DemoData(SharedState& state);

    // Refills the records, starts the cycle again at record A and clears PortOpenOk of units 1..4.
    void ResetDemoState();

    // Writes the next record into the unit's items (units 1..4): codes, counts, diagnostics, every
    // flag "0" on green and `status` "DEMO" on green. Every other item keeps its text. The cycle
    // moves on for any unit number.
    void MakeDemoRecord(int unit, ItemTables& items);

private:
    static constexpr int kValuesPerRecord = 8;
    static constexpr int kLastValue = 40;

    // A uniform number in [0, 1), in single precision.
    float NextRandom();

    SharedState& m_state;
    std::array<QString, kLastValue + 1> m_demoValues;  // 1..40 used
    int16_t m_demoIndex = 1;
    std::mt19937 m_random;  // default seed on purpose: the same sequence every run
};

}  // namespace grainlink
