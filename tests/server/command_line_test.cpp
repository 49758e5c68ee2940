#include <gtest/gtest.h>

#include "platform/stderr_log.h"
#include "server/command_line.h"

namespace grainlink::test {
namespace {

// The windowed program's Qt options pass through to the application object; anything else
// that is not the program's own is refused.
TEST(CommandLineTest, QtWindowOptionsPassTheProgramsOwnAreRead)
{
    using Action = CommandLine::Action;
    const struct {
        QStringList arguments;
        Action action;
        bool headless, demo, windowSystemChosen;
        bool overview = false;
    } cases[] = {
        {{}, Action::Run, false, false, false},
        {{"--overview", "--demo"}, Action::Run, false, true, false, true},
        {{"--headless", "--demo"}, Action::Run, true, true, false},
        {{"-platform", "offscreen"}, Action::Run, false, false, true},
        {{"--display", ":1", "-style", "fusion", "-reverse"}, Action::Run, false, false, true},
        {{"-style"}, Action::Refuse, false, false, false},  // its value is missing
        {{"--headless", "--platform=x"}, Action::Run, true, false, true},
        {{"-headless"}, Action::Run, true, false, false},
        {{"-hv"}, Action::Refuse, false, false, false},
        {{"--help-all"}, Action::Refuse, false, false, false},
        {{"--demo", "--help"}, Action::Help, false, true, false},
        {{"--version"}, Action::Version, false, false, false},
        {{"--headless", "--overview"}, Action::Refuse, true, false, false, true},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(QStringList{"grainlink"} + c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(line.action, c.action) << line.text.toStdString();
        EXPECT_EQ(line.options.headless, c.headless);
        EXPECT_EQ(line.options.demo, c.demo);
        EXPECT_EQ(line.options.overview, c.overview);
        EXPECT_EQ(line.windowSystemChosen, c.windowSystemChosen);
    }
}

// A message of several lines stays several journal entries, each with the priority.
TEST(StderrLogTest, EveryLineCarriesThePriorityOnlyInTheJournal)
{
    const QString text = QStringLiteral("Unit 1: cannot write Data1.log:\nNo space left µ");
    EXPECT_EQ(StderrLines(LogPriority::Warning, text, true),
              "<4>Unit 1: cannot write Data1.log:\n<4>No space left \xC2\xB5\n");
    EXPECT_EQ(StderrLines(LogPriority::Info, text, false), text.toUtf8() + '\n');
    EXPECT_EQ(StderrLines(LogPriority::Error, {}, true), "<3>\n");
    EXPECT_EQ(StderrLines(LogPriority::Error, "refused\n", true), "<3>refused\n")
        << "the text's own line end ends its last line";
}

}  // namespace
}  // namespace grainlink::test
