#pragma once

#include <QDialog>

#include "config/options_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace grainlink {

class SpinButton;

// frm_options "Options": the widgets over an OptionsForm. Its Close command saves and closes
// only when every field is valid; Escape and the title-bar close box cancel (see
// OptionsForm::Cancel). Set-up Com Ports opens the port set-up dialog modally; Browse asks for
// the log file with a save-file dialog.
class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(SharedState& state, ConfigFile& config, MessageBox& messages,
                  QuestionBox& questions, OptionsCallbacks callbacks, QWidget* parent = nullptr);

    void reject() override;

private:
    void BuildFields(QWidget* client, const QString& hardwareName);
    void ShowFields();
    void ReadFields();
    void UnitsChanged(int value);
    void SetUpPorts();
    void Browse();
    void CloseCommand();

    SharedState& m_state;
    ConfigFile& m_config;
    MessageBox& m_messages;
    OptionsForm m_form;
    OptionsCallbacks m_callbacks;

    QLineEdit* m_timeout = nullptr;
    QLineEdit* m_bufferSize = nullptr;
    SpinButton* m_units = nullptr;
    QLabel* m_unitsShown = nullptr;
    QCheckBox* m_log = nullptr;
    QLabel* m_fileName = nullptr;
    QCheckBox* m_rawLog = nullptr;
    QCheckBox* m_demo = nullptr;
    QCheckBox* m_security = nullptr;
    QLineEdit* m_password = nullptr;
};

}  // namespace grainlink
