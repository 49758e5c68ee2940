#include "server/ui/server_window.h"

#include "server/ui/comms_frame.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace grainlink {

ServerWindow::ServerWindow(CommsPanel& panel, const QString& productName,
                           UnitWindowCommands dataWindows, UnitWindowCommands tableWindows,
                           QWidget* parent)
    : QMainWindow(parent),
      m_panel(panel),
      m_dataWindows(std::move(dataWindows)),
      m_tableWindows(std::move(tableWindows))
{
    setObjectName(QStringLiteral("frm_server"));
    setWindowTitle(productName);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    for (int unit = 1; unit <= 4; ++unit) {
        auto* frame = new CommsFrame(unit, central);
        m_frames[unit - 1] = frame;
        column->addWidget(frame);
        for (CommsControl control : {CommsControl::frame_comms, CommsControl::lbl_rx,
                                     CommsControl::lbl_msg, CommsControl::lbl_last_msg_time,
                                     CommsControl::lbl_rx_cnt})
            frame->setControlText(control, panel.text(control, unit));
    }
    column->addStretch();
    setCentralWidget(central);
    setMinimumWidth(560);

    buildMenus();
    for (int unit = 1; unit <= 4; ++unit) showUnit(unit, panel.isUnitShown(unit));

    connect(&panel, &CommsPanel::textChanged, this,
            [this](CommsControl control, int unit, const QString& text) {
                m_frames[unit - 1]->setControlText(control, text);
            });
    connect(&panel, &CommsPanel::unitShownChanged, this, &ServerWindow::showUnit);
}

void ServerWindow::buildMenus()
{
    QMenu* view = menuBar()->addMenu(tr("View"));
    view->setObjectName(QStringLiteral("mnu_view"));
    QMenu* rawData = view->addMenu(tr("Raw Data"));
    rawData->setObjectName(QStringLiteral("mnu_raw_data"));
    for (int unit = 1; unit <= 4; ++unit) {
        QAction* action = rawData->addAction(tr("Unit %1 Raw Data").arg(unit));
        action->setObjectName(QStringLiteral("mnu_data(%1)").arg(unit));
        connect(action, &QAction::triggered, this, [this, unit] { m_dataWindows.showUnit(unit); });
        m_dataActions[unit - 1] = action;
    }
    QMenu* tableData = view->addMenu(tr("Table / Graph"));
    tableData->setObjectName(QStringLiteral("mnu_table_data"));
    for (int unit = 1; unit <= 4; ++unit) {
        QAction* action = tableData->addAction(tr("Unit %1 table / graph").arg(unit));
        action->setObjectName(QStringLiteral("mnu_graph(%1)").arg(unit));
        connect(action, &QAction::triggered, this,
                [this, unit] { m_tableWindows.showUnit(unit); });
        m_graphActions[unit - 1] = action;
    }
    QAction* allData = view->addAction(tr("Show All Raw Data"));
    allData->setObjectName(QStringLiteral("mnu_all_data"));
    connect(allData, &QAction::triggered, this, [this] { m_dataWindows.showAll(); });
    QAction* allGraphs = view->addAction(tr("Show All table / graphs"));
    allGraphs->setObjectName(QStringLiteral("mnu_all_graphs"));
    connect(allGraphs, &QAction::triggered, this, [this] { m_tableWindows.showAll(); });
}

void ServerWindow::showUnit(int unit, bool shown)
{
    m_frames[unit - 1]->setVisible(shown);
    m_dataActions[unit - 1]->setVisible(shown);
    m_graphActions[unit - 1]->setVisible(shown);
    // The window ends below the last unit shown.
    QTimer::singleShot(0, this, [this] { resize(width(), sizeHint().height()); });
}

void ServerWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}

}  // namespace grainlink
