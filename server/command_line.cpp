#include "server/command_line.h"

#include "server/build_info.h"

#include <QCommandLineParser>

namespace grainlink {
namespace {

struct FlagOption {
    const char* name;
    const char* description;
    bool ServerOptions::*flag;
};

// The program's own options; a new one is a row here, beside its field in ServerOptions.
constexpr FlagOption kFlags[] = {
    {"headless", "Run without windows; panel changes go to standard output.",
     &ServerOptions::headless},
    {"demo",
     "Start with demonstration mode on, for this run only: silent units receive generated "
     "records, and no data log lines are written.",
     &ServerOptions::demo},
    {"overview", "Open the overview window at start (all units and the event log; windowed only).",
     &ServerOptions::overview},
};

// Qt's options of a windowed program, which QGuiApplication and QApplication take from argv.
constexpr const char* kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme",
    "plugin",      "qmljsdebugger",      "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",
    "display",     "geometry",           "style",
    "stylesheet",
};
constexpr const char* kQtFlagOptions[] = {"reverse", "widgetcount"};

QCommandLineOption HiddenOption(const char* name, const QString& valueName = {})
{
    QCommandLineOption option(QString::fromLatin1(name), QString(), valueName);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    const QString program = QStringLiteral("grainlink");
    QCommandLineParser parser;
    // Qt's options are single-dash words ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Data server for on-line particle-monitoring instruments."));
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Print the options and exit."));
    const QCommandLineOption version({"v", "version"},
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const FlagOption& flag : kFlags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(flag.name),
                                            QString::fromLatin1(flag.description)));
    for (const char* name : kQtValueOptions)
        parser.addOption(HiddenOption(name, QStringLiteral("value")));
    for (const char* name : kQtFlagOptions) parser.addOption(HiddenOption(name));

    // Without an application object Qt cannot name the program in the usage line.
    const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.text = program + QStringLiteral(": ") + parser.errorText() + u'\n' + usage;
    } else if (!parser.positionalArguments().isEmpty()) {
        line.action = CommandLine::Action::Refuse;
        line.text = QStringLiteral("%1: unexpected argument '%2'.\n")
                        .arg(program, parser.positionalArguments().constFirst()) +
                    usage;
    } else if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = usage;
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text = program + u' ' + QLatin1String(kProductVersion) + u'\n';
    }
    for (const FlagOption& flag : kFlags)
        line.options.*flag.flag = parser.isSet(QString::fromLatin1(flag.name));
    if (line.action == CommandLine::Action::Run && line.options.headless &&
        line.options.overview) {
        line.action = CommandLine::Action::Refuse;
        line.text = program + QStringLiteral(": --overview is a window; --headless has none.\n") +
                    usage;
    }
    line.windowSystemChosen =
        parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
    return line;
}

}  // namespace grainlink
