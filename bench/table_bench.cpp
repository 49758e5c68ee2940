// Cost of one record on its way into the history, the table windows and the data log:
// - one unit, and four units receiving in the same tick, with BufferSize 1000: history shifted,
//   grid and chart refreshed and repainted (offscreen platform, forced repaint);
// - headless: history alone, and history with the data log line appended to a file;
// - resident memory with four full 1000-row histories, without and with the table windows.
// Run each Memory case in a process of its own (--benchmark_filter) for a clean figure.
#include "bench/process_figures.h"
#include "display/ui/table_window.h"
#include "server/data_log.h"
#include "server/startup.h"
#include "tests/support/test_doubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace grainlink {
namespace {

constexpr int kRows = 1000;

// The server's record path for four units: items as the decoder leaves them, the history (full:
// 1000 records each), the data log, and (when asked) the four table windows, shown.
class RecordPath {
public:
    explicit RecordPath(bool windows, bool logging = false)
    {
        state.BufferSize = kRows;
        state.HardwareName = QStringLiteral("QS2600");
        state.LogEnabled = logging;
        state.LogFile = scratch.filePath(QStringLiteral("Data.log"));
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            state.UnitName[unit] = QString::number(unit);
            SetRecordTexts(unit, 0);
        }
        ResetTableViews(history);
        ClearHistories(history, kRows);
        ConfigureTables(history, kRows);
        CreateMissingLogFiles(state);
        for (int n = 0; n < kRows; ++n) Receive(kMaxUnits, n);
        if (!windows) return;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            tables.push_back(std::make_unique<TableWindow>(history, state, unit));
            tables.back()->show();
        }
    }

    // Texts that change with every record, as real ones do.
    void SetRecordTexts(int unit, int n)
    {
        ItemTable& item = items[unit];
        item.setText(Item::Counts4um, QString::number(2500 + n % 97));
        item.setText(Item::Counts6um, QString::number(700 + n % 31));
        item.setText(Item::Counts14um, QStringLiteral("85"));
        item.setText(Item::Counts21um, QStringLiteral("17.0%1").arg(n % 10));
        item.setText(Item::ISOCode4um, QStringLiteral("18.0"));
        item.setText(Item::ISOCode6um, QStringLiteral("16.%1").arg(n % 10));
        item.setText(Item::ISOCode14um, QStringLiteral("13.0"));
        item.setText(Item::ISOCode21um, QStringLiteral("10.8"));
        item.setText(Item::LaserCurrent, QStringLiteral("42"));
        item.setText(Item::DiodePower, QStringLiteral("2.46"));
        item.setText(Item::Temperature, QString::number(30 + n % 7));
        item.setText(Item::FlowIndex, QString::number(7 + n % 2));
        item.setText(Item::status, QStringLiteral("OK"));
        item.setText(Item::lbl_error, QStringLiteral("0"));
    }

    // One record for each of `units` (1..units) in the same tick, the clock a second on.
    void Receive(int units, int n)
    {
        clock.advanceSeconds(1);
        for (int unit = 1; unit <= units; ++unit) {
            SetRecordTexts(unit, n);
            log.LogData(unit);
        }
    }

    // What reaches the screen: the windows' pending updates, then a full repaint of each.
    void Repaint(int units)
    {
        QCoreApplication::processEvents();
        for (int unit = 1; unit <= units; ++unit) tables[unit - 1]->repaint();
    }

    QTemporaryDir scratch;
    SharedState state;
    ItemTables items;
    HistoryStore history;
    test::FakeClock clock;
    DataLog log{state, items, history, clock, [](int, const SideFileReport&) {}};
    std::vector<std::unique_ptr<TableWindow>> tables;
};

void RecordsIntoTables(benchmark::State& bench, int units)
{
    RecordPath path(true);
    path.Repaint(kMaxUnits);
    int n = 0;
    for (auto _ : bench) {
        path.Receive(units, ++n);
        path.Repaint(units);
    }
}

void BM_RecordIntoOneTable(benchmark::State& bench)
{
    RecordsIntoTables(bench, 1);
}
BENCHMARK(BM_RecordIntoOneTable)->Unit(benchmark::kMillisecond);

void BM_RecordsIntoFourTablesInOneTick(benchmark::State& bench)
{
    RecordsIntoTables(bench, kMaxUnits);
}
BENCHMARK(BM_RecordsIntoFourTablesInOneTick)->Unit(benchmark::kMillisecond);

// Headless: no window listens, so a record costs its history row and, with logging, its line.
// The slowest record is reported too: the tick waits for it.
void BM_HeadlessRecord(benchmark::State& bench)
{
    const bool logging = bench.range(0) != 0;
    RecordPath path(false, logging);
    int n = 0;
    qint64 slowest = 0;
    QElapsedTimer timer;
    for (auto _ : bench) {
        timer.start();
        path.Receive(1, ++n);
        slowest = std::max(slowest, timer.nsecsElapsed());
    }
    bench.counters["slowest_us"] = static_cast<double>(slowest) / 1000;
    bench.SetLabel(logging ? "history and data log" : "history only");
}
BENCHMARK(BM_HeadlessRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void MemoryWithFullHistories(benchmark::State& bench, bool windows)
{
    for (auto _ : bench) {
        const double before = ResidentMiB();
        RecordPath path(windows);
        if (windows) path.Repaint(kMaxUnits);
        bench.counters["rss_MiB"] = ResidentMiB();
        bench.counters["added_MiB"] = ResidentMiB() - before;
    }
}

void BM_MemoryHeadless(benchmark::State& bench)
{
    MemoryWithFullHistories(bench, false);
}
BENCHMARK(BM_MemoryHeadless)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MemoryWithWindows(benchmark::State& bench)
{
    MemoryWithFullHistories(bench, true);
}
BENCHMARK(BM_MemoryWithWindows)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace grainlink
