#include "config/options_form.h"
#include "tests/config/settings_doubles.h"
#include "tests/support/test_doubles.h"

#include <QTemporaryDir>

namespace grainlink::test {
namespace {

// The settings as a start without a configuration file leaves them, with the ports open.
class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest()
    {
        state.NumUnits = 1;
        state.MessageTime = 600;
        state.BufferSize = 10;
        state.PortsReady = true;
    }

    // The one message shown so far; a message box has no other way out.
    QString shown() const
    {
        EXPECT_EQ(messages.messages.size(), 1u);
        return messages.messages.empty() ? QString() : messages.messages[0].text;
    }

    SharedState state;
    RecordingProfile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;
    ScriptedQuestionBox questions;
    RecordingOptionsCallbacks recorded;
    const OptionsCallbacks& callbacks = recorded.callbacks;
};

// Each check stops the Close at its first problem, with its message, and nothing after it is
// saved; the timeout, once accepted, is stored as typed and applied rounded to every unit. The
// last rows take each limit itself, so the dialog closes.
TEST_F(OptionsFormTest, CloseChecksTheFieldsInOrder)
{
    const struct {
        const char* timeout;
        const char* bufferSize;  // 20 is the size the history has
        const char* password;    // security ticked when not null
        std::deque<Answer> answers;
        const char* says;     // empty when the dialog closes
        int16_t messageTime;  // as applied; 600 when refused
    } rows[] = {
        {"0", "20", nullptr, {}, "how often record expected", 600},
        {"-5", "20", nullptr, {}, "how often record expected", 600},
        {"x", "20", nullptr, {}, "how often record expected", 600},
        {"9e99", "20", nullptr, {}, "how often record expected", 600},
        {"1.5", "1O", nullptr, {}, "reenter Buffer Size", 2},
        {"30", "9", nullptr, {Answer::Yes}, "greater than or equal to 10", 30},
        {"30", "1001", nullptr, {Answer::Yes}, "less than or equal to 1000", 30},
        {"30", "20", "abc", {}, "at least 4 characters", 30},
        {"30", "20", "abc\u00e9", {}, "plain ASCII", 30},
        {"1", "10", "abcd", {Answer::Yes}, "", 1},
        {"9999", "1000", nullptr, {Answer::Yes}, "", 9999},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.timeout) + " / " + row.bufferSize);
        state.MessageTime = 600;
        state.BufferSize = 20;
        state.UnitData[4].WatchdogReload = 0;
        state.PortsReady = true;
        profile.writes.clear();
        messages.messages.clear();
        recorded.calls.clear();
        questions.answers = row.answers;
        OptionsForm form(state, config, messages, questions);
        form.entries().timeout = QString::fromLatin1(row.timeout);
        form.entries().bufferSize = QString::fromLatin1(row.bufferSize);
        form.entries().security = row.password != nullptr;
        form.entries().password = QString::fromUtf8(row.password);
        const bool closes = *row.says == '\0';
        EXPECT_EQ(form.Close(callbacks), closes);
        if (closes)
            EXPECT_TRUE(messages.messages.empty());
        else
            EXPECT_TRUE(shown().contains(row.says)) << shown().toStdString();
        const bool accepted = row.messageTime != 600;
        EXPECT_EQ(profile.writes.mid(0, 1),
                  accepted ? QStringList("Settings/Message time=" + form.entries().timeout)
                           : QStringList());
        EXPECT_EQ(profile.writes.contains("Options/Buffer_size=" + form.entries().bufferSize),
                  closes);
        EXPECT_EQ(std::tuple(state.MessageTime, state.UnitData[4].WatchdogReload),
                  std::tuple(row.messageTime, accepted ? row.messageTime : int16_t{0}));
        EXPECT_EQ(state.BufferSize, closes ? form.entries().bufferSize.toInt() : 20);
        EXPECT_TRUE(questions.answers.empty());
        EXPECT_EQ(std::tuple(recorded.calls.isEmpty(), state.PortsReady),
                  std::tuple(!closes, !closes));
    }
}

