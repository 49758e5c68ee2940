#include "display/ui/data_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>

#include <utility>

#include "display/ui/flow_factor_box.h"
#include "state/unit_state.h"
#include "widgets/captioned_frame.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kFrameGap = 100;
constexpr int kWindowMargin = 200;
constexpr int kHelpMargin = 300;
// The windows are laid out in pixels derived from twips, so their text has a matching size; a
// narrow face (where the system has one) keeps the longest item names inside their frames.
constexpr int kFontPixels = 11;

int RightEdge(const QWidget* widget)
{
    const QRect twips = TwipsGeometry(widget);
    return twips.x() + twips.width();
}

void MoveLeftEdge(QWidget* widget, int left)
{
    QRect twips = TwipsGeometry(widget);
    twips.moveLeft(left);
    SetTwipsGeometry(widget, twips);
}

QAction* AddCommand(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

DataWindow::DataWindow(ItemTable& items, SharedState& state, ConfigFile& config,
                       MessageBox& messages, const QString& mqttTopicRoot, QWidget* parent)
    : QMainWindow(parent), m_items(items), m_state(state)
{
    setObjectName(QStringLiteral("frm_data%1").arg(unit()));
    setWindowTitle(QStringLiteral("Data (%1)").arg(items.topic()));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    font.setStretch(QFont::SemiCondensed);
    setFont(font);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_flowFactor = new FlowFactorBox(items, config, messages, state, m_client);
    m_panels = BuildDataWindowPanels(m_client, items, m_flowFactor, mqttTopicRoot);
    BuildMenus();

    ApplyLayout();
    ShowDisplayMenuByAccess();

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == this || isAncestorOf(now))) ShowDisplayMenuByAccess();
    });
}

int DataWindow::unit() const
{
    return m_items.unit();
}

bool DataWindow::ValidateMe()
{
    return m_flowFactor->ValidateMe();
}

bool DataWindow::ReadyToClose()
{
    return !m_panels.raw->isVisible() || ValidateMe();
}

void DataWindow::CloseCommand()
{
    if (ReadyToClose()) hide();
}

void DataWindow::ApplyLayout()
{
    const bool advanced = m_advanced->isChecked();
    int left = RightEdge(m_panels.system) + kFrameGap;
    if (advanced) {
        MoveLeftEdge(m_panels.raw, left);
        left = RightEdge(m_panels.raw) + kFrameGap;
    }
    MoveLeftEdge(m_panels.sample, left);
    MoveLeftEdge(m_panels.diagnostic, RightEdge(m_panels.sample) + kFrameGap);
    m_panels.raw->setVisible(advanced);

    const int width = RightEdge(m_panels.diagnostic) + kWindowMargin;
    SetFixedTwipsSize(m_client, width, kClientHeightTwips);
    QRect help = TwipsGeometry(m_panels.help);
    help.setWidth(width - kHelpMargin);
    SetTwipsGeometry(m_panels.help, help);
}

bool DataWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        // A message box in front of the window (such as the one asking for a valid factor) is not
        // a switch to another window: coming back from it must not reload the box.
        m_coveredByDialog = QApplication::activeModalWidget() != nullptr;
    } else if (event->type() == QEvent::WindowActivate) {
        if (std::exchange(m_coveredByDialog, false))
            ShowDisplayMenuByAccess();
        else
            Activate();
    }
    return QMainWindow::event(event);
}

void DataWindow::closeEvent(QCloseEvent* event)
{
    // Closing from the frame is the Close command. The window is not deleted on close, so an
    // accepted close only hides it, and an application quit is not blocked by a valid window.
    if (ReadyToClose())
        event->accept();
    else
        event->ignore();
}

void DataWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnu_file"));
    connect(AddCommand(file, "mnu_close", QStringLiteral("&Close")), &QAction::triggered, this,
            &DataWindow::CloseCommand);
    connect(AddCommand(file, "mnu_close_all", QStringLiteral("Close &all")), &QAction::triggered,
            this, &DataWindow::closeAllRequested);

    m_displayMenu = menuBar()->addMenu(QStringLiteral("&Display"));
    m_displayMenu->setObjectName(QStringLiteral("mnu_display"));
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    m_standard = AddCommand(m_displayMenu, "mnu_standard", QStringLiteral("&Standard"));
    m_advanced = AddCommand(m_displayMenu, "mnu_advanced", QStringLiteral("&Advanced"));
    for (QAction* view : {m_standard, m_advanced}) {
        view->setCheckable(true);
        views->addAction(view);
        connect(view, &QAction::triggered, this, &DataWindow::ApplyLayout);
    }
    m_standard->setChecked(true);

    QAction* tile = menuBar()->addAction(QStringLiteral("&Tile"));
    tile->setObjectName(QStringLiteral("mnu_tile"));
    connect(tile, &QAction::triggered, this, &DataWindow::tileRequested);
}

void DataWindow::Activate()
{
    m_flowFactor->Reload();
    setWindowTitle(m_state.HardwareName + QStringLiteral(" Data (%1) ").arg(unit()) +
                   m_state.UnitName[unit()]);
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) ApplyLayout();
    ShowDisplayMenuByAccess();
}

void DataWindow::ShowDisplayMenuByAccess()
{
    m_displayMenu->menuAction()->setVisible(m_state.AccessLevel == 2);
}

}  // namespace grainlink
