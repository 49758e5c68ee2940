#include "server/ui/server_window.h"

#include "server/ui/comms_frame.h"
#include "widgets/role_colours.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace grainlink {

ServerWindow::ServerWindow(CommsPanel& panel, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frm_server"));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    for (int unit = 1; unit <= 4; ++unit) {
        auto* frame = new CommsFrame(unit, central);
        m_frames[unit - 1] = frame;
        column->addWidget(frame);
        for (CommsControl control :
             {CommsControl::frame_comms, CommsControl::lbl_rx, CommsControl::lbl_msg,
              CommsControl::lbl_last_msg_time, CommsControl::lbl_rx_cnt})
            frame->setControlText(control, panel.text(control, unit));
    }
    m_demoMode = new QLabel(central);
    m_demoMode->setObjectName(QStringLiteral("lblDemoModeActive"));
    m_demoMode->setAccessibleName(QStringLiteral("lblDemoModeActive"));
    m_demoMode->setAlignment(Qt::AlignCenter);
    QFont bold = m_demoMode->font();
    bold.setBold(true);
    m_demoMode->setFont(bold);
    UseRole(m_demoMode, ColourRole::Warning);
    column->addWidget(m_demoMode);
    column->addStretch();
    setCentralWidget(central);
    setMinimumWidth(560);

    for (int unit = 1; unit <= 4; ++unit) showUnit(unit, panel.isUnitShown(unit));
    connect(&panel, &CommsPanel::textChanged, this,
            [this](CommsControl control, int unit, const QString& text) {
                m_frames[unit - 1]->setControlText(control, text);
            });
    connect(&panel, &CommsPanel::unitShownChanged, this, &ServerWindow::showUnit);
}

void ServerWindow::setDemoModeText(const QString& text)
{
    m_demoMode->setText(text);
    m_demoMode->setAccessibleDescription(text);
}

void ServerWindow::showUnit(int unit, bool shown)
{
    m_frames[unit - 1]->setVisible(shown);
    // The window ends below the last unit shown.
    QTimer::singleShot(0, this, [this] { resize(width(), sizeHint().height()); });
}

void ServerWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}

}  // namespace grainlink
