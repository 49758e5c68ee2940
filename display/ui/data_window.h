#pragma once

#include <QMainWindow>

#include "display/ui/data_window_panels.h"

class QAction;
class QMenu;

namespace grainlink {

class ConfigFile;
class FlowFactorBox;
class MessageBox;
struct SharedState;

// frm_data<n>: the live data window of one unit, a view over the unit's item table (whatever the
// decoder, the invalid marking or the demonstration data write there shows at once). It is
// created hidden and never destroyed while the program runs: closing only hides it, and only
// once the flow factor in it, when shown, is valid. Each activation reloads the stored flow
// factor, renews the caption, re-applies the Standard or Advanced view and shows the Display menu
// only to a service user (access level 2), which is also re-checked whenever the window gets the
// focus.
class DataWindow : public QMainWindow {
    Q_OBJECT

public:
    // Design height of the client area; its width follows the view.
    static constexpr int kClientHeightTwips = 6420;

    DataWindow(ItemTable& items, SharedState& state, ConfigFile& config, MessageBox& messages,
               const QString& mqttTopicRoot, QWidget* parent = nullptr);

    int unit() const;
    // Stores a numeric flow factor and answers true; otherwise tells the user and answers false.
    bool ValidateMe();
    // Whether the window may hide: the flow factor is validated (and stored) only while its box
    // is in front of the user (window shown, Advanced view). A factor the user cannot see or
    // reach, such as an unusable stored one in the Standard view, never keeps a window open.
    bool ReadyToClose();
    // The Close command: hides the window when it is ready to close.
    void CloseCommand();
    // Places the frames for the checked view and sizes the window to them.
    void ApplyLayout();

signals:
    // The Close all command, which concerns every data window.
    void closeAllRequested();
    // The Tile command, which arranges every unit window.
    void tileRequested();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void Activate();
    void ShowDisplayMenuByAccess();

    ItemTable& m_items;
    const SharedState& m_state;
    QWidget* m_client = nullptr;
    FlowFactorBox* m_flowFactor = nullptr;
    DataWindowPanels m_panels;
    QMenu* m_displayMenu = nullptr;
    QAction* m_standard = nullptr;
    QAction* m_advanced = nullptr;
    bool m_coveredByDialog = false;
};

}  // namespace grainlink
