#include "server/startup.h"

#include "config/flow_factor.h"
#include "config/password.h"
#include "config/port_setup.h"
#include "state/numeric_text.h"

#include <QFile>

#include <optional>
#include <stdexcept>

namespace grainlink {
namespace {

constexpr const char* kDefaultProductName = "VELMO QS2600 DDE Server";
constexpr const char* kDefaultHardwareName = "QS2600";

// Read buffer capacities; a value is cut to capacity - 1 bytes (characters for the names).
constexpr int kUnitKeyCapacity = 80;
constexpr int kOptionCapacity = 80;  // File, Buffer_size, SecEna, SecStr, Units
constexpr int kFlagCapacity = 10;    // RawLog, Log
constexpr int kProductCapacity = 30;
constexpr int kMessageTimeCapacity = 40;

constexpr int16_t kPresetMessageTime = 60;
constexpr int32_t kPresetBufferSize = 20;
constexpr int32_t kMinBufferSize = 10;
constexpr int32_t kMaxBufferSize = 1000;
constexpr int32_t kCappedBufferSize = 999;

// LoadStep values shown in the configuration error message.
constexpr int kStepUnits = 0;
constexpr int kStepLogging = 2;
constexpr int kStepLogFile = 3;
constexpr int kStepBufferRead = 4;
constexpr int kStepBufferConvert = 42;
constexpr int kStepBufferLimit = 43;
constexpr int kStepSecurity = 5;
constexpr int kStepUnitCount = 7;

// On when the text is a non-zero number; a text that is not numeric leaves the flag off.
bool FlagValue(const QByteArray& text)
{
    const std::optional<double> value = NumericValue(QString::fromLatin1(text));
    return value && *value != 0;
}

// One run of the start-up loading. Conversion failures are reported with the current step and
// loading goes on; the value concerned keeps what it had.
class ConfigLoader {
public:
    ConfigLoader(SharedState& state, const ConfigFile& config, MessageBox& messageBox)
        : m_state(state), m_config(config), m_messageBox(messageBox)
    {
    }

    void Run(CommsPanel& panel)
    {
        LoadUnits();
        ReadProductInfo(m_state, m_config);
        LoadLogging();
        LoadBufferSize();
        LoadSecurity();
        LoadUnitCount(panel);
        ReadMessageTime(m_state, m_config);
    }

private:
    QByteArray Read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const
    {
        return m_config.ReadSetting(section, key, defaultValue, capacity);
    }

    void Report() const
    {
        const QString title = m_state.ProductName.isEmpty()
                                  ? QString::fromLatin1(kDefaultProductName)
                                  : m_state.ProductName;
        m_messageBox.show(title,
                          QStringLiteral("Error whilst loading configuration data  (%1)")
                              .arg(m_step),
                          MessageIcon::None);
    }

    // Passes a converted value through, reporting a failed conversion.
    template <typename T>
    std::optional<T> Checked(std::optional<T> value) const
    {
        if (!value) Report();
        return value;
    }

    // All four units, whatever the unit count says.
    void LoadUnits()
    {
        m_step = kStepUnits;
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            const QByteArray section = "Unit" + QByteArray::number(unit);
            const QByteArray number = QByteArray::number(unit);
            if (const auto enabled = Checked(IntegerValue<int16_t>(
                    Read(section, "Enable", "0", kUnitKeyCapacity))))
                m_state.UnitEnabled[unit] = *enabled != 0;
            if (const auto port = Checked(IntegerValue<int16_t>(
                    Read(section, "Port", number, kUnitKeyCapacity))))
                m_state.UnitPort[unit] = *port;
            m_state.UnitName[unit] =
                m_config.ReadText(section, "Name", QString::fromLatin1(number), kUnitNameCapacity);
        }
    }

    void LoadLogging()
    {
        m_step = kStepLogging;
        m_state.RawLogEnabled = FlagValue(Read("Options", "RawLog", "0", kFlagCapacity));
        m_state.LogEnabled = FlagValue(Read("Options", "Log", "0", kFlagCapacity));
        m_step = kStepLogFile;
        const QByteArray file = Read("Options", "File", "", kOptionCapacity);
        if (file.size() > 1) m_state.LogFile = QFile::decodeName(file);
    }

