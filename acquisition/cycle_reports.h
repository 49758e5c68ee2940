#pragma once

#include <QString>

namespace grainlink {

// What the acquisition cycle tells about a unit besides the records it hands on: its port
// coming and going, a silence that makes its values stale, input it had to throw away, and a
// side file (raw data, data log) failing or taking lines again. Each call is one occurrence, in
// the order things happen; telling a change from a repeat is the listener's business.
class CycleReports {
public:
    virtual ~CycleReports() = default;

    // The unit's port is open and watched (at the opening of the ports, or back after a loss).
    virtual void portOpened(int unit) = 0;
    // The unit's port could not be opened or went away, and is retried.
    virtual void portUnavailable(int unit, const QString& reason) = 0;
    // Nothing usable for `seconds`: the unit's values are about to be marked invalid.
    virtual void unitSilent(int unit, int seconds) = 0;
    // Input was dropped instead of being decoded, for example "no end of message".
    virtual void inputDiscarded(int unit, const QString& reason) = 0;
    // The side file at `path` could not take a line for `reason`, or, with an empty reason,
    // takes lines again.
    virtual void sideFileChanged(int unit, const QString& path, const QString& reason) = 0;
};

// A listener that ignores every report, for a cycle nobody watches.
inline CycleReports& NoCycleReports()
{
    struct Ignored final : CycleReports {
        void portOpened(int) override {}
        void portUnavailable(int, const QString&) override {}
        void unitSilent(int, int) override {}
        void inputDiscarded(int, const QString&) override {}
        void sideFileChanged(int, const QString&, const QString&) override {}
    };
    static Ignored ignored;
    return ignored;
}

}  // namespace grainlink
