#pragma once

#include <QLineEdit>

#include "state/item_table.h"

namespace grainlink {

class ConfigFile;
class MessageBox;
struct SharedState;

// The flow adjustment factor box of one unit's data window. Its text is the unit's
// txt_flow_factor item (the decoder and the publishers read the item), kept equal in both
// directions. Only the keys below change it, so a factor can be corrected only by clearing it
// and typing it again:
//   Backspace      empties the box and shows the editing colours (white on blue);
//   0..9 and "."   are appended at the end, wherever the caret or selection is, up to the nine
//                  characters the setting can hold;
//   Enter          stores a numeric text under the unit's FlowFactor key and shows the saved
//                  colours (black on white); any other text gives "invalid data".
// Every other key is dropped, and paste, drop, input methods and the context menu are shut off.
class FlowFactorBox : public QLineEdit {
    Q_OBJECT

public:
    FlowFactorBox(ItemTable& items, ConfigFile& config, MessageBox& messages,
                  const SharedState& state, QWidget* parent);

    // Loads the stored factor (the first-three-characters rule), dropping any unconfirmed edit.
    void Reload();
    // Stores the text when it is numeric (even when unchanged); otherwise tells the user that the
    // factor must be entered again. True when the text is numeric.
    bool ValidateMe();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetFactorText(const QString& text);
    void Confirm();
    // Writes the factor key; says so when it could not be stored.
    bool Store();
    void ShowColours(bool editing);
    void Tell(const QString& text);

    ItemTable& m_items;
    ConfigFile& m_config;
    MessageBox& m_messages;
    const SharedState& m_state;
};

}  // namespace grainlink
