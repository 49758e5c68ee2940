// grainlink: the data server with its main window, or without any window (--headless).
#include "platform/termination_signals.h"
#include "server/headless_printer.h"
#include "server/server_app.h"
#include "server/ui/windowed_server.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

using namespace grainlink;

int RunHeadless(QCoreApplication& app, bool demo)
{
    StderrMessageBox messageBox;
    StderrErrorNotice notice;
    ServerApp server(messageBox, notice);
    server.core().state().DemoMode = demo;
    HeadlessPrinter printer(server.core().panel(), STDOUT_FILENO);
    StderrEventPrinter events(server.core().plant().events());
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&] {
        server.shutdown();
        app.exit(0);
    });
    server.start();
    return app.exec();
}

int RunWindowed(QApplication& app, bool demo)
{
    WindowedServer server(demo, [&app] { app.exit(0); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &server,
                     &WindowedServer::Shutdown);
    // Launched from inside the event loop: a signal that comes while a start-up message waits
    // for its OK then ends that loop too, instead of only the message's own.
    QTimer::singleShot(0, &server, &WindowedServer::Launch);
    return app.exec();
}

// Headless mode, and the help and version texts, must not need a display.
bool NeedsNoDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--headless", "--help", "-h", "--help-all", "--version", "-v"})
            if (qstrcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // A reader that has gone (`grainlink --headless | true`, a closed log pipe) must cost lines,
    // not the server: writes then fail with EPIPE instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);

    // The kind of application is chosen before the options are parsed.
    std::unique_ptr<QCoreApplication> app =
        NeedsNoDisplay(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                   : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("grainlink"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Data server for on-line particle-monitoring instruments."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("Run without windows; panel changes go to standard output."));
    parser.addOption(headless);
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Start with demonstration mode on, for this run only: silent units "
                       "receive generated records, and no data log lines are written."));
    parser.addOption(demo);
    parser.process(*app);

    if (parser.isSet(headless)) return RunHeadless(*app, parser.isSet(demo));
    QApplication::setQuitOnLastWindowClosed(false);
    return RunWindowed(static_cast<QApplication&>(*app), parser.isSet(demo));
}
