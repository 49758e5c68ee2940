#pragma once

#include <QString>

namespace grainlink {

// Publishes named values to other programs, grouped in topics ("UNIT1" .. "UNIT4").
// A client can read each item's current value at any time and be told of every change.
class DdeSource {
public:
    virtual ~DdeSource() = default;

    // The item's current text. The source keeps it, so that clients that connect later
    // still read it.
    virtual void setItem(const QString& topic, const QString& item, const QString& text) = 0;
};

}  // namespace grainlink
