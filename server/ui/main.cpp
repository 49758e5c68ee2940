// grainlink: the data server with its main window, or without any window (--headless).
#include "display/ui/data_windows.h"
#include "display/ui/error_message_window.h"
#include "display/ui/qt_message_box.h"
#include "platform/termination_signals.h"
#include "server/headless_printer.h"
#include "server/server_app.h"
#include "server/ui/server_window.h"

#include <QApplication>
#include <QCommandLineParser>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

using namespace grainlink;

int RunHeadless(QCoreApplication& app)
{
    StderrMessageBox messageBox;
    StderrErrorNotice notice;
    ServerApp server(messageBox, notice);
    HeadlessPrinter printer(server.core().panel(), STDOUT_FILENO);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&] {
        server.shutdown();
        app.exit(0);
    });
    server.start();
    return app.exec();
}

int RunWindowed(QApplication& app)
{
    QtMessageBox messageBox;
    ErrorMessageWindow notice;
    ServerApp server(messageBox, notice);
    ServerCore& core = server.core();
    DataWindows dataWindows(core.items(), core.state(), server.config(), messageBox);
    server.start();

    ServerWindow window(core.panel(), core.state().ProductName,
                        DataWindowCommands{
                            [&](int unit) { dataWindows.showDataWindow(unit); },
                            [&] { dataWindows.showAllDataWindows(); },
                        });
    const auto quit = [&] {
        server.shutdown();
        app.exit(0);
    };
    QObject::connect(&window, &ServerWindow::closeRequested, &app, quit);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, quit);
    window.show();
    return app.exec();
}

bool WantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--headless") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // A reader that has gone (`grainlink --headless | true`, a closed log pipe) must cost lines,
    // not the server: writes then fail with EPIPE instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);

    // A headless server must not need a display, so the kind of application is chosen first.
    const bool headless = WantsHeadless(argc, argv);
    std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv)
                 : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("grainlink"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Data server for on-line particle-monitoring instruments."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("headless"),
                      QStringLiteral("Run without windows; panel changes go to standard output.")});
    parser.process(*app);

    if (headless) return RunHeadless(*app);
    QApplication::setQuitOnLastWindowClosed(false);
    return RunWindowed(static_cast<QApplication&>(*app));
}
