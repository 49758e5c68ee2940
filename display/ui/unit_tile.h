#pragma once

#include <QFrame>

#include <array>

#include "plant/unit_view.h"

class QLabel;

namespace grainlink {

// A label that shows a value on the overview, found by its name (also its accessible name); its
// text is also its accessible description.
QLabel* NewValueLabel(const QString& name, QWidget* parent);
void ShowValueText(QLabel* label, const QString& text);

// One unit on the overview (unit<n>): its number and name and its state as a word on a band
// of the state's colour, the alarm flags set, the four ISO codes in large type over the four
// counts, temperature and flow index, the last record's time and age, and the RX count. Every
// text is shown whole: labels wrap or widen the tile, never cut. The tile's accessible name
// says the unit and its state and its description everything it shows, so that a screen reader
// or a test reads the tile as a whole; each value label carries its item name and its text.
class UnitTile : public QFrame {
    Q_OBJECT

public:
    explicit UnitTile(int unit, QWidget* parent = nullptr);

    int unit() const { return m_unit; }
    void showView(const UnitView& view);
    // A second went by: only the age moved on.
    void showAge(const QString& ageText);

private:
    void describe();

    int m_unit;
    QString m_label;  // "Unit 1 (Line A)"
    QWidget* m_band = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_alarms = nullptr;
    std::array<QLabel*, 4> m_isoCodes{};
    std::array<QLabel*, 4> m_counts{};
    QLabel* m_temperature = nullptr;
    QLabel* m_flowIndex = nullptr;
    QLabel* m_lastRecord = nullptr;
    QLabel* m_age = nullptr;
    QLabel* m_rxCount = nullptr;
};

}  // namespace grainlink
