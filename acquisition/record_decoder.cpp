#include "acquisition/record_decoder.h"

#include "acquisition/field_conversions.h"
#include "acquisition/locate.h"

#include <QLocale>

#include <array>

namespace grainlink {
namespace {

struct TaggedItem {
    const char* tag;
    Item item;
};

constexpr std::array<TaggedItem, 4> kDuties = {{
    {"B1", Item::Chan1Duty}, {"B2", Item::Chan2Duty},
    {"B3", Item::Chan3Duty}, {"B4", Item::Chan4Duty},
}};

// Per particle size: the ISO code field, then the count field that is scaled by that code.
struct SizeFields {
    TaggedItem iso;
    TaggedItem counts;
};

constexpr std::array<SizeFields, 4> kSizes = {{
    {{"C5", Item::ISOCode4um}, {"C1", Item::Counts4um}},
    {{"C6", Item::ISOCode6um}, {"C2", Item::Counts6um}},
    {{"C7", Item::ISOCode14um}, {"C3", Item::Counts14um}},
    {{"C8", Item::ISOCode21um}, {"C4", Item::Counts21um}},
}};

struct ErrorBit {
    int bit;
    Item flag;
};

// Screen order puts Flow (bit 7) above Concentration (bit 6); the flags are written that way.
constexpr std::array<ErrorBit, 8> kErrorBits = {{
    {0, Item::LaserLow}, {1, Item::LaserHigh}, {2, Item::RcvPwrLo}, {3, Item::RcvPwrHi},
    {4, Item::TempLow},  {5, Item::TempHigh},  {7, Item::Flow},     {6, Item::Concentration},
}};

QByteArray Field(const QByteArray& record, const char* tag, int width)
{
    return Locate(QByteArray(tag), record, width);
}

int32_t Hex(const QByteArray& record, const char* tag, int width)
{
    return HexValue(Field(record, tag, width));
}

void SetMarked(ItemTable& items, Item item, bool alarm, const QString& alarmText,
               const QString& clearText)
{
    items.setText(item, alarm ? alarmText : clearText);
    items.setColour(item, alarm ? kRed : kGreen);
}

}  // namespace

RecordDecoder::RecordDecoder(const SharedState& state, ItemTables& items, LogDataFn logData)
    : m_state(state), m_items(items), m_logData(std::move(logData))
{
}

bool RecordDecoder::DecodeRecord(int unit)
{
    const QByteArray& record = m_state.UnitData[unit].RxBuffer;
    if (!ValidChars(record)) return false;
    if (unit >= 1 && unit <= kMaxUnits) {
        ItemTable& items = m_items[unit];
        DecodeFields(record, items);
        DecodeErrorByte(record, items);
        DecodeFlowIndex(items);
    }
    if (m_logData) m_logData(unit);
    return true;
}

void RecordDecoder::DecodeFields(const QByteArray& record, ItemTable& items)
{
    items.setText(Item::SystemID, QString::number(Hex(record, "A1", 4)));
    items.setText(Item::NodeID, QString::number(Hex(record, "A2", 2)));
    items.setText(Item::SerialNo, QString::number(Hex(record, "A3", 4)));
    items.setText(Item::Firmware, QString::fromLatin1(Field(record, "A4", 2)));
    for (const TaggedItem& duty : kDuties)
        items.setText(duty.item, FormatPattern(Hex(record, duty.tag, 7) / 1e6, u"00.000000"));
    items.setText(Item::Chan1Event, QString::number(Hex(record, "B5", 6)));
    items.setText(Item::Chan4Event, QString::number(Hex(record, "B6", 6)));
    items.setText(Item::SampleTime, QString::number(Hex(record, "B7", 3)));

    // The count's scale follows the ISO code as shown, so it is read back from its text.
    const QLocale locale;
    for (const SizeFields& size : kSizes) {
        items.setText(size.iso.item, FormatPattern(Hex(record, size.iso.tag, 3) / 10.0, u"0.0"));
        const float iso = locale.toFloat(items.text(size.iso.item));
        items.setText(size.counts.item, CountsText(iso, Field(record, size.counts.tag, 4)));
    }

    items.setText(Item::LaserCurrent, FormatPattern(Hex(record, "D1", 2), u"0"));
    items.setText(Item::DiodePower, FormatPattern(Hex(record, "D2", 3) / 100.0, u"0.00"));
    items.setText(Item::Temperature, QString::number(SignMagnitude(Hex(record, "D3", 2))));
}

void RecordDecoder::DecodeErrorByte(const QByteArray& record, ItemTable& items)
{
    const int32_t error = Hex(record, "D4", 2);
    items.setText(Item::lbl_error, QString::number(error));
    bool fault = false;
    for (const ErrorBit& bit : kErrorBits) {
        const bool set = BitSet(bit.bit, error);
        SetMarked(items, bit.flag, set, QStringLiteral("1"), QStringLiteral("0"));
        fault = fault || set;
    }
    SetMarked(items, Item::status, fault, QStringLiteral("Fault"), QStringLiteral("OK"));
}

void RecordDecoder::DecodeFlowIndex(ItemTable& items)
{
    // Read back from the texts just written, as everything after the decoder does.
    const QLocale locale;
    const std::optional<int32_t> index =
        FlowIndex(locale.toDouble(items.text(Item::SampleTime)),
                  locale.toDouble(items.text(Item::Chan1Duty)),
                  locale.toDouble(items.text(Item::Chan1Event)), items.text(Item::txt_flow_factor));
    items.setText(Item::FlowIndex,
                  index ? QString::number(*index) : QString::fromLatin1(kNoDataText));
}

}  // namespace grainlink