    // An absent key gives 10, a text that is not numeric the preset 20.
    void LoadBufferSize()
    {
        m_step = kStepBufferRead;
        m_state.BufferSize = kPresetBufferSize;
        const QByteArray text = Read("Options", "Buffer_size", "10", kOptionCapacity);
        m_step = kStepBufferConvert;
        if (IsNumeric(QString::fromLatin1(text))) {
            if (const auto size = Checked(IntegerValue<int32_t>(text)))
                m_state.BufferSize = *size;
        }
        m_step = kStepBufferLimit;
        if (m_state.BufferSize < kMinBufferSize) m_state.BufferSize = kMinBufferSize;
    }

    // With security on nobody is logged in until a logon; the buffer limit is applied after.
    void LoadSecurity()
    {
        m_step = kStepSecurity;
        if (const auto enabled = Checked(IntegerValue<int16_t>(
                Read("Options", "SecEna", "0", kOptionCapacity))))
            m_state.SecurityEnabled = *enabled;
        const DecodedPassword password =
            DecodePassword(Read("Options", "SecStr", "", kOptionCapacity));
        for (int i = 0; i < password.undecodable; ++i) Report();
        m_state.Password = password.plain;

        m_state.LoggedIn = m_state.SecurityEnabled == 0;
        m_state.AccessLevel = m_state.SecurityEnabled == 0 ? 1 : 0;
        if (m_state.BufferSize > kMaxBufferSize) m_state.BufferSize = kCappedBufferSize;
    }

    // A bad unit count is reported once: by its conversion when that fails, otherwise by the
    // panel refresh when the count is outside 1..4.
    void LoadUnitCount(CommsPanel& panel)
    {
        m_step = kStepUnitCount;
        const auto count =
            Checked(IntegerValue<int16_t>(Read("Options", "Units", "1", kOptionCapacity)));
        if (count) m_state.NumUnits = *count;
        try {
            RefreshCommsPanel(m_state, panel);
        } catch (const std::out_of_range&) {
            if (count) Report();
        }
    }

    SharedState& m_state;
    const ConfigFile& m_config;
    MessageBox& m_messageBox;
    int m_step = 0;
};

}  // namespace

void LoadConfiguration(SharedState& state, const ConfigFile& config, CommsPanel& panel,
                       MessageBox& messageBox)
{
    ConfigLoader(state, config, messageBox).Run(panel);
}

void ReadProductInfo(SharedState& state, const ConfigFile& config)
{
    state.ProductName = QString::fromLatin1(kDefaultProductName);
    const QString product =
        config.ReadText("Product_Info", "Product_Name", state.ProductName, kProductCapacity);
    if (!product.isEmpty()) state.ProductName = product.trimmed();

    state.HardwareName = QString::fromLatin1(kDefaultHardwareName);
    const QString hardware =
        config.ReadText("Product_Info", "Hardware_Name", state.HardwareName, kProductCapacity);
    if (!hardware.isEmpty()) state.HardwareName = hardware.trimmed();
}

bool ReadMessageTime(SharedState& state, const ConfigFile& config)
{
    if (state.PortsReady) return false;
    state.MessageTime = kPresetMessageTime;
    const QByteArray text = config.ReadSetting("Settings", "Message time", "600",
                                               kMessageTimeCapacity);
    if (const auto seconds = IntegerValue<int16_t>(text)) state.MessageTime = *seconds;
    return true;
}

void RefreshCommsPanel(const SharedState& state, CommsPanel& panel)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        const QString enabled = state.UnitEnabled[unit] ? QStringLiteral("(Enabled)")
                                                        : QStringLiteral("(Disabled)");
        panel.setText(CommsControl::frame_comms, unit,
                      QStringLiteral("Unit %1 Rx Data %2  %3")
                          .arg(QString::number(unit), enabled, state.UnitName[unit]));
        panel.setUnitShown(unit, unit <= state.NumUnits);
    }
    if (state.NumUnits < 1 || state.NumUnits > kMaxUnits)
        throw std::out_of_range("unit count outside 1..4");
}

void ResetTableViews(HistoryStore& history)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        history.setTimeColumnSized(unit, false);
        history.setTableView(unit, HistoryView::Codes);
    }
}

void ClearHistories(HistoryStore& history, int32_t bufferSize)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) history.clear(unit, bufferSize);
}

void ConfigureTables(HistoryStore& history, int32_t bufferSize)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit) history.ConfigureView(unit, bufferSize);
    for (int unit = 1; unit <= kMaxUnits; ++unit) history.RefreshHistory(unit);
}

void LoadFlowFactors(const ConfigFile& config, ItemTables& items)
{
    for (int unit = 1; unit <= kMaxUnits; ++unit)
        items[unit].setText(Item::txt_flow_factor, ReadFlowFactor(config, unit));
}

}  // namespace grainlink
