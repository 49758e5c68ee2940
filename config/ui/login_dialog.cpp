#include "config/ui/login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/access_levels.h"
#include "platform/message_box.h"
#include "widgets/dialog_controls.h"
#include "widgets/twips.h"

namespace grainlink {

LoginDialog::LoginDialog(SharedState& state, MessageBox& messages, QWidget* parent)
    : QDialog(parent), m_state(state), m_messages(messages)
{
    MakeFixedDialog(this, "frm_Login", QStringLiteral("Login"));
    SetFixedTwipsSize(this, 3750, 1620);

    QLabel* caption = AddCaption(this, QStringLiteral("lblLabels"), QStringLiteral("&Password:"),
                                 QRect(105, 255, 1080, 270));
    m_password = new QLineEdit(this);
    MaskAsPassword(m_password);
    PlaceUncaptioned(m_password, QStringLiteral("txtPassword"), QRect(1290, 225, 2325, 345));
    caption->setBuddy(m_password);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    Place(ok, QStringLiteral("cmdOK"), QRect(495, 1020, 1140, 390));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Place(cancel, QStringLiteral("cmdCancel"), QRect(2100, 1020, 1140, 390));
    cancel->setAutoDefault(false);

    connect(ok, &QPushButton::clicked, this, &LoginDialog::OkClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_password->setFocus();
}

void LoginDialog::OkClicked()
{
    if (LogOn(m_state, m_password->text())) {
        accept();
        return;
    }
    m_messages.show(QStringLiteral("Login"), QStringLiteral("Invalid Password, try again!"),
                    MessageIcon::None);
    m_password->setFocus();
    m_password->selectAll();
}

}  // namespace grainlink
