#pragma once

#include "state/item_table.h"

#include <QObject>
#include <QStringList>

namespace grainlink::test {

// Every change of one unit's items, as "Name=text" and "Name#colour", in order.
class ItemLog : public QObject {
public:
    explicit ItemLog(ItemTable& table)
    {
        connect(&table, &ItemTable::textChanged, this, [this](Item item, const QString& text) {
            changes << ItemName(item) + u'=' + text;
        });
        connect(&table, &ItemTable::colourChanged, this, [this](Item item, Colour colour) {
            changes << ItemName(item) + u'#' + QString::number(colour);
        });
    }
    QStringList changes;
};

}  // namespace grainlink::test
