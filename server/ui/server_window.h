#pragma once

#include "acquisition/comms_panel.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;

namespace grainlink {

class CommsFrame;

// What the View menu's data-window commands do; the application connects them to the windows.
struct DataWindowCommands {
    std::function<void(int unit)> showUnit;
    std::function<void()> showAll;
};

// The main window `frm_server`: the communications panel of units 1..4 and the main menu. It
// only shows the panel model; the acquisition runs without it.
class ServerWindow : public QMainWindow {
    Q_OBJECT

public:
    ServerWindow(CommsPanel& panel, const QString& productName, DataWindowCommands commands,
                 QWidget* parent = nullptr);

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void showUnit(int unit, bool shown);

    CommsPanel& m_panel;
    DataWindowCommands m_commands;
    std::array<CommsFrame*, 4> m_frames{};
    std::array<QAction*, 4> m_dataActions{};
};

}  // namespace grainlink
