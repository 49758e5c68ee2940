#pragma once

#include <QObject>
#include <array>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace grainlink {

// What the main window's commands do; the application connects them to the windows and dialogs.
// A command left empty does nothing, so designated initialisers may name only some of them.
struct MainMenuCommands {
    using Command = std::function<void()>;
    using UnitCommand = std::function<void(int unit)>;
    Command close{};
    Command logOn{};
    Command logOff{};
    Command options{};
    UnitCommand showDataWindow{};
    UnitCommand showTableWindow{};
    Command showAllDataWindows{};
    Command showAllTableWindows{};
    Command tileWindows{};
    Command showOverview{};
    Command help{};
};

// The main window's menu bar, every item under its own name: Close, Security (Log on, Log off),
// Options, View (Raw Data with mnu_data(1..4), Table / Graph with mnu_graph(1..4), Show All Raw
// Data, Show All table / graphs, Tile All / Cascade All, then Overview with mnu_overview) and
// Help. Close, Options and Help are commands on the bar itself. Each item has an access key
// (Alt+V opens View), underlined in its caption. It starts locked: Close and Options disabled,
// Security hidden, until the security set-up at start-up decides otherwise.
class MainMenu : public QObject {
    Q_OBJECT

public:
    MainMenu(QMenuBar* bar, MainMenuCommands commands);

    void setCloseEnabled(bool enabled);
    void setOptionsEnabled(bool enabled);
    void setSecurityVisible(bool visible);
    // mnu_data(unit) and mnu_graph(unit); the items of units above NumUnits are hidden.
    void setUnitShown(int unit, bool shown);

private:
    using Command = MainMenuCommands::Command;
    QAction* addCommand(QWidget* to, const char* name, const QString& text,
                        Command MainMenuCommands::*command);
    using UnitCommand = MainMenuCommands::UnitCommand;
    QAction* addUnitCommand(QMenu* to, const char* name, const QString& text, int unit,
                            UnitCommand MainMenuCommands::*command);

    MainMenuCommands m_commands;
    QAction* m_close = nullptr;
    QMenu* m_security = nullptr;
    QAction* m_options = nullptr;
    std::array<QAction*, 4> m_dataItems{};
    std::array<QAction*, 4> m_graphItems{};
};

}  // namespace grainlink
