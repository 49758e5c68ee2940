// Where the event log goes: the events file, the broker and standard error.
#include "server/event_outputs.h"

#include "plant/plant_model.h"
#include "tests/acquisition/cycle_fixture.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTimeZone>

namespace grainlink::test {
namespace {

const QDateTime kTime(QDate(2026, 12, 6), QTime(14, 3, 5), QTimeZone(3600));

TEST(EventTextsTest, OneLinePerEventAndJsonWithNullForTheWholeServer)
{
    const PlantEvent ofUnit{.id = 7,
                            .time = kTime,
                            .unit = 1,
                            .unitName = "Line\tA",
                            .event = "Port lost",
                            .detail = "cannot open\n/dev/ttyUSB0",
                            .severity = EventSeverity::Warning};
    EXPECT_EQ(
        EventLine(ofUnit),
        "2026-12-06T14:03:05+01:00\tUnit 1 (Line\\x09A)\tPort lost\tcannot open\\n/dev/ttyUSB0");
    EXPECT_EQ(EventSummary(ofUnit), "Unit 1 (Line\\x09A): Port lost: cannot open\\n/dev/ttyUSB0");
    EXPECT_EQ(
        QJsonDocument(EventObject(ofUnit)).toJson(QJsonDocument::Compact),
        "{\"detail\":\"cannot open\\n/dev/ttyUSB0\",\"event\":\"Port lost\",\"id\":7,"
        "\"name\":\"Line\\tA\",\"severity\":\"warning\",\"time\":\"2026-12-06T14:03:05+01:00\","
        "\"unit\":1}");

    const PlantEvent ofServer{.time = kTime, .event = "Server stopping"};
    EXPECT_EQ(EventLine(ofServer), "2026-12-06T14:03:05+01:00\t\tServer stopping\t");
    EXPECT_EQ(EventSummary(ofServer), "Server stopping");
    const QJsonObject json = EventObject(ofServer);
    EXPECT_TRUE(json["unit"].isNull());
    EXPECT_TRUE(json["name"].isNull());
    EXPECT_EQ(json["severity"].toString(), "info");
}

// A model of its own, whose log the file follows and to which it reports.
class EventsFileTest : public ::testing::Test {
protected:
    QByteArray file() const { return ReadFile(EventsFile::kFileName); }

    ScratchWorkingDir scratch;
    SharedState state;
    ItemTables items;
    FakeClock clock;
    PlantModel model{state, items, clock};
    EventsFile events{model.events(), model};
};

TEST_F(EventsFileTest, EachEventIsOneLineAndAFileThatFailsIsReportedOnce)
{
    static QStringList warnings;  // the journal's warnings name each file trouble
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg) warnings << text;
        });
    model.serverStarted("Version 2.0");
    EXPECT_EQ(file(), EventLine(model.events().at(0)).toUtf8() + '\n');

    ASSERT_TRUE(QFile::remove(EventsFile::kFileName));
    ASSERT_TRUE(QDir().mkdir(EventsFile::kFileName));
    model.portOpened(1);
    model.portUnavailable(1, "gone");
    QCoreApplication::processEvents();
    ASSERT_EQ(model.events().size(), 4);
    EXPECT_EQ(model.events().at(0).event, "File failing");
    EXPECT_TRUE(model.events().at(0).detail.startsWith("events.log: "));

    ASSERT_TRUE(QDir().rmdir(EventsFile::kFileName));
    model.serverStopping();
    QCoreApplication::processEvents();
    EXPECT_EQ(model.events().at(0).event, "File written again");
    const QList<QByteArray> lines = file().split('\n');
    ASSERT_EQ(lines.size(), 3) << file().constData();
    EXPECT_TRUE(lines[0].endsWith("\tServer stopping\t"));
    EXPECT_TRUE(lines[1].endsWith("\tFile written again\tevents.log"));
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 2) << warnings.join('\n').toStdString();
    EXPECT_TRUE(warnings[0].startsWith("cannot write events.log: "));
    EXPECT_EQ(warnings[1], "events.log is written again");
}

struct RecordingMessages final : TransientMessages {
    void publish(const QString& topic, const QByteArray& payload) override
    {
        published << topic + ' ' + QString::fromUtf8(payload);
    }
    QStringList published;
};

// The root is the user's text: it is joined to the topic's last level, never filled in.
TEST(MqttEventPublisherTest, PublishesEachEventAsJsonUnderTheRoot)
{
    EventLog log;
    RecordingMessages out;
    MqttEventPublisher publisher(log, out, "plant/%1");
    log.add(PlantEvent{.time = kTime, .event = "Demo mode on"});
    ASSERT_EQ(out.published.size(), 1);
    EXPECT_EQ(out.published[0],
              "plant/%1/events {\"detail\":\"\",\"event\":\"Demo mode on\",\"id\":1,\"name\":null,"
              "\"severity\":\"info\",\"time\":\"2026-12-06T14:03:05+01:00\",\"unit\":null}");
}

}  // namespace
}  // namespace grainlink::test
