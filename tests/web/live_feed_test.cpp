// What the live feed sends its streams: a record and an event at once, a unit's changes of one
// turn of the event loop as one message, and nothing more to a stream that failed.
#include "tests/web/web_fixture.h"
#include "web/api_documents.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace grainlink::test {
namespace {

class RecordingStream final : public LiveStream {
public:
    bool send(const QByteArray& bytes) override
    {
        if (failing) return false;
        sent << bytes;
        return true;
    }
    void close() override { ++closed; }

    // The events' names and data, in order.
    QList<std::pair<QByteArray, QJsonObject>> messages() const
    {
        QList<std::pair<QByteArray, QJsonObject>> found;
        for (const QByteArray& message : sent) {
            const QList<QByteArray> lines = message.split('\n');
            if (lines.size() == 4 && lines[0].startsWith("event: ") && lines[1].startsWith("data: "))
                found.append({lines[0].sliced(7), QJsonDocument::fromJson(lines[1].sliced(6)).object()});
        }
        return found;
    }
    QByteArrayList names() const
    {
        QByteArrayList found;
        for (const auto& [name, data] : messages()) found << name;
        return found;
    }

    QByteArrayList sent;
    bool failing = false;
    int closed = 0;
};

class LiveFeedTest : public WebCoreTest {
protected:
    LiveFeedTest()
    {
        ticks(1);  // the port opened
        feed.add(&first);
        feed.add(&second);
    }
    ~LiveFeedTest() override
    {
        feed.remove(&first);
        feed.remove(&second);
    }

    RecordingStream first, second;
};

TEST_F(LiveFeedTest, ARecordComesAsItsHistoryRowThenOneUnitMessageAnEventAtOnce)
{
    fakes[1]->receive(kRecord);
    ticks(4);
    // The record's row goes out as it is stored; the unit's changes at the end of the turn.
    EXPECT_EQ(first.names(), QByteArrayList({"record"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(first.names(), QByteArrayList({"record", "unit"}));
    EXPECT_EQ(second.sent, first.sent);

    const auto messages = first.messages();
    EXPECT_EQ(messages[0].second["unit"].toInt(), 1);
    EXPECT_EQ(messages[0].second["row"].toObject()["isoCodes"].toArray()[0].toDouble(), 16.5);
    const QJsonObject unit = messages[1].second;
    EXPECT_EQ(unit["state"].toString(), "live");
    EXPECT_EQ(unit["rxCount"].toInt(), 1);
    EXPECT_EQ(Item(unit, "ISOCode4um")["text"].toString(), "16.5");

    ticks(9);  // stale: the event at once, then the unit as it is after the turn
    EXPECT_EQ(first.names().mid(2), QByteArrayList({"event"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(first.names().mid(2), QByteArrayList({"event", "unit"}));
    EXPECT_EQ(first.messages()[2].second["event"].toString(), "Stale");
    EXPECT_EQ(first.messages().back().second["state"].toString(), "stale");
}

TEST_F(LiveFeedTest, TheStatusLineAndTheListOfUnitsGoOutAtOnce)
{
    core.plant().brokerChanged(true, QStringLiteral("connected to 127.0.0.1:1883"));
    EXPECT_EQ(first.names(), QByteArrayList({"event", "status"}));
    const QJsonObject status = first.messages().back().second;
    EXPECT_EQ(status["broker"].toString(), "connected to 127.0.0.1:1883");
    EXPECT_TRUE(status["brokerConnected"].toBool());
    const QJsonObject units =
        QJsonDocument::fromJson(UnitsDocument(core.plant(), core.items(), {})).object();
    EXPECT_EQ(status, units["status"].toObject());  // the page reads both alike

    core.state().NumUnits = 2;
    core.state().UnitEnabled[2] = true;
    core.plant().settingsChanged();
    EXPECT_EQ(first.names().mid(2), QByteArrayList({"units"}));
    EXPECT_EQ(first.messages().back().second["units"].toArray(), QJsonArray({1, 2}));
    QCoreApplication::processEvents();
    EXPECT_EQ(first.names().mid(2), QByteArrayList({"units", "unit"}));
    EXPECT_EQ(first.messages().back().second["unit"].toInt(), 2);

    // Unit 2 taken off the list: the list goes out, not unit 2's change to disabled.
    core.state().NumUnits = 1;
    core.plant().settingsChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(first.names().mid(4), QByteArrayList({"units"}));
    EXPECT_EQ(first.messages().back().second["units"].toArray(), QJsonArray({1}));
    EXPECT_EQ(second.sent, first.sent);
}

TEST_F(LiveFeedTest, AStreamThatFailsIsClosedAndDroppedTheOthersGoOn)
{
    first.failing = true;
    fakes[1]->receive(kRecord);
    ticks(4);
    QCoreApplication::processEvents();
    EXPECT_EQ(first.closed, 1);
    EXPECT_EQ(feed.size(), 1);
    EXPECT_EQ(second.names(), QByteArrayList({"record", "unit"}));
}

TEST_F(LiveFeedTest, TheFeedHoldsABoundedNumberOfStreams)
{
    std::vector<RecordingStream> more(LiveFeed::kMaxStreams - 2);
    for (RecordingStream& stream : more) feed.add(&stream);
    EXPECT_FALSE(feed.hasRoom());
    WebApi api(core.plant(), core.items(), core.history(), core.state(), feed);
    EXPECT_EQ(api.respond({"GET", "/api/v1/live", {}}).status, 503);
    feed.remove(&more.back());
    const HttpReply live = api.respond({"GET", "/api/v1/live", {}});
    EXPECT_TRUE(live.live);
    EXPECT_EQ(live.status, 200);
    for (RecordingStream& stream : more) feed.remove(&stream);
}

}  // namespace
}  // namespace grainlink::test
