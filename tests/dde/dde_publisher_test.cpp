#include "server/dde_publisher.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace grainlink::test {
namespace {

// Records every item handed on, as "UNIT2/Temperature=23.5", in order.
class RecordingDdeSource final : public DdeSource {
public:
    void setItem(const QString& topic, const QString& item, const QString& text) override
    {
        calls << topic + u'/' + item + u'=' + text;
    }
    QStringList calls;
};

TEST(DdePublisherTest, PublishesEveryItemAtStartThenEachChangeOnce)
{
    ItemTables items;
    RecordingDdeSource source;
    DdePublisher publisher(items, source);
    // Empty texts too, so that values a previous run left on the broker are cleared.
    EXPECT_EQ(source.calls.size(), 4 * kItemCount);

    source.calls.clear();
    items[2].setText(Item::Temperature, QStringLiteral("23.5"));
    items[2].setText(Item::Temperature, QStringLiteral("23.5"));
    items[4].setText(Item::status, QStringLiteral("Error"));
    items[1].setText(Item::SystemID, items[1].text(Item::SystemID));
    EXPECT_EQ(source.calls, QStringList({"UNIT2/Temperature=23.5", "UNIT4/status=Error"}));
}

}  // namespace
}  // namespace grainlink::test
