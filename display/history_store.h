#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace grainlink {

// One stored record. Index 1..4 of Counts and IsoCodes is 4, 6, 14 and 21 µm; 0 and 5 stay 0.
struct HistoryRec {
    QString DateText;
    QString TimeText;
    QDateTime Time;  // when stored, for the outputs that write ISO 8601 times
    std::array<float, 6> Counts{};
    std::array<float, 6> IsoCodes{};
    bool ErrorState = false;
    float LaserCurrent = 0;
    float DiodePower = 0;
    float Temperature = 0;
    float FlowIndex = 0;
    int16_t ErrorCode = 0;
};

// Whether a history row holds a stored record; an emptied row has neither date nor time.
inline bool HoldsRecord(const HistoryRec& row)
{
    return !row.DateText.isEmpty() || !row.TimeText.isEmpty();
}

// What a unit's table window shows.
enum class HistoryView { Counts, Codes, Diagnostics };

// The history of units 1 to 4: up to kMaxRows rows each, row 1 the oldest and row BufferSize
// the newest, plus the per-unit view state of their table windows. It is plain data that lives
// for the whole run, windows or not; the windows follow it through the signals, so a server
// without windows pays for the rows alone.
//
// Guarantees: storing moves rows 2..BufferSize up by one and writes the record as row
// BufferSize, so a history fills from its last row upwards; rows beyond BufferSize are never
// touched, so a changed BufferSize neither moves nor clears anything. Every refresh of a unit
// is one `refreshed` signal, whatever the number of rows.
class HistoryStore : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxRows = 1000;
    static constexpr const char* kDesignFrameCaption = "Data last obtained at:";

    explicit HistoryStore(QObject* parent = nullptr);

    // Row 1..kMaxRows of unit 1..4; throws std::out_of_range otherwise (as do all the unit and
    // row arguments below, except those of ConfigureView and RefreshHistory).
    const HistoryRec& row(int unit, int row) const;
    // Moves rows 2..bufferSize up by one, dropping row 1, and writes `record` as row bufferSize.
    void store(int unit, int bufferSize, HistoryRec record);
    // Empties rows 1..bufferSize.
    void clear(int unit, int bufferSize);

    HistoryView tableView(int unit) const;
    void setTableView(int unit, HistoryView view);
    // Whether the unit's Time column has been widened (once per run).
    bool timeColumnSized(int unit) const;
    void setTimeColumnSized(int unit, bool sized);

    // The caption of the table window's chart frame: when the last record arrived.
    const QString& frameCaption(int unit) const;
    void setFrameCaption(int unit, const QString& caption);

    // The number of rows the unit's grid and chart were last configured for (0 before).
    int configuredRows(int unit) const;

    // Sets the unit's grid and chart up for its view and bufferSize rows, empty until the next
    // refresh. Units outside 1..4 do nothing.
    void ConfigureView(int unit, int bufferSize);
    // Writes the unit's rows into its grid and chart. Units outside 1..4 do nothing.
    void RefreshHistory(int unit);

signals:
    void viewConfigured(int unit);
    void refreshed(int unit);
    void frameCaptionChanged(int unit, const QString& caption);

private:
    struct Unit {
        std::vector<HistoryRec> rows = std::vector<HistoryRec>(kMaxRows);
        HistoryView tableView = HistoryView::Codes;
        bool timeColumnSized = false;
        QString frameCaption = QString::fromLatin1(kDesignFrameCaption);
        int configuredRows = 0;
    };

    Unit& at(int unit);
    const Unit& at(int unit) const;
    static int rowsWithin(int bufferSize);

    std::array<Unit, 4> m_units;
};

}  // namespace grainlink
