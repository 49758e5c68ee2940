#include "server/ui/main_menu.h"

#include <QMenu>
#include <QMenuBar>

namespace grainlink {
namespace {

QMenu* AddMenu(QMenuBar* bar, QMenu* parent, const char* name, const QString& title)
{
    QMenu* menu = parent ? parent->addMenu(title) : bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, MainMenuCommands commands)
    : QObject(bar), m_commands(std::move(commands))
{
    m_close = addCommand(bar, "mnu_close", QStringLiteral("&Close"), &MainMenuCommands::close);

    m_security = AddMenu(bar, nullptr, "mnu_security", QStringLiteral("&Security"));
    addCommand(m_security, "mnu_login", QStringLiteral("Log &on"), &MainMenuCommands::logOn);
    addCommand(m_security, "mnu_logoff", QStringLiteral("Log o&ff"), &MainMenuCommands::logOff);

    m_options =
        addCommand(bar, "mnu_options", QStringLiteral("&Options"), &MainMenuCommands::options);

    QMenu* view = AddMenu(bar, nullptr, "mnu_view", QStringLiteral("&View"));
    QMenu* rawData = AddMenu(bar, view, "mnu_raw_data", QStringLiteral("&Raw Data"));
    QMenu* tableData = AddMenu(bar, view, "mnu_table_data", QStringLiteral("&Table / Graph"));
    for (int unit = 1; unit <= 4; ++unit) {
        m_dataItems[unit - 1] =
            addUnitCommand(rawData, "mnu_data", QStringLiteral("Unit &%1 Raw Data"), unit,
                           &MainMenuCommands::showDataWindow);
        m_graphItems[unit - 1] =
            addUnitCommand(tableData, "mnu_graph", QStringLiteral("Unit &%1 table / graph"), unit,
                           &MainMenuCommands::showTableWindow);
    }
    addCommand(view, "mnu_all_data", QStringLiteral("Show &All Raw Data"),
               &MainMenuCommands::showAllDataWindows);
    addCommand(view, "mnu_all_graphs", QStringLiteral("Show All table / &graphs"),
               &MainMenuCommands::showAllTableWindows);
    addCommand(view, "mnu_tile", QStringLiteral("Tile All / &Cascade All"),
               &MainMenuCommands::tileWindows);
    view->addSeparator();  // beyond the unit windows, which Tile arranges
    addCommand(view, "mnu_overview", QStringLiteral("&Overview"), &MainMenuCommands::showOverview);

    addCommand(bar, "mnu_help", QStringLiteral("&Help"), &MainMenuCommands::help);

    setCloseEnabled(false);
    setSecurityVisible(false);
    setOptionsEnabled(false);
}

void MainMenu::setCloseEnabled(bool enabled) { m_close->setEnabled(enabled); }

void MainMenu::setOptionsEnabled(bool enabled) { m_options->setEnabled(enabled); }

void MainMenu::setSecurityVisible(bool visible) { m_security->menuAction()->setVisible(visible); }

void MainMenu::setUnitShown(int unit, bool shown)
{
    m_dataItems.at(unit - 1)->setVisible(shown);
    m_graphItems.at(unit - 1)->setVisible(shown);
}

QAction* MainMenu::addCommand(QWidget* to, const char* name, const QString& text,
                              Command MainMenuCommands::*command)
{
    auto* action = new QAction(text, to);
    action->setObjectName(QString::fromLatin1(name));
    to->addAction(action);
    connect(action, &QAction::triggered, this, [this, command] {
        if (m_commands.*command) (m_commands.*command)();
    });
    return action;
}

QAction* MainMenu::addUnitCommand(QMenu* to, const char* name, const QString& text, int unit,
                                  UnitCommand MainMenuCommands::*command)
{
    QAction* action = to->addAction(text.arg(unit));
    action->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(unit));
    connect(action, &QAction::triggered, this, [this, command, unit] {
        if (m_commands.*command) (m_commands.*command)(unit);
    });
    return action;
}

}  // namespace grainlink
