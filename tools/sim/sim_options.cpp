#include "tools/sim/sim_options.h"

#include "tools/sim/instrument_model.h"
#include "tools/sim/record_builder.h"

#include <QCommandLineParser>

#include <algorithm>

#include <climits>
#include <cmath>
#include <cstdio>

namespace grainlink::sim {
namespace {

constexpr double kMaxIntervalSeconds = 86400;

const char* kDescription = R"(Simulated particle-monitoring instrument for GrainLink.

Sends instrument records on a serial line: by default on a new pseudo-terminal, whose
device path is printed as the first line of standard output (then one line per record
slot: its number, the fault applied if any, and the record). The server opens that path
(or the --link name) like any serial port.

A record is ";" and tagged hexadecimal fields, each closed by ";", ending in CR LF:
A1 system id (4), A2 node id (2), A3 serial number (4), A4 firmware text (2),
B1..B4 channel duty x 1000000 (7), B5/B6 channel 1/4 events (6), B7 sample time (3),
C1..C4 counts at 4/6/14/21 um (4), C5..C8 ISO codes x 10 (3), D1 laser current (2),
D2 diode power x 100 (3), D3 temperature, sign and magnitude (2), D4 error byte (2).
ISO codes follow the counts (log2 of counts per 100 mL); a count is sent in thousandths
below ISO 11.0, in units up to 23.6 and in thousands above. Values drift a little from
record to record; the same --unit and --seed give the same records.

Faults (--fault):
  no-semicolon  the record lacks its leading ";"
  no-line-end   the record lacks its CR LF
  bad-chars     a "G" before the line end
  split         the record in 3 pieces, one per second (use --interval above 5
                to keep records apart)
  endless       a stream at line speed (960 characters/s) for the whole slot,
                never two silent seconds
  silence       nothing is sent

Writes never wait: output the line cannot take is dropped with a warning. SIGINT and
SIGTERM end the program with status 0 and remove the link. With --count the program
waits, after the last record, until the receiver has read the line and 5 s have passed
(at most 15 s), then exits 0: the pseudo-terminal vanishes with the program.)";

void Complain(const QString& text)
{
    std::fprintf(stderr, "grainlink-sim: %s\n", qPrintable(text));
}

// Records sent too close together reach the server as one message, which it abandons; the
// slowest slot (the fault's, if it sends one) sets the limit.
void WarnOfMergingRecords(const RecordSender::Settings& s)
{
    const QByteArray record =
        BuildRecord(IdentityOfUnit(s.unit), InstrumentModel(s.unit, s.seed).next());
    const bool everySlotFaulty = s.fault != Fault::None && s.faultEvery == 1;
    const int shortest =
        std::max(everySlotFaulty ? 0 : ShortestSeparateIntervalMs(record, Fault::None),
                 ShortestSeparateIntervalMs(record, s.fault));
    if (shortest == 0 || s.intervalMs > shortest) return;
    Complain(QStringLiteral("warning: --interval %1 is too short: the server frames a record only "
                            "after two silent seconds, up to %2 s after the record starts, so "
                            "records closer together can run into each other and are then "
                            "abandoned. Use an interval above %2 s.")
                 .arg(s.intervalMs / 1000.0)
                 .arg(shortest / 1000.0));
}

std::optional<int> IntegerOption(const QCommandLineParser& parser, const QString& name, int min,
                                 int max)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (ok && value >= min && value <= max) return value;
    Complain(
        QStringLiteral("--%1 must be a whole number from %2 to %3").arg(name).arg(min).arg(max));
    return std::nullopt;
}

}  // namespace

std::optional<SimOptions> ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("device"),
         QStringLiteral("Send on this existing device instead of a new pseudo-terminal."),
         QStringLiteral("path")},
        {QStringLiteral("link"),
         QStringLiteral("Keep a symbolic link with this name pointing at the pseudo-terminal; "
                        "removed at exit. Only replaces an existing symbolic link."),
         QStringLiteral("path")},
        {QStringLiteral("interval"),
         QStringLiteral(
             "Seconds between records (fractions allowed); the server needs more than 4."),
         QStringLiteral("seconds"), QStringLiteral("5")},
        {QStringLiteral("count"), QStringLiteral("Stop after this many record slots; 0: never."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("unit"), QStringLiteral("Unit 1 to 4: identity and oil cleanliness."),
         QStringLiteral("n"), QStringLiteral("1")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the value drift."), QStringLiteral("n"),
         QStringLiteral("1")},
        {QStringLiteral("fault"),
         QStringLiteral("Send this fault instead of good records (see above)."),
         QStringLiteral("kind"), QStringLiteral("none")},
        {QStringLiteral("fault-every"),
         QStringLiteral("Apply the fault to every n-th record slot only."), QStringLiteral("n"),
         QStringLiteral("1")},
    });
    parser.process(arguments);  // exits for --help, --version and unknown options

    SimOptions options;
    options.device = parser.value(QStringLiteral("device"));
    options.link = parser.value(QStringLiteral("link"));
    if (!options.device.isEmpty() && !options.link.isEmpty()) {
        Complain(QStringLiteral("--link names a pseudo-terminal and cannot go with --device"));
        return std::nullopt;
    }

    bool ok = false;
    const double seconds = parser.value(QStringLiteral("interval")).toDouble(&ok);
    if (!ok || !(seconds >= 0.001) || seconds > kMaxIntervalSeconds) {
        Complain(QStringLiteral("--interval must be a number of seconds from 0.001 to 86400"));
        return std::nullopt;
    }
    RecordSender::Settings& s = options.sender;
    s.intervalMs = static_cast<int>(std::lround(seconds * 1000));

    const auto count = IntegerOption(parser, QStringLiteral("count"), 0, INT_MAX);
    const auto unit = IntegerOption(parser, QStringLiteral("unit"), 1, 4);
    const auto every = IntegerOption(parser, QStringLiteral("fault-every"), 1, INT_MAX);
    if (!count || !unit || !every) return std::nullopt;
    s.count = *count;
    s.unit = *unit;
    s.faultEvery = *every;

    s.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) {
        Complain(QStringLiteral("--seed must be a whole number from 0 to 4294967295"));
        return std::nullopt;
    }
    const auto fault = FaultFromName(parser.value(QStringLiteral("fault")));
    if (!fault) {
        Complain(QStringLiteral("--fault must be one of: ") +
                 FaultNames().join(QStringLiteral(", ")));
        return std::nullopt;
    }
    s.fault = *fault;
    WarnOfMergingRecords(s);
    return options;
}

}  // namespace grainlink::sim
