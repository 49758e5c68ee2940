// The page in a real browser: headless chromium loads it from the running headless server and
// shows what the instrument sends, as it arrives, and the silence after it.
#include "tests/integration/headless_server.h"
#include "tests/web/headless_browser.h"
#include "tools/sim/serial_line.h"

namespace grainlink::test {
namespace {

// Resolves, once the page shows unit 1's tile in `state`, to the texts of its four ISO codes
// and whether the history chart is drawn; it watches the page rather than polling it.
QString TileIn(const char* state)
{
    return QStringLiteral(R"(new Promise((resolve) => {
  const check = () => {
    const tile = document.querySelector('.tile[data-unit="1"]');
    if (!tile || tile.dataset.state !== '%1') return;
    observer.disconnect();
    resolve({
      codes: [...tile.querySelectorAll('td.code')].map((cell) => cell.textContent).join(' '),
      stateText: tile.querySelector('.tile-state').textContent,
      chart: document.querySelector('#chart canvas') !== null,
    });
  };
  const observer = new MutationObserver(check);
  observer.observe(document.body, { subtree: true, childList: true, attributes: true });
  check();
}))")
        .arg(QLatin1String(state));
}

class BrowserTest : public HeadlessServer {
protected:
    std::unique_ptr<sim::SerialLine> line = sim::SerialLine::OpenPseudoTerminal();
};

TEST_F(BrowserTest, ThePageShowsARecordAsItArrivesAndTheSilenceAfterIt)
{
    if (HeadlessBrowser::Executable().isEmpty())
        GTEST_SKIP() << "no chromium on this machine: scripts/setup.sh installs Debian's";
    const quint16 port = UnusedPort();
    writeConfig(line->path(),
                QStringLiteral("[Settings]\nMessage time=4\n[HTTP]\nListen=127.0.0.1:%1\n").arg(port));
    server.setProcessChannelMode(QProcess::MergedChannels);
    startServer();
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    ASSERT_TRUE(waitForLine("HTTP: the web page and API at " + url, 10000))
        << seen.join('\n').toStdString();

    HeadlessBrowser browser;
    ASSERT_TRUE(browser.start());
    ASSERT_TRUE(browser.open(url, 30000));
    // ISO codes 16.5, 14.0, 10.0 and 5.0, no error bits.
    line->send(";A10001;A201;A30002;A421;B100F4240;B7003C;C50A5;C608C;C7064;C8032;C101F4;"
               "C200C8;C30032;C4000A;D400\r\n");
    const auto live = browser.evaluate(TileIn("live"), 30000);
    ASSERT_TRUE(live) << seen.join('\n').toStdString();
    EXPECT_EQ((*live)["codes"].toString().toStdString(), "16.5 14.0 10.0 5.0");
    EXPECT_EQ((*live)["stateText"].toString(), "Live");
    EXPECT_TRUE((*live)["chart"].toBool());  // the chart library came from the server

    const auto stale = browser.evaluate(TileIn("stale"), 30000);
    ASSERT_TRUE(stale);
    EXPECT_EQ((*stale)["codes"].toString().toStdString(), "no data no data no data no data");
    EXPECT_EQ((*stale)["stateText"].toString(), "Stale");
}

}  // namespace
}  // namespace grainlink::test
