// A request target from the web -> the path and query the server reads from it -> the whole reply
// of the web API, over a server core whose first two units have records and a history. Nothing
// may crash; a target with a dot segment, however it is escaped, is refused; every reply has a
// status the API gives, headers without line breaks, a JSON body where it says JSON, and on the
// wire the length of its body.

#include "fuzz/fuzz_support.h"
#include "fuzz/fuzzed_server.h"
#include "web/live_feed.h"
#include "web/request_target.h"
#include "web/web_api.h"

#include <QJsonDocument>

namespace grainlink::fuzz {
namespace {

const QByteArray kRecord =
    ";A10001;A201;A30002;A421;B100F4240;B50004b0;B7003C;C50A5;C101F4;D2064;D400\r\n";

// Units 1 and 2 served, each with three records framed, so that every document has rows.
class Plant {
public:
    Plant()
        : m_server({{"options/units", "2"},
                    {"options/buffer_size", "10"},
                    {"unit1/enable", "1"},
                    {"unit2/enable", "1"},
                    {"unit1/name", "Line \"A\" <b>"}})
    {
        ServerCore& core = m_server.core();
        QObject::connect(&core, &ServerCore::recordStored, &m_feed,
                         [this](int unit) { m_feed.recordStored(unit); });
        core.start();
        for (int record = 0; record < 3; ++record) {
            for (int unit = 1; unit <= 2; ++unit) m_server.port(unit).receive(kRecord);
            for (int tick = 0; tick < AcquisitionCycle::kReceiveWatchdog + 2; ++tick)
                m_server.tick();
        }
    }

    WebApi& api() { return m_api; }

private:
    FuzzedServer m_server;
    ServerCore& m_core = m_server.core();
    LiveFeed m_feed{m_core.plant(), m_core.items(), m_core.history(), m_core.state()};
    WebApi m_api{m_core.plant(), m_core.items(), m_core.history(), m_core.state(), m_feed};
};

// A path segment that names the current or the parent folder once its escapes are decoded.
bool HasDotSegment(QByteArrayView target)
{
    const qsizetype mark = target.indexOf('?');
    const QByteArray path = (mark < 0 ? target : target.first(mark)).toByteArray();
    for (const QByteArray& segment : path.split('/')) {
        const QByteArray decoded = QByteArray::fromPercentEncoding(segment);
        if (decoded == "." || decoded == "..") return true;
    }
    return false;
}

void CheckTarget(QByteArrayView raw, const RequestTarget& target)
{
    const QByteArray detail = raw.toByteArray();
    if (HasDotSegment(raw) || !raw.startsWith('/') || raw.size() > kMaxTargetBytes)
        FUZZ_CHECK(target.resource == Resource::BadTarget, detail);
    if (target.resource == Resource::BadTarget) {
        FUZZ_CHECK(!target.fault.isEmpty(), detail);
        return;
    }
    FUZZ_CHECK(target.query.size() <= kMaxQueryParameters, detail);
    if (target.resource == Resource::Unit || target.resource == Resource::History)
        FUZZ_CHECK(target.unit >= 1 && target.unit <= 999, detail);
}

void CheckReply(QByteArrayView raw, const HttpReply& reply)
{
    const QByteArray detail = raw.toByteArray() + " -> " + QByteArray::number(reply.status);
    FUZZ_CHECK(reply.status == 200 || reply.status == 400 || reply.status == 404 ||
                   reply.status == 503,
               detail);
    QByteArray type;
    for (const auto& [name, value] : reply.headers) {
        for (const QByteArray& text : {name, value})
            FUZZ_CHECK(!text.contains('\r') && !text.contains('\n'), detail + ": " + text);
        if (name == "Content-Type") type = value;
    }
    if (type == "application/json") {
        QJsonParseError error;
        QJsonDocument::fromJson(reply.body, &error);
        FUZZ_CHECK(error.error == QJsonParseError::NoError, detail + ": " + reply.body);
    }
    const QByteArray wire = SerializeReply(reply, true);
    FUZZ_CHECK(wire.endsWith("\r\n\r\n" + reply.body), detail);
    if (!reply.live)
        FUZZ_CHECK(wire.contains("\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                                 "\r\n"),
                   detail);
}

}  // namespace
}  // namespace grainlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace grainlink;
    static fuzz::Plant plant;
    const QByteArrayView target(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzz::CheckTarget(target, ParseRequestTarget(target));
    fuzz::CheckReply(target, plant.api().respond(HttpRequest{"GET", target.toByteArray(), {}}));
    return 0;
}
