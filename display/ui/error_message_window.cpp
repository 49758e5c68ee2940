#include "display/ui/error_message_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "platform/clock.h"
#include "widgets/dialog_controls.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

// The window is taller than designed by the detail line's four lines between the fixed text
// and the OK button.
constexpr int kDetailTop = 840;
constexpr int kDetailHeight = 960;
constexpr int kWidthTwips = 7215;
constexpr int kHeightTwips = 1935 + kDetailHeight;
constexpr int kOkTop = 1200 + kDetailHeight;

}  // namespace

ErrorMessageWindow::ErrorMessageWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frm_ErrMsg"));
    setWindowTitle(QStringLiteral("Error Message"));
    UseDesignFont(this);
    SetFixedTwipsSize(this, kWidthTwips, kHeightTwips);

    auto* label = new QLabel(QString::fromLatin1(kPortErrorText), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    SetTwipsGeometry(label, QRect(360, 480, 6495, 255));

    m_detail = new QLabel(this);
    m_detail->setObjectName(QStringLiteral("lbl_detail"));
    m_detail->setAccessibleName(m_detail->objectName());
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SetTwipsGeometry(m_detail, QRect(360, kDetailTop, 6495, kDetailHeight));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    SetTwipsGeometry(ok, QRect(2520, kOkTop, 2175, 375));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

void ErrorMessageWindow::showPortError(const PortErrorReport& report)
{
    m_latest = report;
    m_recovered = QDateTime();
    ShowDetail();
    // Someone typing a password is not interrupted.
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frm_Login") && window->isVisible()) return;
    show();
    raise();
    activateWindow();
}

void ErrorMessageWindow::portRecovered(int unit, const QDateTime& when)
{
    if (unit != m_latest.unit || m_recovered.isValid()) return;
    m_recovered = when;
    ShowDetail();
}

void ErrorMessageWindow::ShowDetail()
{
    const QString device =
        m_latest.device.isEmpty() ? QStringLiteral("no device") : m_latest.device;
    QString text = QStringLiteral("Unit %1 on %2, %3: %4")
                       .arg(m_latest.unit)
                       .arg(device, GeneralDateText(m_latest.when), m_latest.reason);
    if (m_recovered.isValid())
        text += QStringLiteral(" - open again since %1").arg(GeneralDateText(m_recovered));
    m_detail->setText(text);
    m_detail->setAccessibleDescription(text);
    m_detail->setToolTip(text);
}

}  // namespace grainlink
