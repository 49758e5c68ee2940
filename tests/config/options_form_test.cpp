#include "config/options_form.h"
#include "tests/config/settings_doubles.h"
#include "tests/support/test_doubles.h"

#include <QDir>
#include <QTemporaryDir>

namespace grainlink::test {
namespace {

const QString kRecordTime =
    QStringLiteral("Invalid entry for how often record expected, please enter time in seconds.");
const QString kBufferText =
    QStringLiteral("Invalid entry for Buffer Size, please reenter Buffer Size.");
const QString kSetUpPorts =
    QStringLiteral("The number of units has changed, you must select set-up ports");
const QString kShortPassword =
    QStringLiteral("Security features require that the password be at least 4 characters long.");

// The settings as a start without a configuration file leaves them, with the ports open.
class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest()
    {
        state.ProductName = QStringLiteral("GrainLink");
        state.NumUnits = 1;
        state.MessageTime = 600;
        state.BufferSize = 10;
        state.PortsReady = true;
    }

    // The messages shown so far, as "icon:text"; a message box has no other way out.
    QStringList shown() const
    {
        QStringList texts;
        for (const auto& m : messages.messages)
            texts << QString::number(static_cast<int>(m.icon)) + u':' + m.text;
        return texts;
    }
    static QString Message(MessageIcon icon, const QString& text)
    {
        return QString::number(static_cast<int>(icon)) + u':' + text;
    }

    SharedState state;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    ScriptedQuestionBox questions;
    RecordingOptionsCallbacks recorded;
    QStringList& calls = recorded.calls;
    const OptionsCallbacks& callbacks = recorded.callbacks;
};

// Each check stops the Close at its first problem, with its message, and nothing after it is
// saved; the timeout, once accepted, is saved and applied all the same.
TEST_F(OptionsFormTest, CloseChecksTheFieldsInOrder)
{
    const QString kTooSmall = QStringLiteral("Buffer size must be greater than or equal to 10");
    const QString kTooLarge = QStringLiteral("Buffer size must be less than or equal to 1000");
    const QString kNotAscii = QStringLiteral(
        "The password can only be made of plain ASCII characters: letters without accents, "
        "digits, blanks and punctuation.");
    const struct {
        const char* timeout;
        const char* bufferSize;
        const char* password;  // security ticked when not null
        std::deque<Answer> answers;
        QString message;
        int16_t messageTime;  // as applied
    } rows[] = {
        {"0", "20", nullptr, {}, Message(MessageIcon::Information, kRecordTime), 600},
        {"-5", "20", nullptr, {}, Message(MessageIcon::Information, kRecordTime), 600},
        {"x", "20", nullptr, {}, Message(MessageIcon::Information, kRecordTime), 600},
        {"9e99", "20", nullptr, {}, Message(MessageIcon::Information, kRecordTime), 600},
        {"1.5", "1O", nullptr, {}, Message(MessageIcon::Information, kBufferText), 2},
        {"30", "5", nullptr, {Answer::Yes}, Message(MessageIcon::Exclamation, kTooSmall), 30},
        {"30", "1001", nullptr, {Answer::Yes}, Message(MessageIcon::Exclamation, kTooLarge), 30},
        {"30", "20", "abc", {Answer::Yes}, Message(MessageIcon::Exclamation, kShortPassword), 30},
        {"30", "20", "abc\u00e9", {Answer::Yes}, Message(MessageIcon::Exclamation, kNotAscii), 30},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.timeout) + " / " + row.bufferSize);
        state.MessageTime = 600;
        state.UnitData[4].WatchdogReload = 0;
        profile.writes.clear();
        messages.messages.clear();
        questions.answers = row.answers;
        OptionsForm form(state, config, messages, questions);
        form.entries().timeout = QString::fromLatin1(row.timeout);
        form.entries().bufferSize = QString::fromLatin1(row.bufferSize);
        form.entries().security = row.password != nullptr;
        form.entries().password = QString::fromUtf8(row.password);
        EXPECT_FALSE(form.Close(callbacks));
        EXPECT_EQ(shown(), QStringList(row.message));
        // The accepted timeout is stored as typed and applied rounded, to every unit's watchdog.
        const QStringList written =
            row.messageTime == 600
                ? QStringList()
                : QStringList(QStringLiteral("Settings/Message time=") + form.entries().timeout);
        EXPECT_EQ(profile.writes, written);
        EXPECT_EQ(
            std::tuple(state.MessageTime, state.UnitData[4].WatchdogReload),
            std::tuple(row.messageTime, row.messageTime == 600 ? int16_t{0} : row.messageTime));
        EXPECT_TRUE(questions.answers.empty());
        EXPECT_TRUE(calls.isEmpty());
        EXPECT_TRUE(state.PortsReady);
    }
}

