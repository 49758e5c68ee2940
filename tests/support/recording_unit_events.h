#pragma once

#include "acquisition/unit_events.h"

#include <QStringList>

namespace grainlink::test {

// Records what the cycle hands on, as "DecodeRecord(1)" and so on, in order, and passes each
// call on to `forwardTo` when one is set.
class RecordingUnitEvents final : public UnitEvents {
public:
    // Decodes when it forwards; true otherwise, as for a record that reads.
    bool DecodeRecord(int unit) override
    {
        calls << QStringLiteral("DecodeRecord(%1)").arg(unit);
        return !forwardTo || forwardTo->DecodeRecord(unit);
    }
    void MarkUnitInvalid(int unit) override
    {
        record(QStringLiteral("MarkUnitInvalid(%1)").arg(unit), &UnitEvents::MarkUnitInvalid, unit);
    }
    void MakeDemoRecord(int unit) override
    {
        record(QStringLiteral("MakeDemoRecord(%1)").arg(unit), &UnitEvents::MakeDemoRecord, unit);
    }
    void LogData(int unit) override
    {
        record(QStringLiteral("LogData(%1)").arg(unit), &UnitEvents::LogData, unit);
    }
    QStringList calls;
    UnitEvents* forwardTo = nullptr;

private:
    void record(const QString& call, void (UnitEvents::*handOn)(int), int unit)
    {
        calls << call;
        if (forwardTo) (forwardTo->*handOn)(unit);
    }
};

}  // namespace grainlink::test
