// Main-thread cost of the plant model and the overview window, four units served and the event
// log full (10,000 events):
// - a record into the model: its bookkeeping and the tile a view then reads (UnitView); then
//   with an alarm flag changing at every record, so that each record adds two events, written
//   to the events file and made into the MQTT message as the running server does;
// - a record into the overview window (offscreen): the model, the tile and the event list
//   updated and what changed repainted;
// - a page of the event list scrolled and repainted;
// - resident memory added by the overview window over the four data windows, and its CPU share
//   while idle (ten real seconds of one-second ticks). Run these two cases each alone
//   (--benchmark_filter=Memory, =Idle) for clean figures.
#include "bench/process_figures.h"
#include "config/config_file.h"
#include "display/ui/data_windows.h"
#include "display/ui/event_list_panel.h"
#include "display/ui/overview_window.h"
#include "plant/plant_model.h"
#include "server/event_outputs.h"
#include "tests/support/recording_profile.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace grainlink {
namespace {

struct DiscardedMessages final : TransientMessages {
    void publish(const QString&, const QByteArray& payload) override { bytes += payload.size(); }
    qsizetype bytes = 0;
};

// Four units served and receiving, the server started and the event log full, with its outputs
// to the events file (in a scratch working directory) and to MQTT.
class Plant {
public:
    Plant()
    {
        QDir::setCurrent(m_dir.path());
        state.NumUnits = 4;
        for (int unit = 1; unit <= 4; ++unit) {
            state.UnitEnabled[unit] = true;
            state.UnitName[unit] = QStringLiteral("Line %1").arg(unit);
        }
        model.serverStarted(QStringLiteral("Version 2.0"));
        for (int i = model.events().size(); i < model.events().capacity(); ++i)
            model.events().add(
                PlantEvent{.time = clock.now(), .unit = 1 + i % 4, .event = "Earlier"});
        for (int unit = 1; unit <= 4; ++unit) model.portOpened(unit);
    }
    ~Plant() { QDir::setCurrent(m_previousDir); }

    // A second on, and a record from every unit, with or without the TempHigh alarm.
    void receive(bool alarm)
    {
        clock.advanceSeconds(1);
        for (int unit = 1; unit <= 4; ++unit) {
            WriteRecord(items[unit], alarm);
            ++state.UnitData[unit].RxCount;
            model.recordStored(unit, false);
        }
        model.tick();
    }
    bool full() const { return model.events().size() == model.events().capacity(); }

    SharedState state;
    ItemTables items;
    test::FakeClock clock;
    PlantModel model{state, items, clock};

private:
    // The item texts a decoded record leaves.
    static void WriteRecord(ItemTable& items, bool alarm)
    {
        for (Item flag : kAlarmFlags) items.setText(flag, QStringLiteral("0"));
        items.setText(Item::TempHigh, alarm ? QStringLiteral("1") : QStringLiteral("0"));
        items.setText(Item::status, alarm ? QStringLiteral("Fault") : QStringLiteral("OK"));
        items.setText(Item::lbl_error, alarm ? QStringLiteral("32") : QStringLiteral("0"));
        const char* texts[] = {"16.5", "14.2", "12.1", "10.0", "513", "113", "25", "5.5"};
        for (size_t i = 0; i < 4; ++i) {
            items.setText(kTileIsoCodes[i], texts[i]);
            items.setText(kTileCounts[i], texts[i + 4]);
        }
        items.setText(Item::Temperature, QStringLiteral("21"));
        items.setText(Item::FlowIndex, QStringLiteral("1234"));
    }

    QTemporaryDir m_dir;
    QString m_previousDir = QDir::currentPath();
    EventsFile m_file{model.events(), model};
    DiscardedMessages m_messages;
    MqttEventPublisher m_publisher{model.events(), m_messages, QStringLiteral("GRAINLINK")};
};

void PerRecord(benchmark::State& bench)
{
    bench.counters["per_record"] =
        benchmark::Counter(static_cast<double>(bench.iterations()) * 4,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void RecordsIntoTheModel(benchmark::State& bench, bool alarmEveryRecord)
{
    Plant plant;
    qsizetype shown = 0;  // what a view reads when told
    QObject::connect(&plant.model, &PlantModel::unitChanged,
                     [&](int unit) { shown += plant.model.unit(unit).isoCodes[0].text.size(); });
    bool alarm = false;
    for (auto _ : bench) {
        alarm = alarmEveryRecord && !alarm;
        plant.receive(alarm);
    }
    benchmark::DoNotOptimize(shown);
    if (!plant.full() || shown == 0) bench.SkipWithError("the model did not take the records");
    PerRecord(bench);
}

void BM_RecordIntoTheModel(benchmark::State& bench)
{
    RecordsIntoTheModel(bench, false);
}
BENCHMARK(BM_RecordIntoTheModel);

void BM_RecordWithTwoEvents(benchmark::State& bench)
{
    RecordsIntoTheModel(bench, true);
}
BENCHMARK(BM_RecordWithTwoEvents);

// Every record with an alarm change, so that the list takes two new rows a record.
void BM_RecordIntoTheOverview(benchmark::State& bench)
{
    Plant plant;
    OverviewWindow window(plant.model);
    window.show();
    QCoreApplication::processEvents();
    bool alarm = false;
    for (auto _ : bench) {
        alarm = !alarm;
        plant.receive(alarm);
        QCoreApplication::processEvents();  // the list's rows, then the repaint of what changed
        QCoreApplication::processEvents();
    }
    if (window.events().table()->model()->rowCount() != plant.model.events().size())
        bench.SkipWithError("the list did not follow the log");
    PerRecord(bench);
}
BENCHMARK(BM_RecordIntoTheOverview)->Unit(benchmark::kMicrosecond);

void BM_ScrollTheEventList(benchmark::State& bench)
{
    Plant plant;
    OverviewWindow window(plant.model);
    window.show();
    QCoreApplication::processEvents();
    QScrollBar* scroll = window.events().table()->verticalScrollBar();
    for (auto _ : bench) {
        const int next = scroll->value() + scroll->pageStep();
        scroll->setValue(next > scroll->maximum() ? 0 : next);
        window.events().table()->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollTheEventList)->Unit(benchmark::kMicrosecond);

void BM_OverviewMemory(benchmark::State& bench)
{
    for (auto _ : bench) {
        Plant plant;
        test::RecordingProfile profile;
        ConfigFile config(profile);
        test::RecordingMessageBox messages;
        DataWindows partsWindows(plant.items, plant.state, config, messages,
                                 QStringLiteral("GRAINLINK"));
        partsWindows.showAllDataWindows();
        QCoreApplication::processEvents();
        const double before = ResidentMiB();
        OverviewWindow window(plant.model);
        window.show();
        QCoreApplication::processEvents();
        window.repaint();
        bench.counters["added_MiB"] = ResidentMiB() - before;
    }
}
BENCHMARK(BM_OverviewMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The server's tick at its real pace, the overview open and the units silent: the ages move on.
void BM_IdleWithTheOverview(benchmark::State& bench)
{
    for (auto _ : bench) {
        Plant plant;
        plant.receive(false);
        OverviewWindow window(plant.model);
        window.show();
        QCoreApplication::processEvents();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&plant] {
            plant.clock.advanceSeconds(1);
            plant.model.tick();
        });
        tick.start(1000);
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        bench.counters["cpu_percent"] =
            100 * (ProcessCpuSeconds() - cpuBefore) / (static_cast<double>(wall.elapsed()) / 1000);
    }
}
BENCHMARK(BM_IdleWithTheOverview)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace grainlink