TEST_F(OptionsFormTest, ANewBufferSizeIsAskedForWithNoAsTheDefault)
{
    OptionsForm form(state, config, messages, questions);
    form.entries().bufferSize = QStringLiteral("20");
    questions.answers = {Answer::No};
    EXPECT_FALSE(form.Close(callbacks));
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].title, QStringLiteral("Change buffer size"));
    EXPECT_EQ(questions.asked[0].text,
              QStringLiteral("Changing the buffer size will lose all displayed data - continue?"));
    EXPECT_EQ(questions.asked[0].icon, MessageIcon::Information);
    EXPECT_EQ(questions.asked[0].defaultAnswer, Answer::No);
    EXPECT_EQ(form.entries().bufferSize, QStringLiteral("10"));  // put back, and no message
    EXPECT_TRUE(messages.messages.empty());

    // The size it already has is not asked for, nor range-tested.
    state.BufferSize = 5000;
    OptionsForm unchanged(state, config, messages, questions);
    EXPECT_TRUE(unchanged.Close(callbacks));
    EXPECT_EQ(state.BufferSize, 5000);
    EXPECT_EQ(questions.asked.size(), 1u);
}

TEST_F(OptionsFormTest, UntickingSecurityStoresNoPasswordAndNoLogFilesWithoutLogging)
{
    state.SecurityEnabled = 1;
    state.Password = "Secret";
    OptionsForm form(state, config, messages, questions);
    form.entries().security = false;
    ASSERT_TRUE(form.Close(callbacks));
    EXPECT_EQ(profile.writes.mid(profile.writes.size() - 2),
              QStringList({"Options/SecEna=0", "Options/SecStr="}));
    EXPECT_EQ(std::tuple(state.SecurityEnabled, state.Password, form.entries().password),
              std::tuple(int16_t{0}, QByteArray(), QString()));
    EXPECT_EQ(calls, QStringList({"label:", "view:1", "view:2", "view:3", "view:4"}));

    // A file that cannot be written: the settings still apply, and the user is told once.
    profile.failWrites = true;
    OptionsForm failing(state, config, messages, questions);
    failing.entries().demo = true;
    EXPECT_TRUE(failing.Close(callbacks));
    EXPECT_TRUE(state.DemoMode);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
}

// The first change is asked for; a refused one moves the spin button only. An accepted one takes
// effect at once, and Close then wants the port set-up visited, however that dialog is left.
TEST_F(OptionsFormTest, ChangingTheUnitCountRequiresThePortSetUp)
{
    OptionsForm form(state, config, messages, questions);
    questions.answers = {Answer::No, Answer::Yes};
    form.SpinChanged(2);
    EXPECT_EQ(std::tuple(form.entries().spinValue, form.entries().units, state.NumUnits),
              std::tuple(2, QStringLiteral("1"), int16_t{1}));
    EXPECT_TRUE(state.PortsReady);
    form.SpinChanged(3);
    form.SpinChanged(4);  // no longer asked
    EXPECT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(questions.asked[0].text,
              QStringLiteral("Changing the number of units will cause all data to be reset - "
                             "continue"));
    EXPECT_EQ(questions.asked[0].icon, MessageIcon::Question);
    EXPECT_EQ(std::tuple(form.entries().units, state.NumUnits, state.PortsReady),
              std::tuple(QStringLiteral("4"), int16_t{4}, false));

    EXPECT_FALSE(form.Close(callbacks));
    EXPECT_EQ(shown(), QStringList(Message(MessageIcon::Information, kSetUpPorts)));
    form.PortSetupOpening();
    form.PortSetupClosed();
    EXPECT_TRUE(form.Close(callbacks));
    EXPECT_TRUE(profile.writes.contains(QStringLiteral("options/Units=4")));
    EXPECT_EQ(state.NumUnits, 4);
}

TEST_F(OptionsFormTest, ALogFileMustBeInAFolderAndShortEnoughToReadBack)
{
    QTemporaryDir dir;
    OptionsForm form(state, config, messages, questions);
    const QString fits = dir.filePath(QStringLiteral("grain.txt"));
    const QString tooLong = dir.filePath(QString(80, u'x') + QStringLiteral(".txt"));
    EXPECT_FALSE(form.ChooseLogFile(dir.filePath(QStringLiteral("missing/grain.txt"))));
    EXPECT_FALSE(form.ChooseLogFile(tooLong));
    EXPECT_EQ(form.entries().logFile, QString());
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(form.ChooseLogFile(fits));
    EXPECT_EQ(form.entries().logFile, fits);
}

}  // namespace
}  // namespace grainlink::test
