#include "server/dde_publisher.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace grainlink::test {
namespace {

// Records every item the publisher hands on, in order.
class RecordingDdeSource final : public DdeSource {
public:
    struct Call {
        QString topic;
        QString item;
        QString text;
        bool operator==(const Call&) const = default;
    };
    void setItem(const QString& topic, const QString& item, const QString& text) override
    {
        calls.push_back({topic, item, text});
    }
    std::vector<Call> calls;
};

class DdePublisherTest : public ::testing::Test {
protected:
    ItemTables items;
    RecordingDdeSource source;
};

TEST_F(DdePublisherTest, PublishesEveryItemOfAllFourTopicsAtConstruction)
{
    items[3].setText(Item::Counts14um, QStringLiteral("7.25"));
    DdePublisher publisher(items, source);

    ASSERT_EQ(source.calls.size(), 4u * kItemCount);
    std::map<std::pair<QString, QString>, QString> published;
    for (const auto& call : source.calls) published[{call.topic, call.item}] = call.text;
    ASSERT_EQ(published.size(), 4u * kItemCount);
    EXPECT_EQ((published[{"UNIT1", "SystemID"}]), "FFFF");
    EXPECT_EQ((published[{"UNIT2", "Flow"}]), "0");
    EXPECT_EQ((published[{"UNIT3", "Counts14um"}]), "7.25");
    EXPECT_EQ((published[{"UNIT4", "txt_flow_factor"}]), "");
    EXPECT_EQ((published[{"UNIT4", "lbl_error"}]), "");
}

TEST_F(DdePublisherTest, PublishesEachChangeOnceAndNothingForAnUnchangedText)
{
    DdePublisher publisher(items, source);
    source.calls.clear();

    items[2].setText(Item::Temperature, QStringLiteral("23.5"));
    items[2].setText(Item::Temperature, QStringLiteral("23.5"));
    items[4].setText(Item::status, QStringLiteral("Error"));
    items[1].setText(Item::SystemID, QStringLiteral("FFFF"));

    const std::vector<RecordingDdeSource::Call> expected = {
        {"UNIT2", "Temperature", "23.5"},
        {"UNIT4", "status", "Error"},
    };
    EXPECT_EQ(source.calls, expected);
}

}  // namespace
}  // namespace grainlink::test
