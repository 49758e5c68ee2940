#include "display/ui/event_list_panel.h"

#include "display/ui/event_table_model.h"
#include "plant/plant_model.h"
#include "platform/clock.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace grainlink {
namespace {

constexpr int kAllUnits = -1;  // the filter entry that filters nothing

}  // namespace

EventListPanel::EventListPanel(const PlantModel& plant, QWidget* parent)
    : QWidget(parent), m_plant(plant), m_model(new EventTableModel(plant.events(), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* filterRow = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Events of &unit:"), this);
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("cmb_unit_filter"));
    // As wide as a name of average length: a name of 79 characters would widen the window past
    // a small screen. The list that drops down shows every name whole.
    m_filter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_filter->setMinimumContentsLength(28);
    caption->setBuddy(m_filter);
    filterRow->addWidget(caption);
    filterRow->addWidget(m_filter);
    filterRow->addStretch(1);
    layout->addLayout(filterRow);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("grd_events"));
    m_table->setAccessibleName(QStringLiteral("Events"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Rows of one height: none is measured when thousands come and go.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Widths from the font rather than from the rows: measuring thousands of rows at every
    // refresh would cost more than the events themselves. A cell too narrow shows its text
    // whole in its tip.
    QHeaderView* header = m_table->horizontalHeader();
    const QFontMetrics metrics = m_table->fontMetrics();
    const auto fit = [&](int column, const QString& text, int extra = 0) {
        header->resizeSection(
            column, metrics.horizontalAdvance(text) + 4 * metrics.averageCharWidth() + extra);
    };
    fit(EventTableModel::TimeColumn,
        GeneralDateText(QDateTime(QDate(2000, 12, 28), QTime(20, 58, 58))));
    fit(EventTableModel::UnitColumn, QStringLiteral("Unit 4 (Name of twelve)"));
    fit(EventTableModel::EventColumn, QStringLiteral("File written again"),
        m_table->iconSize().width());
    header->setStretchLastSection(true);
    layout->addWidget(m_table, 1);

    connect(m_filter, &QComboBox::currentIndexChanged, this, &EventListPanel::applyFilter);
    syncUnits();
}

void EventListPanel::syncUnits()
{
    const int filtered = m_filter->count() > 0 ? m_filter->currentData().toInt() : kAllUnits;
    QList<std::pair<QString, int>> entries{{QStringLiteral("All units"), kAllUnits},
                                           {QStringLiteral("Server"), 0}};
    for (int unit : m_plant.units())
        entries.append({UnitLabel(unit, m_plant.unit(unit).name), unit});
    // Only names changed: the entries are renamed, the list stays as it is.
    const QSignalBlocker quiet(m_filter);
    if (m_filter->count() != entries.size()) {
        m_filter->clear();
        for (const auto& [text, unit] : entries) m_filter->addItem(text, unit);
    }
    for (int i = 0; i < entries.size(); ++i) m_filter->setItemText(i, entries[i].first);
    m_filter->view()->setMinimumWidth(m_filter->view()->sizeHintForColumn(0));
    m_filter->setCurrentIndex(std::max(0, m_filter->findData(filtered)));
    applyFilter();
}

void EventListPanel::applyFilter()
{
    const int unit = m_filter->currentData().toInt();
    const std::optional<int> wanted = unit == kAllUnits ? std::nullopt : std::optional(unit);
    if (wanted != m_model->unitFilter()) m_model->setUnitFilter(wanted);
}

}  // namespace grainlink
