// The simulator's record builder against the server's decoder: whatever reading and identity the
// builder writes, the decoder reads back, in any locale. Values beyond what a field can carry read
// back as the field's limit; each count reads back as the builder encoded it, with the ISO code
// of the count that arrives.

#include "acquisition/record_decoder.h"
#include "fuzz/fuzz_support.h"
#include "tools/sim/record_builder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>

namespace grainlink::fuzz {
namespace {

using sim::Reading;
using sim::UnitIdentity;

constexpr char kHexDigits[] = "0123456789ABCDEFabcdef";

UnitIdentity Identity(FuzzedDataProvider& input)
{
    UnitIdentity id;
    id.systemId = input.ConsumeIntegral<uint16_t>();
    id.nodeId = input.ConsumeIntegral<uint8_t>();
    id.serialNo = input.ConsumeIntegral<uint16_t>();
    for (int i = 0; i < 2; ++i)
        id.firmware += kHexDigits[input.ConsumeIntegralInRange<int>(0, sizeof kHexDigits - 2)];
    return id;
}

// Anything from nothing to far beyond the field, with the fine steps near the field's rounding.
double Value(FuzzedDataProvider& input)
{
    const double magnitude = std::pow(10.0, input.ConsumeFloatingPointInRange(-4.0, 9.0));
    return input.ConsumeBool() ? -magnitude : input.ConsumeBool() ? 0 : magnitude;
}

Reading Measured(FuzzedDataProvider& input)
{
    Reading r;
    for (double& count : r.countsPerMl) count = Value(input);
    for (double& duty : r.dutyPercent) duty = Value(input);
    r.chan1Events = input.ConsumeIntegral<uint32_t>();
    r.chan4Events = input.ConsumeIntegral<uint32_t>();
    r.sampleSeconds = input.ConsumeIntegral<int>();
    r.laserCurrentMa = input.ConsumeIntegral<int>();
    r.diodePowerMw = Value(input);
    r.temperatureC = input.ConsumeIntegral<int>();
    r.errorByte = input.ConsumeIntegral<uint8_t>();
    return r;
}

class ReadBack {
public:
    ReadBack(const QByteArray& record, const ItemTable& items) : m_record(record), m_items(items) {}

    double Number(Item item) const
    {
        bool ok = false;
        const double value = QLocale().toDouble(m_items.text(item), &ok);
        FUZZ_CHECK(ok, Detail(item));
        return value;
    }
    void Exactly(Item item, const QString& expected) const
    {
        FUZZ_CHECK(m_items.text(item) == expected,
                   Detail(item) + " instead of " + expected.toUtf8());
    }
    void Within(Item item, double expected, double tolerance) const
    {
        FUZZ_CHECK(std::abs(Number(item) - expected) <= tolerance,
                   Detail(item) + " instead of " + QByteArray::number(expected, 'g', 12));
    }

private:
    QByteArray Detail(Item item) const
    {
        return m_record + ItemName(item).toUtf8() + " read back as \"" +
               m_items.text(item).toUtf8() + '"';
    }

    const QByteArray& m_record;
    const ItemTable& m_items;
};

double Clamped(double value, double high)
{
    return std::clamp(value, 0.0, high);
}

QString Whole(double value)
{
    return QString::number(static_cast<qint64>(value));
}

void CheckSizes(const Reading& reading, const ReadBack& back)
{
    const Item counts[] = {Item::Counts4um, Item::Counts6um, Item::Counts14um, Item::Counts21um};
    const Item codes[] = {Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um, Item::ISOCode21um};
    for (int size = 0; size < 4; ++size) {
        const sim::SizeFields sent = sim::EncodeSize(reading.countsPerMl[size]);
        back.Within(codes[size], sent.isoTenths / 10.0, 0.01);
        const double scale = sent.isoTenths < 110 ? 1e-3 : sent.isoTenths <= 236 ? 1 : 1e3;
        back.Within(counts[size], sent.counts * scale, scale * 1e-6);
        // The code is the one of the count that arrives: 10 x log2(count x 100), none for none.
        const double arrived = back.Number(counts[size]);
        const double code =
            arrived > 0 ? std::max(0.0, std::round(10 * std::log2(arrived * 100))) : 0;
        back.Within(codes[size], code / 10, 0.01);
    }
}

void Check(const UnitIdentity& id, const Reading& r)
{
    const QByteArray record = sim::BuildRecord(id, r);
    SharedState state;
    state.UnitData[1].RxBuffer = record;
    ItemTables tables;
    bool decoded = false;
    RecordDecoder(state, tables, [&decoded](int) { decoded = true; }).DecodeRecord(1);
    FUZZ_CHECK(decoded, record + " was refused");

    const ReadBack back(record, tables[1]);
    back.Exactly(Item::SystemID, QString::number(id.systemId));
    back.Exactly(Item::NodeID, QString::number(id.nodeId));
    back.Exactly(Item::SerialNo, QString::number(id.serialNo));
    back.Exactly(Item::Firmware, QString::fromLatin1(id.firmware).toLower());
    const Item duties[] = {Item::Chan1Duty, Item::Chan2Duty, Item::Chan3Duty, Item::Chan4Duty};
    for (int channel = 0; channel < 4; ++channel)
        back.Within(duties[channel], Clamped(r.dutyPercent[channel], 0xFFFFFFF / 1e6),
                    0.5e-6 + 1e-9);
    back.Exactly(Item::Chan1Event, Whole(Clamped(r.chan1Events, 0xFFFFFF)));
    back.Exactly(Item::Chan4Event, Whole(Clamped(r.chan4Events, 0xFFFFFF)));
    back.Exactly(Item::SampleTime, Whole(Clamped(r.sampleSeconds, 0xFFF)));
    back.Within(Item::LaserCurrent, Clamped(r.laserCurrentMa, 0xFF), 0);
    back.Within(Item::DiodePower, Clamped(r.diodePowerMw, 0xFFF / 100.0), 0.005 + 1e-9);
    back.Exactly(Item::Temperature, QString::number(std::clamp(r.temperatureC, -127, 127)));
    back.Exactly(Item::lbl_error, QString::number(r.errorByte));
    for (int bit = 0; bit < 8; ++bit)
        back.Exactly(kAlarmFlags[bit],
                     (r.errorByte >> bit) & 1 ? QStringLiteral("1") : QStringLiteral("0"));
    back.Exactly(Item::status, r.errorByte ? QStringLiteral("Fault") : QStringLiteral("OK"));
    CheckSizes(r, back);
}

}  // namespace
}  // namespace grainlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace grainlink::fuzz;
    FuzzedDataProvider input(data, size);
    QLocale::setDefault(LocaleNumbered(input.ConsumeIntegral<uint8_t>()));
    const grainlink::sim::UnitIdentity id = Identity(input);
    Check(id, Measured(input));
    return 0;
}
