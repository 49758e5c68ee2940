#pragma once

#include <QDialog>

class QLineEdit;

namespace grainlink {

class MessageBox;
struct SharedState;

// frm_Login "Login": asks for a password and logs on at the level it gives. A wrong password is
// reported and selected for retyping; the dialog stays open, with no limit on attempts. Cancel,
// Escape and the title-bar close box leave the access state as it was.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    LoginDialog(SharedState& state, MessageBox& messages, QWidget* parent = nullptr);

private:
    void OkClicked();

    SharedState& m_state;
    MessageBox& m_messages;
    QLineEdit* m_password = nullptr;
};

}  // namespace grainlink
