#pragma once

#include "config/config_file.h"
#include "platform/message_box.h"
#include "platform/question_box.h"
#include "state/unit_state.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace grainlink {

class KeyWriter;

// What the options dialog shows, field by field, as the user has left it.
struct OptionsEntries {
    QString timeout;        // txt_timeout: how often a record is expected, in seconds
    QString bufferSize;     // txt_buffer_size
    int spinValue = 1;      // spn_units
    QString units;          // lbl_units: the unit count that is saved
    bool log = false;       // chk_log
    QString logFile;        // txt_file_name
    bool rawLog = false;    // chkLogRawData
    bool demo = false;      // chk_demo
    bool security = false;  // chkSecurityActive
    QString password;       // txtPassword
};

// What the options touch that other parts of the program own. Every member must be set.
struct OptionsCallbacks {
    std::function<void(const QString& text)> setDemoLabel;  // the main window's demo label
    std::function<void(int unit)> configureView;            // a unit's chart and grid set-up
    std::function<void(int unit)> createMissingLogFile;     // a unit's data log with its header
    std::function<void()> refreshCommsPanel;                // run once the dialog has closed
};

// The main window's demonstration label while demonstration mode is on or off.
QString DemoLabelText(bool demoMode);

// The options dialog without its widgets: the fields as they open, the unit count and port
// set-up rules, and the Close command. Close checks the fields in a fixed order and stops at the
// first problem with its message, leaving the fields as typed; the accepted timeout is saved and
// applied even when a later check stops. Only a complete Close writes the [Options] keys (in a
// fixed order), applies them, hands on to the callbacks and asks for the ports to be reopened.
// Cancel (the dialog closed any other way) saves nothing more, gives back the unit count the
// dialog opened with and has the ports reopened, so acquisition resumes either way.
class OptionsForm {
public:
    OptionsForm(SharedState& state, ConfigFile& config, MessageBox& messages,
                QuestionBox& questions);

    OptionsEntries& entries() { return m_entries; }
    bool unitsChanged() const { return m_unitsChanged; }

    // spn_units moved to value. The first change asks before the count follows it; the shown
    // count and NumUnits change at once, and the port set-up must be visited before Close.
    void SpinChanged(int value);
    // Set-up Com Ports: the ports are reopened after it, and it counts as visited however the
    // port set-up dialog was closed.
    void PortSetupOpening();
    void PortSetupClosed();
    // A file chosen with Browse. Refused with a message when its folder does not exist or its
    // name is too long to be read back from the configuration file.
    bool ChooseLogFile(const QString& path);

    // The Close command; true when the dialog may close.
    bool Close(const OptionsCallbacks& callbacks);
    void Cancel();

private:
    bool AcceptTimeout(KeyWriter& keys);
    bool AcceptBufferSize();
    bool AcceptPassword(QByteArray& stored);
    void Save(KeyWriter& keys, const QByteArray& storedPassword);
    void Apply(const OptionsCallbacks& callbacks);
    void Tell(const QString& text, MessageIcon icon);

    SharedState& m_state;
    ConfigFile& m_config;
    MessageBox& m_messages;
    QuestionBox& m_questions;
    OptionsEntries m_entries;
    int16_t m_unitsAtOpening = 0;
    bool m_unitsChanged = false;
};

}  // namespace grainlink
