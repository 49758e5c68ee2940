#pragma once

#include <QDialog>

#include "state/unit_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace grainlink {

class CaptionedFrame;
class ConfigFile;
class MessageBox;

// frm_com "Com port set-up": one panel per unit with its Enabled box, port number and name, the
// units above NumUnits hidden and the dialog sized to the panels shown. Beside each port number
// it shows the device that number stands for on this machine ([Serial] Port<n>). Close saves
// valid choices (see ClosePortSetup); Escape and the title-bar close box leave everything as it
// was. It opens no port itself.
class PortSetupDialog : public QDialog {
    Q_OBJECT

public:
    PortSetupDialog(SharedState& state, ConfigFile& config, MessageBox& messages,
                    QWidget* parent = nullptr);

private:
    struct Panel {
        CaptionedFrame* frame = nullptr;
        QCheckBox* enabled = nullptr;
        QComboBox* port = nullptr;
        QLabel* device = nullptr;
        QLineEdit* name = nullptr;
    };

    void BuildPanel(int unit, QWidget* frameCom);
    void ShowDevice(int unit);
    void CloseCommand();

    SharedState& m_state;
    ConfigFile& m_config;
    MessageBox& m_messages;
    PerUnit<Panel> m_panels;
};

}  // namespace grainlink
