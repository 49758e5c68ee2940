#pragma once

#include <QString>
#include <QStringList>

namespace grainlink {

// What the program's own options ask for.
struct ServerOptions {
    bool headless = false;
    bool demo = false;
    bool overview = false;  // the windowed program opens the overview window at start
};

// The command line, read before any window system is touched: a mistyped option in a service's
// unit must end with a message and status 2, not in the GUI library's abort.
struct CommandLine {
    enum class Action {
        Run,      // start the server with `options`
        Help,     // print `text` (the usage) and exit with status 0
        Version,  // print `text` (the name and version) and exit with status 0
        Refuse,   // print `text` (what was wrong, then the usage) on standard error, status 2
    };
    Action action = Action::Run;
    ServerOptions options;
    QString text;
    // A Qt option (-platform, -display) says where the windows go, whatever the environment.
    bool windowSystemChosen = false;
};

// `arguments` as in argv, the program first. Besides the program's options and --help and
// --version, Qt's own options of the windowed program (-platform offscreen, -style fusion, ...)
// are accepted and left to the application object, which reads them from argv.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace grainlink
