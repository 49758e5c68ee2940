#pragma once

#include "tools/sim/record_sender.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace grainlink::sim {

struct SimOptions {
    QString device;  // empty: a new pseudo-terminal
    QString link;    // empty: no symbolic link
    RecordSender::Settings sender;
};

// Reads the command line. --help and --version print and exit 0; a bad option or value prints
// the problem to standard error and gives nullopt.
std::optional<SimOptions> ParseCommandLine(const QStringList& arguments);

}  // namespace grainlink::sim
