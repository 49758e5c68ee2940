#pragma once

#include "tests/server/server_core_fixture.h"
#include "web/live_feed.h"
#include "web/web_api.h"

#include <QJsonObject>

namespace grainlink::test {

// ISO code 16.5 and 500 counts/mL at 4 µm, diode power 1.00, no error bits.
inline const QByteArray kRecord =
    ";A10001;A201;A30002;A421;B100F4240;B7003C;C50A5;C101F4;D2064;D400\r\n";

// The object of one of a unit document's items: {"text":...,"value":...}.
inline QJsonObject Item(const QJsonObject& unit, const char* name)
{
    return unit.value(QLatin1String("items")).toObject().value(QLatin1String(name)).toObject();
}

// The web API and its live feed over a running server core: unit 1 "Line A" on a fake port,
// ten history rows, a message time of 3 s; the test drives the tick.
class WebCoreTest : public ServerCoreTest {
protected:
    explicit WebCoreTest(const QByteArray& extraConfig = {})
    {
        QObject::connect(&core, &ServerCore::recordStored, &feed,
                         [this](int unit) { feed.recordStored(unit); });
        startDriven("[Options]\nBuffer_size=10\n[Unit1]\nEnable=1\nName=Line A\n"
                    "[Settings]\nMessage time=3\n" +
                    extraConfig);
    }
    // Input seen at one tick is framed three ticks later; each tick is a second on the clock.
    void frame(const QByteArray& bytes)
    {
        fakes[1]->receive(bytes);
        for (int i = 0; i < 4; ++i) {
            clock.advanceSeconds(1);
            core.runTick();
        }
    }

    LiveFeed feed{core.plant(), core.items(), core.history(), core.state()};
};

}  // namespace grainlink::test
