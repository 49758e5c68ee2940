// CPU cost of the acquisition tick with four units receiving a record each, decoding and the
// history included, raw data file and data log off (no file I/O). One record cycle is four ticks: seen, read, silent, framed.
#include "acquisition/acquisition_cycle.h"
#include "server/server_unit_events.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/test_doubles.h"


#include <benchmark/benchmark.h>

namespace grainlink {
namespace {

const QByteArray kRecord =
    ";A10001;A201;A30102;A421;B10F4240;B20E4E1C;B30D59F8;B40C65D4;B5001388;B600012C;B703C"
    ";C50A5;C101F4;C60900;C20071;C707A;C30019;C8065;C40005;D119;D24B0;D314;D400\r\n";

void BM_TickFourUnitsReceiving(benchmark::State& bench)
{
    SharedState state;
    state.NumUnits = 4;
    state.MessageTime = 600;
    state.BufferSize = 1000;  // the largest history, shifted every record
    for (int unit = 1; unit <= 4; ++unit) {
        state.UnitEnabled[unit] = true;
        state.UnitPort[unit] = static_cast<int16_t>(unit);
    }
    PerUnit<test::FakeSerialPort*> fakes;
    ComPorts ports(test::FakePortFactory(fakes));
    CommsPanel panel;
    test::FakeClock clock;
    test::CountingNotice notice;
    ItemTables items;
    HistoryStore history;
    DataLog log(state, items, history, clock, [](int, const SideFileReport&) {});
    ServerUnitEvents events(state, items, log);
    AcquisitionCycle cycle(state, ports, panel, clock, events, notice);
    cycle.Tick();  // opens the ports

    for (auto _ : bench) {
        for (int unit = 1; unit <= 4; ++unit) fakes[unit]->receive(kRecord);
        for (int tick = 0; tick < 4; ++tick) cycle.Tick();
    }
    if (panel.text(CommsControl::lbl_rx, 4) != QString::fromLatin1(kRecord))
        bench.SkipWithError("records were not framed");
    bench.counters["time_per_tick"] = benchmark::Counter(
        static_cast<double>(bench.iterations()) * 4,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TickFourUnitsReceiving);

}  // namespace
}  // namespace grainlink
