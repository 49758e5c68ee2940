#include "server/ui/close_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "state/unit_state.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kLabelWidthTwips = 5400;

}  // namespace

CloseWindow::CloseWindow(const QString& hardwareName, std::function<void()> shutdown,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frm_close"));
    setWindowTitle(QStringLiteral("Close program ?"));

    auto* label = new QLabel(
        QStringLiteral("Closing this program will stop all communications to the ") + hardwareName +
            QStringLiteral("(s). Any programs connected to this program via MQTT will also lose "
                           "data - are you sure you want to close the program ?"),
        this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFixedWidth(TwipsToPixels(kLabelWidthTwips));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* yes = buttons->addButton(QStringLiteral("Yes"), QDialogButtonBox::AcceptRole);
    yes->setObjectName(QStringLiteral("OKButton"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    // Enter must not stop the server by accident.
    yes->setAutoDefault(false);
    cancel->setDefault(true);
    // The shutdown ends the program; should it return, the window closes with it.
    connect(yes, &QPushButton::clicked, this, [this, shutdown = std::move(shutdown)] {
        if (shutdown) shutdown();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    column->addWidget(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void CloseWindow::showWithoutWaiting()
{
    show();
    raise();
    activateWindow();
}

void CloseWindow::confirmAndWait()
{
    // Already up without waiting: it is shown again as the window to answer first.
    if (isVisible()) hide();
    exec();
}

void RefuseCloseRequest(const SharedState& state, CloseWindow& confirmation, MessageBox& messages)
{
    if (state.LoggedIn)
        confirmation.confirmAndWait();
    else
        messages.show(state.ProductName, QStringLiteral("You must logon to close the program"),
                      MessageIcon::Information);
}

}  // namespace grainlink
