#include "display/ui/unit_tile.h"

#include "state/item_table.h"
#include "widgets/role_colours.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace grainlink {
namespace {

constexpr const char* kSizes[] = {"4 µm", "6 µm", "14 µm", "21 µm"};

// The band of each state. Like the alarm flags' red and green these are signal colours, the
// same under a light and a dark palette, with black or white text on them, whichever reads.
QColor BandColour(UnitState state)
{
    switch (state) {
        case UnitState::Live:
            return {0x2e, 0x7d, 0x32};
        case UnitState::Alarm:
            return {0xc6, 0x28, 0x28};
        case UnitState::PortLost:
            return {0xe6, 0x51, 0x00};
        case UnitState::Stale:
            return {0xfb, 0xc0, 0x2d};
        case UnitState::Demo:
            return {0x15, 0x65, 0xc0};
        case UnitState::Paused:
            return {0x6a, 0x1b, 0x9a};
        case UnitState::Disabled:
            break;
    }
    return {0x9e, 0x9e, 0x9e};
}

QLabel* Caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFont Scaled(QFont font, double factor, bool bold)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

// A zero-width space after every character of a run too long for a line, so that a name
// without spaces ("INTAKE_PIT_NORTH_...") wraps instead of widening the tile past the window.
QString Breakable(const QString& text)
{
    constexpr int kLongestRun = 16;
    QString breakable;
    int run = 0;
    for (const QChar c : text) {
        breakable += c;
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestRun && !c.isHighSurrogate()) breakable += QChar(0x200B);
    }
    return breakable;
}

// "21 °C", or "no data".
QString WithUnit(const TileValue& value, const QString& unit)
{
    return value.number ? value.text + u' ' + unit : value.text;
}

}  // namespace

QLabel* NewValueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAccessibleName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void ShowValueText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

UnitTile::UnitTile(int unit, QWidget* parent) : QFrame(parent), m_unit(unit)
{
    setObjectName(QStringLiteral("unit%1").arg(unit));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);

    m_band = new QWidget(this);
    m_band->setAutoFillBackground(true);
    auto* band = new QHBoxLayout(m_band);
    band->setContentsMargins(8, 4, 8, 4);
    m_title = NewValueLabel(QStringLiteral("lbl_unit"), m_band);
    m_title->setWordWrap(true);  // a name of 79 characters takes lines, not the tile's width
    m_title->setFont(Scaled(font(), 1.2, true));
    m_state = NewValueLabel(QStringLiteral("lbl_state"), m_band);
    m_state->setFont(Scaled(font(), 1.2, true));
    band->addWidget(m_title, 1, Qt::AlignTop);
    band->addWidget(m_state, 0, Qt::AlignTop);
    layout->addWidget(m_band);

    auto* body = new QGridLayout;
    body->setContentsMargins(8, 6, 8, 8);
    body->setHorizontalSpacing(12);
    layout->addLayout(body);
    m_alarms = NewValueLabel(QStringLiteral("lbl_alarms"), this);
    m_alarms->setWordWrap(true);  // all eight flags take two lines
    m_alarms->setFont(Scaled(font(), 1, true));
    // Lines that stay, empty or not, so that a tile keeps its height from state to state.
    m_alarms->setMinimumHeight(m_alarms->fontMetrics().height());
    body->addWidget(m_alarms, 0, 0, 1, 5);
    body->addWidget(Caption(QStringLiteral("ISO code"), this), 2, 0);
    body->addWidget(Caption(QStringLiteral("Counts /mL"), this), 3, 0);
    for (size_t size = 0; size < 4; ++size) {
        const int column = static_cast<int>(size) + 1;
        body->addWidget(Caption(QString::fromUtf8(kSizes[size]), this), 1, column, Qt::AlignRight);
        m_isoCodes[size] = NewValueLabel(ItemName(kTileIsoCodes[size]), this);
        m_isoCodes[size]->setMinimumHeight(QFontMetrics(Scaled(font(), 2, true)).height());
        m_counts[size] = NewValueLabel(ItemName(kTileCounts[size]), this);
        body->addWidget(m_isoCodes[size], 2, column, Qt::AlignRight | Qt::AlignBottom);
        body->addWidget(m_counts[size], 3, column, Qt::AlignRight);
    }

    // Captions and values in pairs, two pairs a line.
    auto* details = new QGridLayout;
    details->setHorizontalSpacing(12);
    details->setColumnStretch(1, 1);
    details->setColumnStretch(3, 1);
    body->addLayout(details, 4, 0, 1, 5);
    const auto addPair = [&](int row, int column, const QString& caption, QLabel* value) {
        details->addWidget(Caption(caption, this), row, column);
        details->addWidget(value, row, column + 1);
    };
    m_temperature = NewValueLabel(ItemName(Item::Temperature), this);
    m_flowIndex = NewValueLabel(ItemName(Item::FlowIndex), this);
    m_lastRecord = NewValueLabel(QStringLiteral("lbl_last_record"), this);
    m_age = NewValueLabel(QStringLiteral("lbl_age"), this);
    m_rxCount = NewValueLabel(QStringLiteral("lbl_rx_count"), this);
    addPair(0, 0, QStringLiteral("Temperature"), m_temperature);
    addPair(0, 2, QStringLiteral("Flow index"), m_flowIndex);
    addPair(1, 0, QStringLiteral("Last record"), m_lastRecord);
    addPair(1, 2, QStringLiteral("Age"), m_age);
    addPair(2, 0, QStringLiteral("RX count"), m_rxCount);
    layout->addStretch(1);  // a tile beside a taller one keeps its lines together at the top

    UnitView nothingYet;
    nothingYet.unit = unit;
    showView(nothingYet);
}