// A new size is asked for, No by default, and No puts the old size back; the size the history
// already has is neither asked for nor range-tested.
TEST_F(OptionsFormTest, OnlyANewBufferSizeIsQuestioned)
{
    OptionsForm form(state, config, messages, questions);
    form.entries().bufferSize = QStringLiteral("20");
    questions.answers = {Answer::No};
    EXPECT_FALSE(form.Close(callbacks));
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(std::tuple(questions.asked[0].title, questions.asked[0].defaultAnswer),
              std::tuple(QStringLiteral("Change buffer size"), Answer::No));
    EXPECT_EQ(form.entries().bufferSize, QStringLiteral("10"));
    EXPECT_TRUE(messages.messages.empty());

    state.BufferSize = 5000;
    EXPECT_TRUE(OptionsForm(state, config, messages, questions).Close(callbacks));
    EXPECT_EQ(std::tuple(state.BufferSize, questions.asked.size()), std::tuple(5000, size_t{1}));
}

// Without logging no log file is created; a file that cannot be written still lets the settings
// apply, and the user is told once.
TEST_F(OptionsFormTest, UntickingSecurityStoresNoPasswordAndNoLogFilesWithoutLogging)
{
    state.SecurityEnabled = 1;
    state.Password = "Secret";
    OptionsForm form(state, config, messages, questions);
    form.entries().security = false;
    ASSERT_TRUE(form.Close(callbacks));
    EXPECT_EQ(profile.writes.mid(profile.writes.size() - 2),
              QStringList({"Options/SecEna=0", "Options/SecStr="}));
    EXPECT_EQ(std::tuple(state.SecurityEnabled, state.Password), std::tuple(0, QByteArray()));
    EXPECT_EQ(recorded.calls, QStringList({"label:", "view:1", "view:2", "view:3", "view:4"}));

    profile.failWrites = true;
    OptionsForm failing(state, config, messages, questions);
    failing.entries().demo = true;
    EXPECT_TRUE(failing.Close(callbacks));
    EXPECT_TRUE(state.DemoMode);
    EXPECT_FALSE(shown().isEmpty());
}

// The first change is asked for; a refused one moves the spin button only. An accepted one takes
// effect at once, and Close then wants the port set-up visited, however that dialog is left.
TEST_F(OptionsFormTest, ChangingTheUnitCountRequiresThePortSetUp)
{
    OptionsForm form(state, config, messages, questions);
    questions.answers = {Answer::No, Answer::Yes};
    form.SpinChanged(2);
    EXPECT_EQ(std::tuple(form.entries().units, state.NumUnits, state.PortsReady),
              std::tuple(QStringLiteral("1"), int16_t{1}, true));
    form.SpinChanged(3);
    form.SpinChanged(4);  // no longer asked
    EXPECT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(std::tuple(form.entries().units, state.NumUnits, state.PortsReady),
              std::tuple(QStringLiteral("4"), int16_t{4}, false));

    EXPECT_FALSE(form.Close(callbacks));
    EXPECT_TRUE(shown().contains("you must select set-up ports"));
    form.PortSetupOpening();
    form.PortSetupClosed();
    EXPECT_TRUE(form.Close(callbacks));
    EXPECT_TRUE(profile.writes.contains(QStringLiteral("options/Units=4")));
}

// A name that would come back cut from the file would send the log elsewhere after a restart.
TEST_F(OptionsFormTest, ALogFileMustBeInAFolderAndShortEnoughToReadBack)
{
    QTemporaryDir dir;
    // A name in the folder that is `bytes` long as a whole.
    const auto named = [&](qsizetype bytes) {
        const QString folder = dir.path() + u'/';
        return folder + QString(bytes - folder.toUtf8().size() - 4, u'x') + QStringLiteral(".txt");
    };
    OptionsForm form(state, config, messages, questions);
    EXPECT_FALSE(form.ChooseLogFile(dir.filePath(QStringLiteral("missing/grain.txt"))));
    EXPECT_FALSE(form.ChooseLogFile(named(80)));
    EXPECT_EQ(std::tuple(form.entries().logFile, messages.messages.size()),
              std::tuple(QString(), size_t{2}));
    EXPECT_TRUE(form.ChooseLogFile(named(79)));
    EXPECT_EQ(form.entries().logFile, named(79));
}

}  // namespace
}  // namespace grainlink::test
