#include "server/event_outputs.h"

#include "plant/unit_view.h"
#include "platform/stderr_log.h"
#include "server/record_snapshot.h"
#include "state/control_text.h"

#include <QJsonDocument>

namespace grainlink {
namespace {

bool IsWarning(const PlantEvent& event)
{
    return event.severity == EventSeverity::Warning;
}

}  // namespace

QString EventLine(const PlantEvent& event)
{
    QStringList fields{IsoTimeWithOffset(event.time), UnitLabel(event.unit, event.unitName),
                       event.event, event.detail};
    for (QString& field : fields) field = EscapeControls(field);  // tabs too: they separate
    return fields.join(u'\t');
}

QJsonObject EventObject(const PlantEvent& event)
{
    const bool ofUnit = event.unit != 0;
    return QJsonObject{
        {QStringLiteral("id"), event.id},
        {QStringLiteral("time"), IsoTimeWithOffset(event.time)},
        {QStringLiteral("unit"), ofUnit ? QJsonValue(event.unit) : QJsonValue()},
        {QStringLiteral("name"), ofUnit ? QJsonValue(event.unitName) : QJsonValue()},
        {QStringLiteral("event"), event.event},
        {QStringLiteral("detail"), event.detail},
        {QStringLiteral("severity"),
         IsWarning(event) ? QStringLiteral("warning") : QStringLiteral("info")},
    };
}

QString EventSummary(const PlantEvent& event)
{
    QStringList parts{event.event};
    if (event.unit != 0) parts.prepend(UnitLabel(event.unit, event.unitName));
    if (!event.detail.isEmpty()) parts << event.detail;
    return EscapeControls(parts.join(QStringLiteral(": ")));
}

EventsFile::EventsFile(EventLog& log, CycleReports& reports, QString path, QObject* parent)
    : QObject(parent),
      m_path(std::move(path)),
      m_writer([this, &reports](int, const SideFileReport& report) {
          // A warning where it happens, like every other side file's trouble; the event comes
          // later, so that it follows the event whose line failed.
          qWarning("%s", qUtf8Printable(report.text()));
          QMetaObject::invokeMethod(
              this, [&reports, report] { reports.sideFileChanged(0, report.path, report.reason); },
              Qt::QueuedConnection);
      })
{
    connect(&log, &EventLog::eventAdded, this, [this](const PlantEvent& event) {
        m_writer.Append(0, m_path, EventLine(event).toUtf8() + '\n');
    });
}

MqttEventPublisher::MqttEventPublisher(EventLog& log, TransientMessages& out,
                                       const QString& topicRoot, QObject* parent)
    : QObject(parent), m_out(out), m_topic(topicRoot + QStringLiteral("/events"))
{
    connect(&log, &EventLog::eventAdded, this, [this](const PlantEvent& event) {
        m_out.publish(m_topic, QJsonDocument(EventObject(event)).toJson(QJsonDocument::Compact));
    });
}

StderrEventPrinter::StderrEventPrinter(EventLog& log, QObject* parent) : QObject(parent)
{
    connect(&log, &EventLog::eventAdded, this, [](const PlantEvent& event) {
        // Information only: the troubles among the events are already reported as warnings
        // where they happen, so that the journal's warnings name each trouble once.
        LogToStderr(LogPriority::Info, QStringLiteral("Event: ") + EventSummary(event));
    });
}

}  // namespace grainlink
