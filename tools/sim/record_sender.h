#pragma once

#include "tools/sim/instrument_model.h"
#include "tools/sim/transmission_plan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace grainlink::sim {

// Drives the simulated instrument in real time: one record slot every interval, the first one
// interval after start (the instrument reports at the end of its first sample). A slot carries
// the unit's next record, or the configured fault applied to it. A slot whose transmission
// outlasts the interval (a split record) delays the next one, so slots never overlap. Every
// slot draws a new reading, so the records do not depend on which slots were faulty.
class RecordSender : public QObject {
    Q_OBJECT

public:
    struct Settings {
        int intervalMs = 5000;
        int count = 0;  // slots to send; 0: no end
        int unit = 1;
        uint32_t seed = 1;
        Fault fault = Fault::None;
        int faultEvery = 1;  // the fault hits every n-th slot
    };
    using Write = std::function<void(const QByteArray&)>;

    RecordSender(const Settings& settings, Write write, QObject* parent = nullptr);

    void start();

signals:
    void slotStarted(int slot, const QByteArray& record, grainlink::sim::Fault fault);
    // The last of `count` slots has been sent.
    void finished();

private:
    void startSlot();
    void sendDue();

    Settings m_settings;
    Write m_write;
    InstrumentModel m_model;
    UnitIdentity m_identity;
    QTimer m_slotTimer;   // next slot
    QTimer m_chunkTimer;  // next chunk of the current slot
    QElapsedTimer m_slotClock;
    SlotPlan m_plan;
    std::size_t m_next = 0;  // first chunk not yet sent
    int m_slot = 0;
};

}  // namespace grainlink::sim
