#pragma once

#include "acquisition/cycle_reports.h"
#include "acquisition/side_file.h"
#include "plant/event_log.h"
#include "platform/transient_messages.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

namespace grainlink {

// The event as one line of the events file, without its line end: the time (ISO 8601 with its
// offset from UTC), the unit ("Unit 1 (Line A)", empty for the whole server), the event and its
// detail, separated by tabs. Control characters are escaped, so that each event stays one line.
QString EventLine(const PlantEvent& event);

// The event as a JSON object, as the MQTT message and the HTTP API carry it:
//   {"id":7,"time":"2026-12-06T14:03:05+01:00","unit":1,"name":"Line A","event":"Port lost",
//    "detail":"cannot open /dev/ttyUSB0: No such file or directory","severity":"warning"}
// "unit" and "name" are null for an event of the whole server; "severity" is "warning" or "info".
QJsonObject EventObject(const PlantEvent& event);

// "Unit 1 (Line A): Port lost: cannot open ...", "Server stopping": the event on one line
// without its time, for standard error.
QString EventSummary(const PlantEvent& event);

// Appends every event to the events file, `events.log` in the working directory beside the raw
// data files, one UTF-8 line each. Like the raw data files it is opened for each line and closed
// again (so log rotation may move it at any time), a line is written whole or not at all, and a
// file that cannot take lines is reported once, as an event of its own, and again when it is
// written again.
class EventsFile : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kFileName = "events.log";

    EventsFile(EventLog& log, CycleReports& reports, QString path = QString::fromLatin1(kFileName),
               QObject* parent = nullptr);

private:
    QString m_path;
    SideFileWriter m_writer;
};

// Publishes every event as a JSON message (EventObject) on "<root>/events", QoS 1, not retained.
class MqttEventPublisher : public QObject {
    Q_OBJECT

public:
    MqttEventPublisher(EventLog& log, TransientMessages& out, const QString& topicRoot,
                       QObject* parent = nullptr);

private:
    TransientMessages& m_out;
    QString m_topic;
};

// Prints every event on standard error as "Event: " and its summary, the way every line there
// goes (LogToStderr), with the information priority: a timeline beside the warnings.
class StderrEventPrinter : public QObject {
    Q_OBJECT

public:
    explicit StderrEventPrinter(EventLog& log, QObject* parent = nullptr);
};

}  // namespace grainlink
