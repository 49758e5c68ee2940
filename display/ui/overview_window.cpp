#include "display/ui/overview_window.h"

#include "display/ui/event_list_panel.h"
#include "display/ui/tile_grid_layout.h"
#include "display/ui/unit_tile.h"
#include "plant/plant_model.h"

#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace grainlink {
namespace {

// The window's size at its first showing, as far as the screen allows: four tiles in two rows
// over a dozen events on a 1280 x 800 screen.
constexpr QSize kPreferredSize(1240, 760);
// The tiles' share of the height at most, when they would take more; the rest is the list's.
constexpr double kTilesShare = 0.62;

QString OnOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

}  // namespace

OverviewWindow::OverviewWindow(const PlantModel& plant, QWidget* parent)
    : QMainWindow(parent), m_plant(plant)
{
    setObjectName(QStringLiteral("frm_overview"));
    setWindowTitle(QStringLiteral("Overview"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    m_splitter = new QSplitter(Qt::Vertical, central);
    m_splitter->setChildrenCollapsible(false);
    m_scroll = new QScrollArea(m_splitter);
    m_scroll->setObjectName(QStringLiteral("scroll_tiles"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_tileArea = new QWidget(m_scroll);
    m_grid = new TileGridLayout(m_tileArea);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_scroll->setWidget(m_tileArea);
    m_events = new EventListPanel(plant, m_splitter);
    m_splitter->addWidget(m_scroll);
    m_splitter->addWidget(m_events);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(buildStatusLine());
    setCentralWidget(central);

    connect(&plant, &PlantModel::unitsChanged, this, &OverviewWindow::syncUnits);
    connect(&plant, &PlantModel::unitChanged, this, &OverviewWindow::showUnit);
    connect(&plant, &PlantModel::agesChanged, this, &OverviewWindow::showAges);
    connect(&plant, &PlantModel::statusChanged, this, &OverviewWindow::showStatus);
    syncUnits();
    showStatus();
}

QWidget* OverviewWindow::buildStatusLine()
{
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(24);
    m_broker = NewValueLabel(QStringLiteral("lbl_broker"), line);
    m_broker->setWordWrap(true);  // a broker's reason can be long
    m_access = NewValueLabel(QStringLiteral("lbl_access"), line);
    m_dataLog = NewValueLabel(QStringLiteral("lbl_data_log"), line);
    m_demoMode = NewValueLabel(QStringLiteral("lbl_demo_mode"), line);
    layout->addWidget(m_broker, 1);
    for (QLabel* label : {m_access, m_dataLog, m_demoMode}) layout->addWidget(label);
    return line;
}

void OverviewWindow::syncUnits()
{
    // The units shown are always 1 to NumUnits, so tiles are added in unit order.
    const QList<int> shown = m_plant.units();
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        UnitTile*& tile = m_tiles[static_cast<size_t>(unit)];
        if (shown.contains(unit) && !tile) {
            tile = new UnitTile(unit, m_tileArea);
            m_grid->addWidget(tile);
        } else if (!shown.contains(unit) && tile) {
            delete tile;
            tile = nullptr;
        }
        refreshTile(unit);
    }
    m_events->syncUnits();
}

void OverviewWindow::showUnit(int unit)
{
    if (isVisible() && refreshTile(unit)) m_events->syncUnits();
}

bool OverviewWindow::refreshTile(int unit)
{
    UnitTile* tile = unit >= 1 && unit <= kMaxUnits ? m_tiles[static_cast<size_t>(unit)] : nullptr;
    if (!tile) return false;
    const UnitView view = m_plant.unit(unit);
    tile->showView(view);
    return std::exchange(m_names[static_cast<size_t>(unit)], view.name) != view.name;
}

void OverviewWindow::showAges()
{
    if (!isVisible()) return;
    for (UnitTile* tile : m_tiles)
        if (tile) tile->showAge(m_plant.unit(tile->unit()).ageText);
}

void OverviewWindow::showStatus()
{
    const StatusLine& status = m_plant.status();
    ShowValueText(m_broker, QStringLiteral("Broker: ") + BrokerText(status));
    ShowValueText(m_access, QStringLiteral("Access: ") + AccessText(status.accessLevel));
    ShowValueText(m_dataLog, QStringLiteral("Data log: ") + OnOff(status.dataLog));
    ShowValueText(m_demoMode, QStringLiteral("Demo mode: ") + OnOff(status.demoMode));
}

void OverviewWindow::setVisible(bool visible)
{
    // Sized before the window system has it: a visible window's resize is only a request.
    if (visible && !std::exchange(m_fitted, true)) fitToScreen();
    QMainWindow::setVisible(visible);
}

void OverviewWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    syncUnits();  // the tiles stood still while the window was hidden
}

// The preferred size within the screen's free area (less a title bar and a border); the tiles
// get the height they need up to their share, the list the rest.
void OverviewWindow::fitToScreen()
{
    const QRect available = screen()->availableGeometry();
    resize(std::min(kPreferredSize.width(), available.width() - 40),
           std::min(kPreferredSize.height(), available.height() - 60));
    layout()->activate();
    centralWidget()->layout()->activate();
    syncUnits();  // the tiles hold their texts before they are measured
    const int height = m_splitter->height() - m_splitter->handleWidth();
    const int tilesWidth = m_splitter->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int tilesHeight =
        std::min(m_grid->heightForWidth(tilesWidth), static_cast<int>(height * kTilesShare));
    m_splitter->setSizes({tilesHeight, height - tilesHeight});
}

}  // namespace grainlink
