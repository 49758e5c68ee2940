#include "config/options_form.h"

#include "config/key_writer.h"
#include "config/password.h"
#include "state/numeric_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace grainlink {
namespace {

constexpr int32_t kMinBufferSize = 10;
constexpr int32_t kMaxBufferSize = 1000;
constexpr int kMinPasswordLength = 4;
// [Options] File is read back with a capacity of 80 bytes: a longer name would come back cut,
// and the log would go to another file after the next start.
constexpr int kMaxLogFileBytes = 79;

bool IsAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

QByteArray Flag(bool on)
{
    return on ? "1" : "0";
}

}  // namespace

QString DemoLabelText(bool demoMode)
{
    return demoMode ? QStringLiteral("*** Demo Mode Active ***") : QString();
}

OptionsForm::OptionsForm(SharedState& state, ConfigFile& config, MessageBox& messages,
                         QuestionBox& questions)
    : m_state(state),
      m_config(config),
      m_messages(messages),
      m_questions(questions),
      m_unitsAtOpening(state.NumUnits)
{
    m_entries.timeout = QString::number(state.MessageTime);
    m_entries.bufferSize = QString::number(state.BufferSize);
    m_entries.spinValue = state.NumUnits;
    m_entries.units = QString::number(state.NumUnits);
    m_entries.log = state.LogEnabled;
    m_entries.logFile = state.LogFile;
    m_entries.rawLog = state.RawLogEnabled;
    m_entries.demo = state.DemoMode;
    m_entries.security = state.SecurityEnabled != 0;
    if (m_entries.security) m_entries.password = QString::fromLatin1(state.Password);
}

void OptionsForm::SpinChanged(int value)
{
    m_entries.spinValue = value;
    if (!m_unitsChanged &&
        m_questions.ask(m_state.ProductName,
                        QStringLiteral("Changing the number of units will cause all data to be "
                                       "reset - continue"),
                        MessageIcon::Question, Answer::Yes) == Answer::No)
        return;
    m_state.RequestPortReopen();
    m_entries.units = QString::number(value);
    m_state.NumUnits = static_cast<int16_t>(value);
    m_unitsChanged = true;
}

void OptionsForm::PortSetupOpening()
{
    m_state.RequestPortReopen();
}

void OptionsForm::PortSetupClosed()
{
    m_unitsChanged = false;
}

bool OptionsForm::ChooseLogFile(const QString& path)
{
    const QFileInfo file(path);
    if (!file.absoluteDir().exists()) {
        Tell(QStringLiteral("The folder of the log file does not exist."),
             MessageIcon::Exclamation);
        return false;
    }
    if (QFile::encodeName(file.absoluteFilePath()).size() > kMaxLogFileBytes) {
        Tell(QStringLiteral("The log file name is too long: at most %1 characters can be "
                            "stored. Please choose a shorter folder or file name.")
                 .arg(kMaxLogFileBytes),
             MessageIcon::Exclamation);
        return false;
    }
    m_entries.logFile = file.absoluteFilePath();
    return true;
}

bool OptionsForm::Close(const OptionsCallbacks& callbacks)
{
    KeyWriter keys(m_config);
    if (!AcceptTimeout(keys) || !AcceptBufferSize()) return false;
    if (m_unitsChanged) {
        Tell(QStringLiteral("The number of units has changed, you must select set-up ports"),
             MessageIcon::Information);
        return false;
    }
    QByteArray storedPassword;
    if (!AcceptPassword(storedPassword)) return false;
    Save(keys, storedPassword);
    Apply(callbacks);
    keys.ReportFailure(m_messages, m_state.ProductName);
    return true;
}

void OptionsForm::Cancel()
{
    m_state.NumUnits = m_unitsAtOpening;
    m_state.RequestPortReopen();
}

bool OptionsForm::AcceptTimeout(KeyWriter& keys)
{
    const std::optional<int16_t> seconds = IntegerValue<int16_t>(m_entries.timeout);
    if (!seconds || *seconds < 1) {
        Tell(QStringLiteral("Invalid entry for how often record expected, please enter time in "
                            "seconds."),
             MessageIcon::Information);
        return false;
    }
    m_state.MessageTime = *seconds;
    keys.Write("Settings", "Message time", m_entries.timeout.toUtf8());
    for (int unit = 1; unit <= kMaxUnits; ++unit) m_state.UnitData[unit].WatchdogReload = *seconds;
    return true;
}

