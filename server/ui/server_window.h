#pragma once

#include "acquisition/comms_panel.h"

#include <QMainWindow>

#include <array>

class QLabel;

namespace grainlink {

class CommsFrame;

// The main window `frm_server`: the communications panel of units 1..4 and the demonstration
// label under it. It only shows the panel model; the acquisition runs without it, and the menu
// bar is filled by the main menu. Its own close request is never granted: it is handed on as
// closeRequested, because stopping the server is a decision of its own.
// The window ends below the last unit shown whenever units are shown or hidden and when it is
// shown; on a screen too small for that it is as tall as the screen allows and the panel scrolls.
class ServerWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ServerWindow(CommsPanel& panel, QWidget* parent = nullptr);

    // lblDemoModeActive: "*** Demo Mode Active ***" or empty.
    void setDemoModeText(const QString& text);

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showUnit(int unit, bool shown);
    void FitHeightToUnits();

    QWidget* m_panel = nullptr;
    std::array<CommsFrame*, 4> m_frames{};
    QLabel* m_demoMode = nullptr;
};

}  // namespace grainlink
