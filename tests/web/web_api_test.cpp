// What the web API answers, without a socket: the documents' shapes and values, the status
// codes of everything else, the page's files and the Basic authentication.
#include "tests/web/web_fixture.h"
#include "web/web_users.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace grainlink::test {
namespace {

QByteArray Header(const HttpReply& reply, const QByteArray& name)
{
    for (const auto& [key, value] : reply.headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

QJsonObject Json(const HttpReply& reply)
{
    return QJsonDocument::fromJson(reply.body).object();
}

class WebApiTest : public WebCoreTest {
protected:
    HttpReply get(const QByteArray& target, const QByteArray& method = "GET")
    {
        return api.respond({method, target, {}});
    }

    QTemporaryDir chartFolder;
    WebApi api{core.plant(),  core.items(), core.history(),       core.state(),
               feed,          nullptr,      chartFolder.path()};
};

TEST_F(WebApiTest, UnitsCarryTheStateAndTheRecordsValuesWhichAreNullWhileStale)
{
    const auto unit1 = [&] { return Json(get("/api/v1/units"))["units"].toArray()[0].toObject(); };
    QJsonObject unit = unit1();
    EXPECT_EQ(Json(get("/api/v1/units"))["units"].toArray().size(), 1);  // only served units
    EXPECT_EQ(unit["unit"].toInt(), 1);
    EXPECT_EQ(unit["name"].toString(), "Line A");
    EXPECT_EQ(unit["state"].toString(), "stale");
    EXPECT_EQ(unit["stateText"].toString(), "Stale");
    EXPECT_TRUE(unit["lastRecord"].isNull());
    EXPECT_TRUE(Item(unit, "ISOCode4um")["value"].isNull());

    frame(kRecord);
    const QDateTime received = clock.now();
    unit = unit1();
    EXPECT_EQ(unit["state"].toString(), "live");
    EXPECT_EQ(unit["stateText"].toString(), "Live");
    EXPECT_EQ(QDateTime::fromString(unit["lastRecord"].toString(), Qt::ISODate), received);
    EXPECT_EQ(Item(unit, "ISOCode4um")["text"].toString(), "16.5");
    EXPECT_EQ(Item(unit, "ISOCode4um")["value"].toDouble(), 16.5);
    EXPECT_EQ(Item(unit, "Counts4um")["value"].toDouble(), 500);
    EXPECT_EQ(Json(get("/api/v1/units/1")), unit);

    ticks(9);  // silent for three message times
    unit = unit1();
    EXPECT_EQ(unit["state"].toString(), "stale");
    EXPECT_EQ(Item(unit, "ISOCode4um")["text"].toString(), "-1");  // as the unit's windows show
    EXPECT_TRUE(Item(unit, "ISOCode4um")["value"].isNull());
    EXPECT_EQ(QDateTime::fromString(unit["lastRecord"].toString(), Qt::ISODate), received);
}

TEST_F(WebApiTest, HistoryIsTheStoredRowsOldestFirstAsJsonOrCsv)
{
    EXPECT_EQ(Json(get("/api/v1/units/1/history"))["rows"].toArray().size(), 0);
    frame(kRecord);
    const QDateTime first = clock.now();
    frame(QByteArray(kRecord).replace(";D2064", ";D206E"));  // diode power 1.10

    const QJsonObject history = Json(get("/api/v1/units/1/history"));
    EXPECT_EQ(history["capacity"].toInt(), 10);  // Buffer_size: what a client may keep
    const QJsonArray rows = history["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(QDateTime::fromString(rows[0].toObject()["time"].toString(), Qt::ISODate), first);
    EXPECT_EQ(rows[0].toObject()["isoCodes"].toArray().first().toDouble(), 16.5);
    EXPECT_EQ(rows[0].toObject()["counts"].toArray().first().toDouble(), 500);
    EXPECT_EQ(rows[0].toObject()["diodePower"].toDouble(), 1);
    EXPECT_EQ(rows[1].toObject()["diodePower"].toDouble(), 1.1);  // not 1.10000002

    const HttpReply csv = get("/api/v1/units/1/history?format=csv");
    EXPECT_EQ(csv.status, 200);
    EXPECT_EQ(Header(csv, "Content-Type"), "text/csv; charset=utf-8; header=present");
    const QList<QByteArray> lines = csv.body.split('\n');
    ASSERT_EQ(lines.size(), 4);  // header, two rows, nothing after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("Time,4µm counts/mL,6µm counts/mL,14µm counts/mL,"
                                       "21µm counts/mL,4µm ISO code,6µm ISO code,14µm ISO code,"
                                       "21µm ISO code,Error state,Error code,Laser current,"
                                       "Diode power,Temperature °C,Flow Index\r")
                            .toUtf8());
    const QList<QByteArray> fields = lines[2].chopped(1).split(',');
    ASSERT_EQ(fields.size(), 15);
    EXPECT_EQ(fields[0], QByteArray(rows[1].toObject()["time"].toString().toUtf8()));
    EXPECT_EQ(fields[1], "500");
    EXPECT_EQ(fields[5], "16.5");
    EXPECT_EQ(fields[9], "OK");
    EXPECT_EQ(fields[12], "1.1");
    EXPECT_TRUE(lines[3].isEmpty());

    const std::pair<int, int> capacities[] = {{0, 1}, {1, 1}, {1000, 1000}, {1001, 1000}};
    for (const auto& [bufferSize, capacity] : capacities) {
        core.state().BufferSize = bufferSize;
        EXPECT_EQ(Json(get("/api/v1/units/1/history"))["capacity"].toInt(), capacity) << bufferSize;
    }
}

TEST_F(WebApiTest, EventsAreNewestFirstFilteredByTimeUnitAndLimit)
{
    frame(kRecord);
    const QDateTime mid = clock.now();
    clock.advanceSeconds(1);
    ticks(9);  // stale
    const auto events = [&](const QByteArray& query) {
        return Json(get("/api/v1/events" + query))["events"].toArray();
    };
    const QJsonArray all = events("");
    ASSERT_GE(all.size(), 3);
    EXPECT_GT(all[0].toObject()["id"].toInt(), all[1].toObject()["id"].toInt());
    EXPECT_EQ(all[0].toObject()["event"].toString(), "Stale");
    EXPECT_EQ(all[0].toObject()["name"].toString(), "Line A");

    const QJsonArray recent = events("?since=" + mid.addSecs(1).toString(Qt::ISODate).toUtf8());
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0].toObject()["event"].toString(), "Stale");
    EXPECT_EQ(events("?limit=2").size(), 2);
    for (const QJsonValue event : events("?unit=0")) EXPECT_TRUE(event["unit"].isNull());
}

