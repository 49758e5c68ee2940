#include "server/ui/server_window.h"

#include "server/ui/comms_frame.h"
#include "widgets/role_colours.h"
#include "widgets/window_frame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace grainlink {

ServerWindow::ServerWindow(CommsPanel& panel, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frm_server"));

    m_panel = new QWidget(this);
    auto* column = new QVBoxLayout(m_panel);
    for (int unit = 1; unit <= 4; ++unit) {
        auto* frame = new CommsFrame(unit, m_panel);
        m_frames[unit - 1] = frame;
        column->addWidget(frame);
        for (CommsControl control :
             {CommsControl::frame_comms, CommsControl::lbl_rx, CommsControl::lbl_msg,
              CommsControl::lbl_last_msg_time, CommsControl::lbl_rx_cnt})
            frame->setControlText(control, panel.text(control, unit));
    }
    m_demoMode = new QLabel(m_panel);
    m_demoMode->setObjectName(QStringLiteral("lblDemoModeActive"));
    m_demoMode->setAccessibleName(QStringLiteral("lblDemoModeActive"));
    m_demoMode->setAlignment(Qt::AlignCenter);
    QFont bold = m_demoMode->font();
    bold.setBold(true);
    m_demoMode->setFont(bold);
    UseRole(m_demoMode, ColourRole::Warning);
    column->addWidget(m_demoMode);
    column->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(m_panel);
    setCentralWidget(scroll);
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
    FitHeightToUnits();
}

void ServerWindow::FitHeightToUnits()
{
    // The panel's size hint leaves hidden units out as soon as they are hidden.
    const int wanted = menuBar()->sizeHint().height() + m_panel->sizeHint().height();
    int allowed = wanted;
    if (const QScreen* screen = this->screen()) {
        // Before any window has been framed no frame is known: a title bar is the least this
        // one will have.
        const QMargins frame = WindowFrame(this);
        allowed = screen->availableGeometry().height() -
                  std::max(frame.top() + frame.bottom(),
                           style()->pixelMetric(QStyle::PM_TitleBarHeight));
    }
    // Until it is first sized, the window takes the width its layout asks for.
    const int width = testAttribute(Qt::WA_Resized) ? this->width()
                                                    : sizeHint().expandedTo(minimumSize()).width();
    resize(width, std::min(wanted, allowed));
}

void ServerWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FitHeightToUnits();
}

void ServerWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}

}  // namespace grainlink
