#pragma once

#include <QFrame>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace grainlink {

class MessageBox;

// frm_Splash: the first window, naming the product, its version and the platforms of this
// build. Loading it loads the picture (see LoadProductPicture, which may tell the user that
// Splash.bmp is missing); once it is loaded the timer Tmr_tick runs, and its first tick, 4000 ms
// later, shows the main window with its start-up and closes the splash window.
class SplashWindow : public QFrame {
    Q_OBJECT

public:
    static constexpr int kShowMainAfterMs = 4000;

    SplashWindow(const QString& productName, const QStringList& pictureFolders,
                 MessageBox& messages, std::function<void()> showMainWindow,
                 QWidget* parent = nullptr);

    // Shown in the middle of the primary screen.
    void showCentred();

private:
    void onTick();

    std::function<void()> m_showMainWindow;
    QTimer* m_tick = nullptr;
};

}  // namespace grainlink