TEST_F(WebApiTest, EverythingElseGetsItsStatusAndAJsonError)
{
    const struct {
        QByteArray method;
        QByteArray target;
        int status;
    } rows[] = {
        {"HEAD", "/api/v1/units", 200},
        {"POST", "/api/v1/units", 405},
        {"DELETE", "/api/v1/units/1", 405},
        {"", "/", 405},  // a method the parser did not know
        {"GET", "/api/v1/units/2", 404},  // not served
        {"GET", "/api/v1/units/5/history", 404},
        {"GET", "/api/v1/units/01", 404},
        {"GET", "/api/v1/units/1/history/x", 404},
        {"GET", "/api/v2/units", 404},
        {"GET", "/etc/passwd", 404},
        {"GET", "/../etc/passwd", 400},
        {"GET", "/api/v1/units/../../../etc/passwd", 400},
        {"GET", "/%2e%2E/etc/passwd", 400},
        {"GET", "/app.js/..", 400},
        {"GET", "/a%00b", 400},
        {"GET", "/a%zz", 400},
        {"GET", "/a%2", 400},
        {"GET", "api/v1/units", 400},
        {"GET", "/" + QByteArray(kMaxTargetBytes, 'a'), 400},
        {"GET", "/api/v1/units?" + QByteArray("a=1&").repeated(kMaxQueryParameters + 1), 400},
        {"GET", "/api/v1/units/1/history?format=xml", 400},
        {"GET", "/api/v1/events?since=yesterday", 400},
        {"GET", "/api/v1/events?limit=0", 400},
        {"GET", "/api/v1/events?unit=5", 400},
    };
    for (const auto& row : rows) {
        const HttpReply reply = get(row.target, row.method);
        const std::string where = (row.method + ' ' + row.target.left(60)).toStdString();
        EXPECT_EQ(reply.status, row.status) << where;
        EXPECT_EQ(Header(reply, "X-Content-Type-Options"), "nosniff") << where;
        if (row.status == 200) continue;
        EXPECT_EQ(Header(reply, "Content-Type"), "application/json") << where;
        EXPECT_FALSE(Json(reply)["error"].toString().isEmpty()) << where;
        EXPECT_EQ(Header(reply, "Allow"), row.status == 405 ? "GET, HEAD" : "") << where;
    }
}

