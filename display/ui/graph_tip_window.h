#pragma once

#include <QDialog>

namespace grainlink {

class ConfigFile;

// frm_graph_tip, "Tip of the Day": shown modally before table windows open until the user ticks
// "Dont show again.". Every change of that box is stored at once ([Options] "Graph tip"), so the
// box's last state counts however the window is closed; OK closes it, and each showing is a new
// window that starts unticked.
class GraphTipWindow : public QDialog {
    Q_OBJECT

public:
    explicit GraphTipWindow(ConfigFile& config, QWidget* parent = nullptr);
};

// Shows the tip modally when [Options] "Graph tip" (read with `defaultValue`) asks for it.
void ShowGraphTipIfWanted(ConfigFile& config, const char* defaultValue,
                          QWidget* parent = nullptr);

}  // namespace grainlink