// An unchanged size is taken as it is, even outside the range.
bool OptionsForm::AcceptBufferSize()
{
    const std::optional<double> typed = NumericValue(m_entries.bufferSize);
    if (!typed) {
        Tell(QStringLiteral("Invalid entry for Buffer Size, please reenter Buffer Size."),
             MessageIcon::Information);
        return false;
    }
    const double size = std::nearbyint(*typed);
    if (size == m_state.BufferSize) return true;
    if (m_questions.ask(QStringLiteral("Change buffer size"),
                        QStringLiteral("Changing the buffer size will lose all displayed data - "
                                       "continue?"),
                        MessageIcon::Information, Answer::No) == Answer::No) {
        m_entries.bufferSize = QString::number(m_state.BufferSize);
        return false;
    }
    if (size > kMaxBufferSize) {
        Tell(QStringLiteral("Buffer size must be less than or equal to %1").arg(kMaxBufferSize),
             MessageIcon::Exclamation);
        return false;
    }
    if (size < kMinBufferSize) {
        Tell(QStringLiteral("Buffer size must be greater than or equal to %1").arg(kMinBufferSize),
             MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool OptionsForm::AcceptPassword(QByteArray& stored)
{
    if (!m_entries.security) {
        m_entries.password.clear();
        stored.clear();
        return true;
    }
    if (m_entries.password.size() < kMinPasswordLength) {
        Tell(QStringLiteral("Security features require that the password be at least 4 "
                            "characters long."),
             MessageIcon::Exclamation);
        return false;
    }
    // Only codes below 128 have a scrambled form; anything else would not read back.
    const std::optional<QByteArray> encoded =
        IsAscii(m_entries.password) ? EncodePassword(m_entries.password.toLatin1()) : std::nullopt;
    if (!encoded) {
        Tell(QStringLiteral("The password can only be made of plain ASCII characters: letters "
                            "without accents, digits, blanks and punctuation."),
             MessageIcon::Exclamation);
        return false;
    }
    stored = *encoded;
    return true;
}

void OptionsForm::Save(KeyWriter& keys, const QByteArray& storedPassword)
{
    keys.Write("Options", "Log", Flag(m_entries.log));
    keys.Write("Options", "RawLog", Flag(m_entries.rawLog));
    keys.Write("Options", "File", QFile::encodeName(m_entries.logFile));
    keys.Write("Options", "Buffer_size", m_entries.bufferSize.toUtf8());
    keys.Write("options", "Units", m_entries.units.toUtf8());
    keys.Write("Options", "SecEna", Flag(m_entries.security));
    keys.Write("Options", "SecStr", storedPassword);
}

void OptionsForm::Apply(const OptionsCallbacks& callbacks)
{
    m_state.NumUnits = IntegerValue<int16_t>(m_entries.units).value_or(m_state.NumUnits);
    m_state.LogEnabled = m_entries.log;
    m_state.RawLogEnabled = m_entries.rawLog;
    m_state.LogFile = m_entries.logFile;
    m_state.BufferSize = IntegerValue<int32_t>(m_entries.bufferSize).value_or(m_state.BufferSize);
    m_state.DemoMode = m_entries.demo;
    m_state.SecurityEnabled = m_entries.security ? 1 : 0;
    m_state.Password = m_entries.password.toLatin1();

    callbacks.setDemoLabel(DemoLabelText(m_state.DemoMode));
    for (int unit = 1; unit <= kMaxUnits; ++unit) callbacks.configureView(unit);
    if (m_state.LogEnabled)
        for (int unit = 1; unit <= kMaxUnits; ++unit) callbacks.createMissingLogFile(unit);
    m_state.RequestPortReopen();
}

void OptionsForm::Tell(const QString& text, MessageIcon icon)
{
    m_messages.show(m_state.ProductName, text, icon);
}

}  // namespace grainlink
