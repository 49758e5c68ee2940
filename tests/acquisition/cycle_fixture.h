#pragma once

#include "acquisition/acquisition_cycle.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/recording_unit_events.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace grainlink::test {

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A temporary directory that is the working directory while alive, for the files written there.
class ScratchWorkingDir {
public:
    ScratchWorkingDir() { QDir::setCurrent(m_dir.path()); }
    ~ScratchWorkingDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};

// A cycle over four fake ports with unit 1 enabled, run from a scratch working directory.
class CycleTest : public ::testing::Test {
protected:
    CycleTest()
    {
        state.NumUnits = 1;
        state.UnitEnabled[1] = true;
        state.UnitPort[1] = 1;
        state.MessageTime = 600;
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) cycle.Tick();
    }
    QString text(CommsControl control, int unit = 1) const { return panel.text(control, unit); }
    // The unit's message line after the date and time it starts with.
    QString message(int unit = 1) const
    {
        return text(CommsControl::lbl_msg, unit).replace(clock.text(), QStringLiteral("<now>"));
    }

    ScratchWorkingDir scratch;
    SharedState state;
    CommsPanel panel;
    FakeClock clock;
    RecordingUnitEvents events;
    CountingNotice notice;
    PerUnit<FakeSerialPort*> fakes;
    ComPorts ports{FakePortFactory(fakes)};
    AcquisitionCycle cycle{state, ports, panel, clock, events, notice};
};

}  // namespace grainlink::test
