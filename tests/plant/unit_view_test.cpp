// The rules of the overview that need no server: which state wins, how ages and units are
// written, and how the event log keeps and answers.
#include "plant/unit_view.h"
#include "plant/event_log.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace grainlink::test {
namespace {

TEST(UnitStateTest, TheFirstStateThatAppliesWins)
{
    using V = ValueSource;
    const struct {
        UnitFacts facts;
        UnitState expected;
    } rows[] = {
        {{.served = false, .paused = true, .portLost = true}, UnitState::Disabled},
        {{.served = true, .paused = true, .portLost = true, .values = V::Record, .alarm = true},
         UnitState::Paused},
        {{.served = true, .portLost = true, .values = V::Record, .alarm = true},
         UnitState::PortLost},
        {{.served = true, .values = V::None, .alarm = true}, UnitState::Stale},
        {{.served = true, .values = V::Demo, .alarm = true}, UnitState::Demo},
        {{.served = true, .values = V::Record, .alarm = true}, UnitState::Alarm},
        {{.served = true, .values = V::Record}, UnitState::Live},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(StateWord(row.expected).toStdString());
        EXPECT_EQ(StateOf(row.facts), row.expected);
    }
    EXPECT_EQ(StateWord(UnitState::PortLost), "Port lost");
    EXPECT_EQ(StateKey(UnitState::PortLost), "port lost");
}

TEST(UnitStateTest, AgesAndUnitLabels)
{
    const QDateTime then(QDate(2026, 12, 6), QTime(14, 0, 0));
    const struct {
        qint64 seconds;
        const char* text;
    } ages[] = {{-30, "0 s ago"},      {12, "12 s ago"},  {119, "119 s ago"},    {120, "2 min ago"},
                {7199, "119 min ago"}, {7200, "2 h ago"}, {48 * 3600, "2 d ago"}};
    for (const auto& age : ages) EXPECT_EQ(AgeText(then, then.addSecs(age.seconds)), age.text);

    EXPECT_EQ(UnitLabel(1, "Line A"), "Unit 1 (Line A)");
    EXPECT_EQ(UnitLabel(2, "2"), "Unit 2");
    EXPECT_EQ(UnitLabel(3, ""), "Unit 3");
    EXPECT_EQ(UnitLabel(0, "Line A"), "");
}

PlantEvent At(int minute, int unit, const char* event)
{
    return PlantEvent{
        .time = QDateTime(QDate(2026, 12, 6), QTime(14, minute)), .unit = unit, .event = event};
}

QStringList Names(const QList<PlantEvent>& events)
{
    QStringList names;
    for (const PlantEvent& event : events) names << QString::number(event.id) + event.event;
    return names;
}

TEST(EventLogTest, KeepsTheNewestUpToItsCapacityAndAnswersByUnitTimeAndCount)
{
    EventLog log(4);
    QSignalSpy added(&log, &EventLog::eventAdded);
    log.add(At(1, 0, "a"));
    log.add(At(2, 1, "b"));
    log.add(At(3, 2, "c"));
    log.add(At(0, 1, "d"));  // the clock was set back
    log.add(At(5, 1, "e"));
    log.add(At(6, 0, "f"));
    ASSERT_EQ(added.size(), 6);
    EXPECT_EQ(added.last()[0].value<PlantEvent>().id, 6);
    EXPECT_EQ(log.size(), 4) << "the two oldest were dropped";
    EXPECT_EQ(log.at(0).event, "f");
    EXPECT_EQ(Names(log.events()), (QStringList{"6f", "5e", "4d", "3c"}));
    EXPECT_EQ(Names(log.events(1)), (QStringList{"5e", "4d"}));
    EXPECT_EQ(Names(log.events(0)), (QStringList{"6f"}));
    const QDateTime three(QDate(2026, 12, 6), QTime(14, 3));
    EXPECT_EQ(Names(log.events(std::nullopt, three)), (QStringList{"6f", "5e", "3c"}))
        << "at or after the time, past an event out of order";
    EXPECT_EQ(Names(log.events(std::nullopt, std::nullopt, 2)), (QStringList{"6f", "5e"}));
    for (qint64 id : {2, 7}) EXPECT_EQ(log.find(id), nullptr) << "dropped, or not yet added";
    ASSERT_NE(log.find(3), nullptr);
    EXPECT_EQ(log.find(3)->event, "c");
    EXPECT_EQ(log.find(6)->event, "f");
    EXPECT_EQ(EventLog().find(1), nullptr);
}

}  // namespace
}  // namespace grainlink::test
