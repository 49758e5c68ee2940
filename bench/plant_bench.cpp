// Main-thread cost of one record in the plant model, four units served and the event log full
// (10,000 events): the model's bookkeeping and the tile a view then reads (UnitView). The
// second case changes an alarm flag with every record, so each record adds two events, written
// to the events file and made into the MQTT message as the running server does.
#include "plant/plant_model.h"
#include "server/event_outputs.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace grainlink {
namespace {

struct DiscardedMessages final : TransientMessages {
    void publish(const QString&, const QByteArray& payload) override { bytes += payload.size(); }
    qsizetype bytes = 0;
};

// The item texts a decoded record leaves, with or without the TempHigh alarm.
void WriteRecord(ItemTable& items, bool alarm)
{
    for (Item flag : kAlarmFlags) items.setText(flag, QStringLiteral("0"));
    items.setText(Item::TempHigh, alarm ? QStringLiteral("1") : QStringLiteral("0"));
    items.setText(Item::status, alarm ? QStringLiteral("Fault") : QStringLiteral("OK"));
    items.setText(Item::lbl_error, alarm ? QStringLiteral("32") : QStringLiteral("0"));
    const char* texts[] = {"16.5", "14.2", "12.1", "10.0", "513", "113", "25", "5.5"};
    const Item values[] = {Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um, Item::ISOCode21um,
                           Item::Counts4um,  Item::Counts6um,  Item::Counts14um,  Item::Counts21um};
    for (size_t i = 0; i < std::size(values); ++i) items.setText(values[i], texts[i]);
    items.setText(Item::Temperature, QStringLiteral("21"));
    items.setText(Item::FlowIndex, QStringLiteral("1234"));
}

void RecordsIntoTheModel(benchmark::State& bench, bool alarmEveryRecord)
{
    QTemporaryDir dir;  // the working directory, where the events file goes
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SharedState state;
    state.NumUnits = 4;
    for (int unit = 1; unit <= 4; ++unit) {
        state.UnitEnabled[unit] = true;
        state.UnitName[unit] = QStringLiteral("Line %1").arg(unit);
    }
    ItemTables items;
    test::FakeClock clock;
    PlantModel model(state, items, clock);
    model.serverStarted(QStringLiteral("Version 2.0"));
    for (int i = model.events().size(); i < model.events().capacity(); ++i)
        model.events().add(PlantEvent{.time = clock.now(), .unit = 1 + i % 4, .event = "Earlier"});
    EventsFile file(model.events(), model);
    DiscardedMessages messages;
    MqttEventPublisher publisher(model.events(), messages, QStringLiteral("GRAINLINK"));
    qsizetype shown = 0;  // what a view reads when told
    QObject::connect(&model, &PlantModel::unitChanged,
                     [&](int unit) { shown += model.unit(unit).isoCodes[0].text.size(); });
    for (int unit = 1; unit <= 4; ++unit) model.portOpened(unit);

    bool alarm = false;
    for (auto _ : bench) {
        bench.PauseTiming();  // the decoder's work, not the model's
        alarm = alarmEveryRecord && !alarm;
        for (int unit = 1; unit <= 4; ++unit) WriteRecord(items[unit], alarm);
        clock.advanceSeconds(1);
        bench.ResumeTiming();
        for (int unit = 1; unit <= 4; ++unit) model.recordStored(unit, false);
        model.tick();
    }
    benchmark::DoNotOptimize(shown);
    if (model.events().size() != model.events().capacity() || shown == 0)
        bench.SkipWithError("the model did not take the records");
    bench.counters["per_record"] =
        benchmark::Counter(static_cast<double>(bench.iterations()) * 4,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
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

}  // namespace
}  // namespace grainlink
