// Serial bytes -> framing -> decoding -> item texts, record snapshot and data log line: the server
// core with four units on scripted serial lines, ticked by hand, publishing through the record
// snapshot publisher. Nothing may crash or grow without bound; every record snapshot parses and
// holds the items as shown; every data log line has its 16 fields and ends with CR LF.
//
// The input is a script. Its bytes arrive on the current unit's line (unit 1 at first), and 0xFF
// starts a command:
//   '1' .. '4'  later bytes arrive on that unit's line
//   't'         one tick of the acquisition cycle; the clock moves on a second
//   'x', 'p'    the current unit's device is unplugged, plugged in again
//   'f'         more characters than a message may hold arrive without a pause
//   'd'         demonstration mode on or off
//   'l'         numbers in the next locale (C, German, French)
//   'n', 'k'    the bytes up to the next command are the current unit's name, its flow factor text
//   0xFF        a 0xFF byte arrives
// After the script, the lines are left silent for long enough to frame what they hold.

#include "acquisition/unit_file_name.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzzed_server.h"
#include "server/mqtt_unit_publisher.h"
#include "server/unit_topics.h"
#include "state/numeric_text.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace grainlink::fuzz {
namespace {

constexpr char kCommand = '\xFF';
constexpr int kTicksToFrame = AcquisitionCycle::kReceiveWatchdog + 2;
constexpr int kLongestItemText = 64;
// A panel text holds at most one message and a few words about it.
constexpr qsizetype kLongestPanelText = AcquisitionCycle::kMaxMessageBytes + 200;
constexpr int kDataLogFields = 16;

// The bytes from `from` up to the next command or the end.
QByteArrayView UpToCommand(QByteArrayView script, qsizetype from)
{
    const qsizetype end = script.indexOf(kCommand, from);
    return script.sliced(from, (end < 0 ? script.size() : end) - from);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Four units with data logging into the scratch directory; raw data files go to the working
// directory, which belongs to libFuzzer, so raw data is off.
QMap<QByteArray, QByteArray> Settings()
{
    QMap<QByteArray, QByteArray> settings{{"options/units", "4"},
                                          {"options/log", "1"},
                                          {"options/file", QFile::encodeName(ScratchFile("Data.log"))},
                                          {"options/buffer_size", "10"},
                                          {"settings/message time", "4"}};
    for (int unit = 1; unit <= kMaxUnits; ++unit)
        settings.insert("unit" + QByteArray::number(unit) + "/enable", "1");
    return settings;
}

class Pipeline {
public:
    Pipeline() : m_server(Settings())
    {
        QObject::connect(&m_core, &ServerCore::recordStored, [this](int unit, bool generated) {
            m_publisher.onRecord(unit,
                                 generated ? RecordState::Demonstration : RecordState::Live);
            CheckRecord(unit, generated);
        });
        QObject::connect(&m_core, &ServerCore::unitMarkedStale, [this](int unit) {
            m_publisher.onUnitStale(unit);
            CheckSnapshot(unit, RecordState::Stale);
        });
        m_core.start();
        // Each record appends one line after the column names written at start.
        for (int unit = 1; unit <= kMaxUnits; ++unit)
            m_loggedBytes[unit] = QFileInfo(LogFile(unit)).size();
    }
    ~Pipeline() { RemoveFiles(); }

    void Run(QByteArrayView script)
    {
        for (qsizetype i = 0; i < script.size();) {
            if (script[i] == kCommand)
                i += 1 + Command(script.sliced(i + 1));
            else
                i += Receive(UpToCommand(script, i));
        }
        for (int tick = 0; tick < kTicksToFrame; ++tick) Tick();
    }

private:
    qsizetype Receive(QByteArrayView bytes)
    {
        m_server.port(m_unit).receive(bytes.toByteArray());
        return bytes.size();
    }

    // Carries out the command at the start of `script`; returns the bytes it took.
    qsizetype Command(QByteArrayView script)
    {
        if (script.isEmpty()) return 0;
        switch (const char command = script[0]) {
            case '1':
            case '2':
            case '3':
            case '4':
                m_unit = command - '0';
                break;
            case 't':
                Tick();
                break;
            case 'x':
                m_server.port(m_unit).unplug();
                break;
            case 'p':
                m_server.port(m_unit).plugIn();
                break;
            case 'f':
                m_server.port(m_unit).receive(QByteArray(AcquisitionCycle::kMaxMessageBytes + 1, '0'));
                break;
            case 'd':
                m_core.state().DemoMode = !m_core.state().DemoMode;
                break;
            case 'l':
                QLocale::setDefault(LocaleNumbered(++m_locale));
                break;
            case 'n': {
                const QByteArrayView name = UpToCommand(script, 1);
                m_core.state().UnitName[m_unit] = QString::fromUtf8(name);
                return 1 + name.size();
            }
            case 'k': {  // as typed into the factor box, which takes 9 characters
                const QByteArrayView factor = UpToCommand(script, 1);
                m_core.items()[m_unit].setText(
                    Item::txt_flow_factor,
                    QString::fromLatin1(factor.first(std::min<qsizetype>(factor.size(), 9))));
                return 1 + factor.size();
            }
            case kCommand:
                return Receive(script.first(1));
        }
        return 1;
    }

    void Tick()
    {
        m_server.tick();
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            const QByteArray& message = m_core.state().UnitData[unit].RxBuffer;
            FUZZ_CHECK(message.size() <= AcquisitionCycle::kMaxMessageBytes, message.left(200));
            for (CommsControl control :
                 {CommsControl::frame_comms, CommsControl::lbl_rx, CommsControl::lbl_msg,
                  CommsControl::lbl_last_msg_time, CommsControl::lbl_rx_cnt}) {
                const QString& text = m_core.panel().text(control, unit);
                FUZZ_CHECK(text.size() <= kLongestPanelText, text.left(200).toUtf8());
            }
        }
    }

    void CheckRecord(int unit, bool generated)
    {
        const ItemTable& items = m_core.items()[unit];
        for (Item item : AllItems())
            FUZZ_CHECK(items.text(item).size() <= kLongestItemText, items.text(item).toUtf8());
        CheckSnapshot(unit, generated ? RecordState::Demonstration : RecordState::Live);
        const QByteArray logged = ReadAll(LogFile(unit)).mid(m_loggedBytes[unit]);
        m_loggedBytes[unit] += logged.size();
        if (m_core.state().DemoMode)
            FUZZ_CHECK(logged.isEmpty(), logged);
        else
            CheckDataLogLine(logged);
    }

    // The unit's last record snapshot: JSON with every item, a finite number or (stale) nothing
    // as its value. A record's snapshot is the record as shown; a stale one is sent once, when
    // the unit goes stale, and may be older than the texts shown now.
    void CheckSnapshot(int unit, RecordState state)
    {
        static const QHash<RecordState, QString> kStateNames = {
            {RecordState::Live, QStringLiteral("live")},
            {RecordState::Stale, QStringLiteral("stale")},
            {RecordState::Demonstration, QStringLiteral("demonstration")}};
        const QByteArray& snapshot = m_retained.latest[UnitTopic(
            QStringLiteral("GRAINLINK"), unit, QStringLiteral("record"))];
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(snapshot, &error);
        FUZZ_CHECK(error.error == QJsonParseError::NoError && document.isObject(), snapshot);
        const QJsonObject record = document.object();
        FUZZ_CHECK(record["unit"].toInt() == unit, snapshot);
        FUZZ_CHECK(record["state"].toString() == kStateNames[state], snapshot);
        const bool stale = state == RecordState::Stale;
        FUZZ_CHECK(stale || record["name"].toString() == m_core.state().UnitName[unit], snapshot);
        const QJsonObject items = record["items"].toObject();
        FUZZ_CHECK(items.size() == kItemCount, snapshot);
        for (Item item : AllItems()) {
            const QJsonObject entry = items[ItemName(item)].toObject();
            FUZZ_CHECK(stale || entry["text"].toString() == m_core.items()[unit].text(item),
                       snapshot);
            const QJsonValue value = entry["value"];
            if (stale)
                FUZZ_CHECK(value.isUndefined() || value.isNull(), snapshot);
            else if (!value.isUndefined())
                FUZZ_CHECK(value.isDouble() && std::isfinite(value.toDouble()), snapshot);
        }
    }

    // Date and time, four counts, four codes, the error state and code, laser current, diode
    // power, temperature, flow index; one line, ending with CR LF.
    static void CheckDataLogLine(const QByteArray& logged)
    {
        FUZZ_CHECK(logged.endsWith("\r\n"), logged);
        const QByteArray line = logged.chopped(2);
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'), logged);
        const QList<QByteArray> fields = line.split(';');
        FUZZ_CHECK(fields.size() == kDataLogFields, logged);
        for (int field : {2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15})
            FUZZ_CHECK(IsNumeric(QString::fromLatin1(fields[field])), logged);
        FUZZ_CHECK(fields[10] == "OK" || fields[10] == "Error", logged);
    }

    QString LogFile(int unit) { return UnitFileName(m_core.state().LogFile, unit); }

    void RemoveFiles()
    {
        for (int unit = 1; unit <= kMaxUnits; ++unit) QFile::remove(LogFile(unit));
    }

    FuzzedServer m_server;
    ServerCore& m_core = m_server.core();
    test::RecordingRetained m_retained;
    MqttUnitPublisher m_publisher{
        m_core.items(), m_core.state(), m_server.clock(), m_retained, QStringLiteral("GRAINLINK"),
        MqttDiscoverySettings{}};
    int m_unit = 1;  // whose line the bytes arrive on
    PerUnit<qsizetype> m_loggedBytes;  // of each data log file, checked
    unsigned m_locale = 0;
};

}  // namespace
}  // namespace grainlink::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QLocale::setDefault(QLocale::c());
    grainlink::fuzz::Pipeline().Run(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
