#include "server/dde_publisher.h"

namespace grainlink {

// The connections live as long as the tables; the source must outlive them.
DdePublisher::DdePublisher(ItemTables& items, DdeSource& source)
{
    for (int unit = 1; unit <= 4; ++unit) {
        ItemTable& table = items[unit];
        const QString topic = table.topic();
        for (Item item : AllItems()) source.setItem(topic, ItemName(item), table.text(item));
        QObject::connect(&table, &ItemTable::textChanged, &table,
                         [&source, topic](Item item, const QString& text) {
                             source.setItem(topic, ItemName(item), text);
                         });
    }
}

}  // namespace grainlink
