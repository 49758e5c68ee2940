#include "tools/sim/record_builder.h"

#include <algorithm>
#include <cmath>

namespace grainlink::sim {
namespace {

constexpr int kIsoUnitsFrom = 110;  // codes below 11.0 carry thousandths
constexpr int kIsoUnitsUpTo = 236;  // codes above 23.6 carry thousands
constexpr int kIsoFieldMax = 0xfff;

// The value as `width` lower-case hexadecimal digits, clamped to what they can hold.
QByteArray Hex(double value, int width)
{
    const double max = std::pow(16.0, width) - 1;
    const auto clamped = static_cast<uint32_t>(std::clamp(std::round(value), 0.0, max));
    return QByteArray::number(clamped, 16).rightJustified(width, '0');
}

double Scale(CountScale scale)
{
    switch (scale) {
    case CountScale::Thousandths: return 1e-3;
    case CountScale::Units: return 1;
    case CountScale::Thousands: return 1e3;
    }
    return 1;
}

uint16_t CountsField(double countsPerMl, CountScale scale)
{
    return static_cast<uint16_t>(std::clamp(std::round(countsPerMl / Scale(scale)), 0.0, 65535.0));
}

uint8_t SignMagnitude(int value)
{
    const int clamped = std::clamp(value, -127, 127);  // before the sign goes: -INT_MIN overflows
    return static_cast<uint8_t>(clamped < 0 ? 0x80 | -clamped : clamped);
}

}  // namespace

int IsoTenths(double countsPerMl)
{
    if (!(countsPerMl > 0)) return 0;
    const double tenths = std::round(10 * std::log2(countsPerMl * 100));
    return static_cast<int>(std::clamp(tenths, 0.0, double(kIsoFieldMax)));
}

CountScale ScaleOfIso(int isoTenths)
{
    if (isoTenths < kIsoUnitsFrom) return CountScale::Thousandths;
    if (isoTenths <= kIsoUnitsUpTo) return CountScale::Units;
    return CountScale::Thousands;
}

SizeFields EncodeSize(double countsPerMl)
{
    // The field rounds the count; the code follows the rounded count. Rounding can move the code
    // across a scale boundary, and then the count is carried in the new scale instead.
    SizeFields fields{IsoTenths(countsPerMl), 0};
    for (int attempt = 0; attempt < 3; ++attempt) {
        const CountScale scale = ScaleOfIso(fields.isoTenths);
        fields.counts = CountsField(countsPerMl, scale);
        const int carried = IsoTenths(fields.counts * Scale(scale));
        const bool settled = ScaleOfIso(carried) == scale;
        fields.isoTenths = carried;
        if (settled) break;
    }
    return fields;
}

QByteArray BuildRecord(const UnitIdentity& id, const Reading& r)
{
    QByteArray record(";");
    const auto field = [&record](const char* tag, const QByteArray& digits) {
        record += tag + digits + ';';
    };
    field("A1", Hex(id.systemId, 4));
    field("A2", Hex(id.nodeId, 2));
    field("A3", Hex(id.serialNo, 4));
    field("A4", id.firmware.left(2).rightJustified(2, '0').toLower());
    const char* dutyTags[] = {"B1", "B2", "B3", "B4"};
    for (std::size_t i = 0; i < r.dutyPercent.size(); ++i)
        field(dutyTags[i], Hex(r.dutyPercent[i] * 1e6, 7));
    field("B5", Hex(r.chan1Events, 6));
    field("B6", Hex(r.chan4Events, 6));
    field("B7", Hex(r.sampleSeconds, 3));

    const char* countTags[] = {"C1", "C2", "C3", "C4"};
    const char* isoTags[] = {"C5", "C6", "C7", "C8"};
    SizeFields sizes[4];
    for (std::size_t i = 0; i < r.countsPerMl.size(); ++i) sizes[i] = EncodeSize(r.countsPerMl[i]);
    for (std::size_t i = 0; i < 4; ++i) field(countTags[i], Hex(sizes[i].counts, 4));
    for (std::size_t i = 0; i < 4; ++i) field(isoTags[i], Hex(sizes[i].isoTenths, 3));

    field("D1", Hex(r.laserCurrentMa, 2));
    field("D2", Hex(r.diodePowerMw * 100, 3));
    field("D3", Hex(SignMagnitude(r.temperatureC), 2));
    field("D4", Hex(r.errorByte, 2));
    record.chop(1);  // the last field ends with the line end instead
    return record + "\r\n";
}

}  // namespace grainlink::sim
