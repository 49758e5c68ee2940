#pragma once

#include "acquisition/comms_panel.h"

#include <QGroupBox>

class QLabel;
class QPlainTextEdit;

namespace grainlink {

// One unit's group of the communications panel, `frame_comms(n)`: the last framed message, the
// message line, the time of the last message and the message count.
class CommsFrame : public QGroupBox {
    Q_OBJECT

public:
    CommsFrame(int unit, QWidget* parent = nullptr);

    void setControlText(CommsControl control, const QString& text);

private:
    QPlainTextEdit* m_rx = nullptr;
    QLabel* m_msg = nullptr;
    QLabel* m_lastMsgTime = nullptr;
    QLabel* m_rxCount = nullptr;
};

}  // namespace grainlink
