#pragma once

namespace grainlink {

// What the acquisition cycle hands on for a unit: a framed message to decode, a silent unit to
// mark invalid or to fill with a demonstration record, and a record to log.
class UnitEvents {
public:
    virtual ~UnitEvents() = default;
    // False when the message is no record to decode (a character that no record holds).
    virtual bool DecodeRecord(int unit) = 0;
    virtual void MarkUnitInvalid(int unit) = 0;
    virtual void MakeDemoRecord(int unit) = 0;
    virtual void LogData(int unit) = 0;
};

}  // namespace grainlink
