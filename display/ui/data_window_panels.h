#pragma once

#include "state/item_table.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace grainlink {

class CaptionedFrame;

// The four frames of a unit data window in their design places (twips), filled with the
// item-name captions and the value labels bound to the unit's item table, plus the notes and the
// help text that names the unit's MQTT topic under `mqttTopicRoot`. The frames' left edges and
// the help label's width are the view layout's to set.
struct DataWindowPanels {
    CaptionedFrame* system = nullptr;
    CaptionedFrame* raw = nullptr;
    CaptionedFrame* sample = nullptr;
    CaptionedFrame* diagnostic = nullptr;
    QLabel* help = nullptr;
};

// Builds the panels on the window's client area; the flow factor box is placed in the raw frame.
DataWindowPanels BuildDataWindowPanels(QWidget* client, ItemTable& items, QLineEdit* flowFactor,
                                       const QString& mqttTopicRoot);

}  // namespace grainlink
