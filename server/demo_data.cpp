#include "server/demo_data.h"

#include "acquisition/field_conversions.h"
#include "server/unit_status.h"

#include <QStringList>

namespace grainlink {
namespace {

// ISO codes 4, 6, 14, 21 µm, then counts per mL of the same sizes.
const QStringList kRecordA = {"16.6", "14.4", "12.2", "10.1", "513", "113", "25", "5.5"};
const QStringList kRecordB = {"15.9", "14.0", "12.2", "10.1", "305", "81", "25", "5.5"};
const QStringList kRecordC = {"15.2", "13.3", "10.1", "7.7", "193", "53", "5.5", "1.11"};

constexpr std::array<Item, 8> kRecordItems = {
    Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um, Item::ISOCode21um,
    Item::Counts4um,  Item::Counts6um,  Item::Counts14um,  Item::Counts21um,
};

}  // namespace

DemoData::DemoData(SharedState& state) : m_state(state)
{
    ResetDemoState();
}

void DemoData::ResetDemoState()
{
    int index = 1;
    for (const QStringList* record : {&kRecordA, &kRecordB, &kRecordC, &kRecordA, &kRecordB})
        for (const QString& value : *record) m_demoValues[index++] = value;
    m_demoIndex = 1;
    for (int unit = 1; unit <= kMaxUnits; ++unit) m_state.PortOpenOk[unit] = false;
}

float DemoData::NextRandom()
{
    // The top 24 bits make every value exact in single precision and keep it below 1.
    return static_cast<float>(m_random() >> 8) / 16777216.0f;
}

void DemoData::MakeDemoRecord(int unit, ItemTables& items)
{
    if (unit >= 1 && unit <= kMaxUnits) {
        ItemTable& table = items[unit];
        for (int i = 0; i < kValuesPerRecord; ++i)
            table.setText(kRecordItems[i], m_demoValues[m_demoIndex + i]);
        table.setText(Item::LaserCurrent, FormatPattern(25.0f - NextRandom(), u"0.00"));
        table.setText(Item::DiodePower, FormatPattern(12.0f - NextRandom(), u"0.0"));
        table.setText(Item::Temperature, FormatPattern(20.0f - NextRandom(), u"0.00"));
        for (Item flag : kFlagsInMarkingOrder) {
            table.setText(flag, QStringLiteral("0"));
            table.setColour(flag, kGreen);
        }
        table.setText(Item::status, QStringLiteral("DEMO"));
        table.setColour(Item::status, kGreen);
    }
    m_demoIndex = static_cast<int16_t>(m_demoIndex + kValuesPerRecord);
    if (m_demoIndex > kLastValue) m_demoIndex = 1;
}

}  // namespace grainlink
