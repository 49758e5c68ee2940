#include "tools/sim/record_sender.h"

#include "tools/sim/record_builder.h"

#include <algorithm>

namespace grainlink::sim {

RecordSender::RecordSender(const Settings& settings, Write write, QObject* parent)
    : QObject(parent), m_settings(settings), m_write(std::move(write)),
      m_model(settings.unit, settings.seed), m_identity(IdentityOfUnit(settings.unit))
{
    for (QTimer* timer : {&m_slotTimer, &m_chunkTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_slotTimer, &QTimer::timeout, this, &RecordSender::startSlot);
    connect(&m_chunkTimer, &QTimer::timeout, this, &RecordSender::sendDue);
}

void RecordSender::start()
{
    m_slotTimer.start(m_settings.intervalMs);
}

void RecordSender::startSlot()
{
    ++m_slot;
    const bool faulty = m_settings.fault != Fault::None && m_slot % m_settings.faultEvery == 0;
    const Fault fault = faulty ? m_settings.fault : Fault::None;
    const QByteArray record = BuildRecord(m_identity, m_model.next());
    m_plan = PlanSlot(record, fault, m_settings.intervalMs);
    m_next = 0;
    m_slotClock.start();
    emit slotStarted(m_slot, record, fault);
    sendDue();
}

void RecordSender::sendDue()
{
    const qint64 elapsed = m_slotClock.elapsed();
    const std::vector<Chunk>& chunks = m_plan.chunks;
    while (m_next < chunks.size() && chunks[m_next].atMs <= elapsed)
        m_write(chunks[m_next++].bytes);
    if (m_next < chunks.size()) {
        m_chunkTimer.start(static_cast<int>(chunks[m_next].atMs - elapsed));
    } else if (m_settings.count > 0 && m_slot >= m_settings.count) {
        emit finished();
    } else {
        m_slotTimer.start(static_cast<int>(std::max<qint64>(0, m_plan.lengthMs - elapsed)));
    }
}

}  // namespace grainlink::sim