TEST_F(WebApiTest, ThePageComesFromTheProgramAndTheChartLibraryFromItsFolder)
{
    const HttpReply page = get("/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("<script src=\"app.js\"></script>"));
    EXPECT_TRUE(Header(page, "Content-Security-Policy").startsWith("default-src 'self'"));
    EXPECT_TRUE(get("/app.js").body.contains("EventSource"));
    EXPECT_EQ(Header(get("/style.css"), "Content-Type"), "text/css; charset=utf-8");

    EXPECT_EQ(get("/dygraph.min.js").status, 404);  // not installed
    QFile library(chartFolder.filePath("dygraph.min.js"));
    ASSERT_TRUE(library.open(QIODevice::WriteOnly) && library.write("var Dygraph;") > 0);
    library.close();
    // Remembered only once read: the library installed after the start is served.
    EXPECT_EQ(get("/dygraph.min.js").body, "var Dygraph;");
    EXPECT_EQ(get("/%64ygraph.min.js").body, "var Dygraph;");
}

// Users "ops" (password "right") and "eve" with a hash of a kind too weak to accept.
class WebAuthenticationTest : public WebCoreTest {
protected:
    static QByteArray Basic(const QByteArray& credentials)
    {
        return "Basic " + credentials.toBase64();
    }
    HttpReply get(const QByteArray& authorization)
    {
        return api.respond({"GET", "/api/v1/units", authorization});
    }

    int verifications = 0;
    WebUsers users{"# web users\n\nops:$6$salt$hash\neve:$1$md5$hash\nbroken line\n",
                   [this](const QByteArray& password, const QByteArray& hash) {
                       ++verifications;
                       return password == "right" && hash == "$6$salt$hash";
                   },
                   clock};
    WebApi api{core.plant(), core.items(), core.history(), core.state(), feed, &users};
};

TEST_F(WebAuthenticationTest, OnlyAUserOfTheFileWithItsPasswordIsAnswered)
{
    EXPECT_EQ(users.size(), 1);
    EXPECT_EQ(users.faults(),
              QStringList({"line 4: the password hash of eve is not yescrypt, bcrypt or SHA-crypt",
                           "line 5: not name:hash"}));
    // A name not in the file costs one verification as a known one does (against ops's hash,
    // which "right" matches), and is refused all the same.
    const std::pair<QByteArray, int> refusals[] = {
        {QByteArray(), 0},
        {Basic("ops:wrong"), 1},
        {Basic("eve:right"), 1},
        {Basic("nobody:right"), 1},
        {Basic("ops"), 0},
        {QByteArray("Bearer ") + QByteArray("ops:right").toBase64(), 0},
        {QByteArray("Basic !!!"), 0},
        {QByteArray("Basic"), 0},
    };
    for (const auto& [refused, verified] : refusals) {
        const int earlier = verifications;
        const HttpReply reply = get(refused);
        EXPECT_EQ(verifications - earlier, verified) << refused.toStdString();
        EXPECT_EQ(reply.status, 401) << refused.toStdString();
        EXPECT_EQ(Header(reply, "WWW-Authenticate"), R"(Basic realm="GrainLink", charset="UTF-8")");
        EXPECT_FALSE(reply.body.contains("Line A"));
    }
    // Before anything else: a refused request learns nothing of what exists.
    EXPECT_EQ(api.respond({"POST", "/nothing", Basic("ops:wrong")}).status, 401);

    clock.advanceSeconds(1);  // four failures spent the second's budget
    const int before = verifications;
    EXPECT_EQ(get(Basic("ops:right")).status, 200);
    EXPECT_EQ(get("basic " + QByteArray("ops:right").toBase64()).status, 200);
    EXPECT_EQ(get(Basic("ops:right")).status, 200);
    EXPECT_EQ(verifications, before + 2);  // the same header again is not hashed again

    // Past the failures a second allows, nothing more is hashed, the right password included,
    // until the next second; a header allowed before still is.
    clock.advanceSeconds(1);
    for (int i = 0; i < WebUsers::kFailuresPerSecond; ++i)
        EXPECT_EQ(get(Basic("ops:guess" + QByteArray::number(i))).status, 401);
    const int spent = verifications;
    EXPECT_EQ(spent, before + 2 + WebUsers::kFailuresPerSecond);
    EXPECT_EQ(get(Basic("ops:guess")).status, 401);
    EXPECT_EQ(get(Basic("ops:right") + ' ').status, 401);
    EXPECT_EQ(get(Basic("ops:right")).status, 200);
    EXPECT_EQ(verifications, spent);
    clock.advanceSeconds(1);
    EXPECT_EQ(get(Basic("ops:right") + ' ').status, 200);
    EXPECT_EQ(verifications, spent + 1);
}

}  // namespace
}  // namespace grainlink::test