void UnitTile::showView(const UnitView& view)
{
    m_label = UnitLabel(view.unit, view.name);
    m_title->setText(Breakable(m_label));
    m_title->setAccessibleDescription(m_label);
    ShowValueText(m_state, StateWord(view.state));
    const QColor band = BandColour(view.state);
    QPalette palette = m_band->palette();
    palette.setColor(QPalette::Window, band);
    palette.setColor(QPalette::WindowText, TextOn(band));
    m_band->setPalette(palette);

    // A fault without a flag named would still be an alarm.
    QString alarms;
    if (view.state == UnitState::Alarm)
        alarms = view.alarms.isEmpty() ? QStringLiteral("Status Fault")
                                       : view.alarms.join(QStringLiteral(", "));
    ShowValueText(m_alarms, alarms);

    for (size_t size = 0; size < 4; ++size) {
        ShowValueText(m_isoCodes[size], view.isoCodes[size].text);
        // "no data" in the body's type, so that a stale tile is no wider than a live one.
        m_isoCodes[size]->setFont(view.isoCodes[size].number ? Scaled(font(), 2, true) : font());
        ShowValueText(m_counts[size], view.counts[size].text);
    }
    ShowValueText(m_temperature, WithUnit(view.temperature, QStringLiteral("°C")));
    ShowValueText(m_flowIndex, view.flowIndex.text);
    ShowValueText(m_lastRecord, view.lastRecord ? view.lastRecordText : QStringLiteral("none"));
    ShowValueText(m_rxCount, QString::number(view.rxCount));
    showAge(view.ageText);
}

void UnitTile::showAge(const QString& ageText)
{
    ShowValueText(m_age, ageText.isEmpty() ? QStringLiteral("none") : ageText);
    describe();
}

void UnitTile::describe()
{
    const auto values = [](const std::array<QLabel*, 4>& labels) {
        QStringList texts;
        for (const QLabel* label : labels) texts << label->text();
        return texts.join(QStringLiteral(", "));
    };
    const QString name = m_label + QStringLiteral(": ") + m_state->text();
    setAccessibleName(name);
    QStringList parts{name};
    if (!m_alarms->text().isEmpty()) parts << QStringLiteral("alarms ") + m_alarms->text();
    parts << QStringLiteral("ISO codes ") + values(m_isoCodes)
          << QStringLiteral("counts per mL ") + values(m_counts)
          << QStringLiteral("temperature ") + m_temperature->text()
          << QStringLiteral("flow index ") + m_flowIndex->text()
          << QStringLiteral("last record ") + m_lastRecord->text()
          << QStringLiteral("age ") + m_age->text()
          << QStringLiteral("RX count ") + m_rxCount->text();
    setAccessibleDescription(parts.join(QStringLiteral("; ")));
}

}  // namespace grainlink
