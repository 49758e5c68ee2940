#pragma once

#include "acquisition/comms_panel.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;

namespace grainlink {

class CommsFrame;

// What the View menu's commands for one kind of unit window (data windows, table windows) do;
// the application connects them to the windows.
struct UnitWindowCommands {
    std::function<void(int unit)> showUnit;
    std::function<void()> showAll;
};

// The main window `frm_server`: the communications panel of units 1..4 and the main menu. It
// only shows the panel model; the acquisition runs without it.
class ServerWindow : public QMainWindow {
    Q_OBJECT

public:
    ServerWindow(CommsPanel& panel, const QString& productName, UnitWindowCommands dataWindows,
                 UnitWindowCommands tableWindows, QWidget* parent = nullptr);

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void showUnit(int unit, bool shown);

    CommsPanel& m_panel;
    UnitWindowCommands m_dataWindows;
    UnitWindowCommands m_tableWindows;
    std::array<CommsFrame*, 4> m_frames{};
    std::array<QAction*, 4> m_dataActions{};
    std::array<QAction*, 4> m_graphActions{};
};

}  // namespace grainlink
