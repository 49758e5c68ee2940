#pragma once

#include <QWidget>

class QComboBox;
class QTableView;

namespace grainlink {

class EventTableModel;
class PlantModel;

// The overview's event list: the table grd_events (Time, Unit, Event, Detail, newest first)
// under the filter cmb_unit_filter, which offers all units, the server's own events and each
// unit shown, by its current name. The table is a view over EventTableModel, so ten thousand
// events scroll as fast as ten.
class EventListPanel : public QWidget {
    Q_OBJECT

public:
    explicit EventListPanel(const PlantModel& plant, QWidget* parent = nullptr);

    EventTableModel& model() { return *m_model; }
    QTableView* table() const { return m_table; }
    QComboBox* filter() const { return m_filter; }
    // The filter's entries follow the units shown and their names; a unit no longer shown is
    // no longer filtered for.
    void syncUnits();

private:
    void applyFilter();

    const PlantModel& m_plant;
    EventTableModel* m_model = nullptr;
    QComboBox* m_filter = nullptr;
    QTableView* m_table = nullptr;
};

}  // namespace grainlink
