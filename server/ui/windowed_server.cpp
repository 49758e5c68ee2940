#include "server/ui/windowed_server.h"

#include "config/access_levels.h"
#include "config/options_form.h"
#include "config/overview_setting.h"
#include "config/ui/settings_commands.h"
#include "server/data_log.h"
#include "server/startup.h"
#include "server/system_information.h"
#include "server/ui/about_box.h"
#include "server/ui/close_window.h"
#include "server/ui/main_menu.h"
#include "server/ui/product_picture.h"
#include "server/ui/server_window.h"
#include "server/ui/splash_window.h"

#include <QMenuBar>
#include <QScreen>

namespace grainlink {

WindowedServer::WindowedServer(const ServerOptions& options, std::function<void()> quit,
                               QObject* parent)
    : QObject(parent),
      m_overviewAtStart(options.overview),
      m_quit(std::move(quit)),
      m_server(m_messageBox, m_notice),
      m_dataWindows(m_server.core().items(), m_server.core().state(), m_server.config(),
                    m_messageBox, m_server.dde().topicRoot())
{
    m_server.core().state().DemoMode = options.demo;
    for (int unit = 1; unit <= kMaxUnits; ++unit)
        connect(&m_dataWindows.window(unit), &DataWindow::tileRequested, this,
                &WindowedServer::Tile);
}

WindowedServer::~WindowedServer() = default;

void WindowedServer::Launch()
{
    // The splash names the product before the rest of the configuration is read.
    ReadProductInfo(m_server.core().state(), m_server.config());
    m_splash =
        std::make_unique<SplashWindow>(m_server.core().state().ProductName, ProductPictureFolders(),
                                       m_messageBox, [this] { LoadMainWindow(); });
    m_splash->showCentred();
}

void WindowedServer::LoadMainWindow()
{
    BuildMainWindow();  // locked: Close and Options disabled, Security hidden
    m_server.start();
    m_web = std::make_unique<WebService>(m_server.core());
    m_web->start();
    SharedState& state = m_server.core().state();
    m_window->setWindowTitle(state.ProductName);
    // Made once the configuration is loaded: their captions carry the hardware and unit names.
    m_tableWindows =
        std::make_unique<TableWindows>(m_server.core().history(), state, m_server.config());
    for (int unit = 1; unit <= kMaxUnits; ++unit)
        connect(&m_tableWindows->window(unit), &TableWindow::tileRequested, this,
                &WindowedServer::Tile);
    m_close = std::make_unique<CloseWindow>(state.HardwareName, [this] { Shutdown(); });
    ApplySecurity();
    m_window->setDemoModeText(DemoLabelText(state.DemoMode));
    CommsPanel& panel = m_server.core().panel();
    for (int unit = 1; unit <= kMaxUnits; ++unit)
        m_menu->setUnitShown(unit, panel.isUnitShown(unit));
    connect(&panel, &CommsPanel::unitShownChanged, m_menu.get(), &MainMenu::setUnitShown);
    m_window->show();
    if (m_overviewAtStart || OverviewAtStart(m_server.config())) ShowOverview();
}

void WindowedServer::BuildMainWindow()
{
    m_window = std::make_unique<ServerWindow>(m_server.core().panel());
    connect(m_window.get(), &ServerWindow::closeRequested, this,
            [this] { RefuseCloseRequest(m_server.core().state(), *m_close, m_messageBox); });
    m_menu = std::make_unique<MainMenu>(
        m_window->menuBar(),
        MainMenuCommands{
            .close = [this] { m_close->showWithoutWaiting(); },
            .logOn = [this] { LogOn(); },
            .logOff = [this] { LogOff(); },
            .options = [this] { Options(); },
            .showDataWindow = [this](int unit) { m_dataWindows.showDataWindow(unit); },
            .showTableWindow = [this](int unit) { m_tableWindows->showTableWindow(unit); },
            .showAllDataWindows =
                [this] {
                    m_dataWindows.showAllDataWindows();
                    Tile();
                },
            .showAllTableWindows =
                [this] {
                    m_tableWindows->showAllTableWindows();
                    Tile();
                },
            .tileWindows = [this] { Tile(); },
            .showOverview = [this] { ShowOverview(); },
            .help = [this] { Help(); },
        });
}

void WindowedServer::ApplySecurity()
{
    const SharedState& state = m_server.core().state();
    m_menu->setSecurityVisible(state.SecurityEnabled != 0);
    m_menu->setCloseEnabled(state.LoggedIn);
    m_menu->setOptionsEnabled(state.LoggedIn);
}

void WindowedServer::Shutdown()
{
    m_server.shutdown();
    m_quit();
}

void WindowedServer::Tile()
{
    UnitWindowList windows{};
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        windows[DataWindowSlot(unit)] = &m_dataWindows.window(unit);
        if (m_tableWindows) windows[TableWindowSlot(unit)] = &m_tableWindows->window(unit);
    }
    // The screen the operator works on: the one showing the main window.
    TileWindows(windows, *m_window->screen());
}

void WindowedServer::ShowOverview()
{
    if (!m_overview) m_overview = std::make_unique<OverviewWindow>(m_server.core().plant());
    m_overview->show();
    m_overview->raise();
    m_overview->activateWindow();
}

void WindowedServer::LogOn()
{
    const bool loggedIn = RunLogOn(m_window.get(), m_server.core().state(), m_messageBox);
    m_server.core().plant().settingsChanged();
    m_menu->setCloseEnabled(loggedIn);
    m_menu->setOptionsEnabled(loggedIn);
}

void WindowedServer::LogOff()
{
    grainlink::LogOff(m_server.core().state());
    m_server.core().plant().settingsChanged();
    m_menu->setCloseEnabled(false);
    m_menu->setOptionsEnabled(false);
}

void WindowedServer::Options()
{
    ServerCore& core = m_server.core();
    SharedState& state = core.state();
    RunOptionsDialog(
        m_window.get(), state, m_server.config(), m_messageBox, m_questions,
        OptionsCallbacks{
            .setDemoLabel = [this](const QString& text) { m_window->setDemoModeText(text); },
            .configureView =
                [&core](int unit) { core.history().ConfigureView(unit, core.state().BufferSize); },
            .createMissingLogFile = [&state](int unit) { CreateMissingLogFile(state, unit); },
            .refreshCommsPanel =
                [&core] {
                    try {
                        RefreshCommsPanel(core.state(), core.panel());
                    } catch (const std::out_of_range&) {
                        // A unit count outside 1..4 was reported when it was loaded.
                    }
                },
        });
    m_server.configurationChanged();
}

void WindowedServer::Help()
{
    AboutBox about(
        m_server.core().state().ProductName, ProductPictureFolders(), m_messageBox,
        [this] { return SystemInformationText(m_server); }, m_window.get());
    about.exec();
}

}  // namespace grainlink
