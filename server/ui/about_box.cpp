#include "server/ui/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <exception>

#include "platform/message_box.h"
#include "server/build_info.h"
#include "server/ui/product_labels.h"
#include "server/ui/product_picture.h"
#include "server/ui/system_info_window.h"

namespace grainlink {
namespace {

constexpr int kTextWidth = 320;

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

AboutBox::AboutBox(const QString& productName, const QStringList& pictureFolders,
                   MessageBox& messages, std::function<QString()> systemInformation,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_productName(productName),
      m_messages(messages),
      m_systemInformation(std::move(systemInformation))
{
    setObjectName(QStringLiteral("frm_help"));
    setWindowTitle(QStringLiteral("Help about"));

    const QPixmap picture = LoadProductPicture(pictureFolders, messages, productName);
    QLabel* notice = MakeProductLabel(
        "lblNotice",
        QStringLiteral("Stopping this program ends the data flow from every unit to every "
                       "program connected to it. Close it only through its Close command."),
        this);
    notice->setWordWrap(true);
    notice->setFixedWidth(kTextWidth);

    QPushButton* ok = MakeButton("cmdOK", QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* sysInfo = MakeButton("cmdSysInfo", QStringLiteral("&System Info..."), this);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(18);
    grid->addWidget(MakePictureLabel("Image1", picture, this), 0, 0, 4, 1);
    grid->addWidget(MakeProductHeading("lblTitle", productName, this), 0, 1, 1, 2);
    grid->addWidget(MakeProductLabel("lblVersion", VersionText(), this), 1, 1, 1, 2);
    grid->addWidget(notice, 2, 1, 1, 2, Qt::AlignTop);
    grid->setRowStretch(2, 1);
    grid->addWidget(ok, 3, 2);
    grid->addWidget(sysInfo, 4, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::StartSysInfo()
{
    QString text;
    try {
        if (m_systemInformation) text = m_systemInformation();
    } catch (const std::exception&) {
        text.clear();
    }
    if (text.isEmpty()) {
        m_messages.show(m_productName,
                        QStringLiteral("System Information Is Unavailable At This Time"),
                        MessageIcon::None);
        return;
    }
    SystemInfoWindow window(text, this);
    window.exec();
}

}  // namespace grainlink
