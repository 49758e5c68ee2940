// grainlink: the data server with its main window, or without any window (--headless).
#include "platform/stderr_log.h"
#include "platform/termination_signals.h"
#include "server/build_info.h"
#include "server/command_line.h"
#include "server/headless_printer.h"
#include "server/server_app.h"
#include "server/ui/windowed_server.h"
#include "web/http/web_service.h"

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace grainlink;

int RunHeadless(QCoreApplication& app, const ServerOptions& options)
{
    StderrMessageBox messageBox;
    StderrErrorNotice notice;
    ServerApp server(messageBox, notice);
    server.core().state().DemoMode = options.demo;
    HeadlessPrinter printer(server.core().panel(), STDOUT_FILENO);
    StderrEventPrinter events(server.core().plant().events());
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&] {
        server.shutdown();
        app.exit(0);
    });
    server.start();
    WebService web(server.core());
    web.start();
    return app.exec();
}

int RunWindowed(QApplication& app, const ServerOptions& options)
{
    WindowedServer server(options, [&app] { app.exit(0); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &server,
                     &WindowedServer::Shutdown);
    // Launched from inside the event loop: a signal that comes while a start-up message waits
    // for its OK then ends that loop too, instead of only the message's own.
    QTimer::singleShot(0, &server, &WindowedServer::Launch);
    return app.exec();
}

// Whether the windows have somewhere to go; without, the GUI library would abort the program.
bool HasDisplay(const CommandLine& line)
{
    return line.windowSystemChosen || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    // A reader that has gone (`grainlink --headless | true`, a closed log pipe) must cost lines,
    // not the server: writes then fail with EPIPE instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    RouteQtMessagesToStderr();
    QCoreApplication::setApplicationName(QStringLiteral("grainlink"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProductVersion));

    const CommandLine line = ParseCommandLine(Arguments(argc, argv));
    switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(qUtf8Printable(line.text), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        LogToStderr(LogPriority::Error, line.text);
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    if (line.options.headless) {
        QCoreApplication app(argc, argv);
        return RunHeadless(app, line.options);
    }
    if (!HasDisplay(line)) {
        LogToStderr(LogPriority::Error,
                    QStringLiteral("no display: start it with --headless, or set DISPLAY"));
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RunWindowed(app, line.options);
}
