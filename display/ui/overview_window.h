#pragma once

#include <QMainWindow>

#include <array>

#include "state/unit_state.h"

class QLabel;
class QScrollArea;
class QSplitter;

namespace grainlink {

class EventListPanel;
class PlantModel;
class TileGridLayout;
class UnitTile;

// frm_overview, "Overview": every unit shown as a tile in unit order, the event list with its
// unit filter under them, and the status line (broker, access level, data log, demonstration
// mode) at the bottom. A view of the plant model only: it follows the model's signals and never
// changes it. The tiles reflow with the window's width and scroll where the window is too small
// for them (a small screen, a large scale), so that the window stays usable from 1280 x 800 at
// 2x scale up. Closing only hides it; while hidden it lets the tiles be and catches up when
// shown again.
class OverviewWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit OverviewWindow(const PlantModel& plant, QWidget* parent = nullptr);

    EventListPanel& events() { return *m_events; }
    // The tiles' grid, to tell how the tiles are laid out.
    const TileGridLayout& tileGrid() const { return *m_grid; }

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildStatusLine();
    void syncUnits();
    void showUnit(int unit);
    // Shows the unit's view on its tile; true when the unit's name changed.
    bool refreshTile(int unit);
    void showAges();
    void showStatus();
    void fitToScreen();

    const PlantModel& m_plant;
    QSplitter* m_splitter = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_tileArea = nullptr;
    TileGridLayout* m_grid = nullptr;
    std::array<UnitTile*, kMaxUnits + 1> m_tiles{};
    std::array<QString, kMaxUnits + 1> m_names{};  // as the event filter offers them
    EventListPanel* m_events = nullptr;
    QLabel* m_broker = nullptr;
    QLabel* m_access = nullptr;
    QLabel* m_dataLog = nullptr;
    QLabel* m_demoMode = nullptr;
    bool m_fitted = false;
};

}  // namespace grainlink
