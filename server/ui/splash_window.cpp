#include "server/ui/splash_window.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "server/build_info.h"
#include "server/ui/product_labels.h"
#include "server/ui/product_picture.h"

namespace grainlink {

SplashWindow::SplashWindow(const QString& productName, const QStringList& pictureFolders,
                           MessageBox& messages, std::function<void()> showMainWindow,
                           QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_showMainWindow(std::move(showMainWindow))
{
    setObjectName(QStringLiteral("frm_Splash"));
    setWindowTitle(productName);
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setLineWidth(2);

    const QPixmap picture = LoadProductPicture(pictureFolders, messages, productName);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 24, 18);
    grid->setHorizontalSpacing(24);
    grid->addWidget(MakePictureLabel("img_pic", picture, this), 0, 0, 5, 1);
    grid->addWidget(MakeProductHeading("lblCompanyProduct", productName, this), 0, 1);
    grid->addWidget(MakeProductLabel("lblVersion", VersionText(), this), 1, 1);
    grid->addWidget(
        MakeProductLabel("lblPlatform(1)", QStringLiteral("Built for ") + BuiltForPlatform(), this),
        2, 1);
    grid->addWidget(MakeProductLabel("lblPlatform(2)",
                                     QStringLiteral("Running on ") + RunningOnPlatform(), this),
                    3, 1);
    grid->setRowStretch(4, 1);
    grid->setColumnMinimumWidth(1, 300);

    m_tick = new QTimer(this);
    m_tick->setObjectName(QStringLiteral("Tmr_tick"));
    m_tick->setInterval(kShowMainAfterMs);
    connect(m_tick, &QTimer::timeout, this, &SplashWindow::onTick);
    m_tick->start();
}

void SplashWindow::showCentred()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
}

void SplashWindow::onTick()
{
    m_tick->stop();
    if (m_showMainWindow) m_showMainWindow();
    close();
}

}  // namespace grainlink
