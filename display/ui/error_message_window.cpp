#include "display/ui/error_message_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kWidthTwips = 7215;
constexpr int kHeightTwips = 1935;

}  // namespace

ErrorMessageWindow::ErrorMessageWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frm_ErrMsg"));
    setWindowTitle(QStringLiteral("Error Message"));
    SetFixedTwipsSize(this, kWidthTwips, kHeightTwips);

    auto* label = new QLabel(QString::fromLatin1(kPortErrorText), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    SetTwipsGeometry(label, QRect(360, 480, 6495, 255));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    SetTwipsGeometry(ok, QRect(2520, 1200, 2175, 375));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

void ErrorMessageWindow::showPortError(const QString& /*detail*/)
{
    // Someone typing a password is not interrupted.
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frm_Login") && window->isVisible()) return;
    show();
    raise();
    activateWindow();
}

}  // namespace grainlink
