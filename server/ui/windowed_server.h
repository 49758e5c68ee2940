#pragma once

#include "display/ui/data_windows.h"
#include "display/ui/error_message_window.h"
#include "display/ui/overview_window.h"
#include "display/ui/table_windows.h"
#include "display/ui/window_tiler.h"
#include "server/command_line.h"
#include "server/server_app.h"
#include "web/http/web_service.h"
#include "widgets/qt_message_box.h"
#include "widgets/qt_question_box.h"

#include <QObject>

#include <functional>
#include <memory>

namespace grainlink {

class CloseWindow;
class MainMenu;
class ServerWindow;
class SplashWindow;

// The server with its windows. Launch shows the splash window; its timer runs LoadMainWindow,
// the start-up: the main window with its menu is made in its locked state, the configuration
// is loaded, the table windows are made, the security set-up unlocks what it allows, and the
// main window is shown, and the overview after it when --overview or [Options] Overview asks.
// From then on the menus reach every window and dialog, and the server ends only through the
// close confirmation (or a termination signal), which runs `quit`.
class WindowedServer : public QObject {
    Q_OBJECT

public:
    // `quit` ends the program once the server has shut down (the process's exit, in the
    // application; something observable in tests).
    WindowedServer(const ServerOptions& options, std::function<void()> quit,
                   QObject* parent = nullptr);
    ~WindowedServer() override;

    void Launch();
    void LoadMainWindow();
    // Closes the ports, tells the broker the server is going offline, then quits.
    void Shutdown();

    ServerApp& server() { return m_server; }
    ServerWindow* window() { return m_window.get(); }
    MainMenu* menu() { return m_menu.get(); }
    DataWindows& dataWindows() { return m_dataWindows; }
    TableWindows* tableWindows() { return m_tableWindows.get(); }
    // Made when first shown.
    OverviewWindow* overview() { return m_overview.get(); }

private:
    void BuildMainWindow();
    void ApplySecurity();
    void Tile();
    void LogOn();
    void LogOff();
    void Options();
    void Help();
    void ShowOverview();

    bool m_overviewAtStart;
    std::function<void()> m_quit;
    QtMessageBox m_messageBox;
    QtQuestionBox m_questions;
    ErrorMessageWindow m_notice;
    ServerApp m_server;
    DataWindows m_dataWindows;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<ServerWindow> m_window;
    std::unique_ptr<MainMenu> m_menu;
    std::unique_ptr<CloseWindow> m_close;
    std::unique_ptr<TableWindows> m_tableWindows;
    std::unique_ptr<OverviewWindow> m_overview;
    std::unique_ptr<WebService> m_web;
};

}  // namespace grainlink
