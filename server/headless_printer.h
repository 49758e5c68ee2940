#pragma once

#include "acquisition/comms_panel.h"
#include "platform/nonblocking_output.h"

#include <QObject>

namespace grainlink {

// The communications panel of a server without a window: every change of a panel text becomes
// one line on the output, such as "lbl_rx_cnt(1) = 1". Control characters inside the text (device
// bytes, names from the configuration) are written as \r, \n or \xNN, so that each change stays
// on one line and nothing reaches the reader's terminal as a command. The output never holds up
// the caller: a reader that falls behind loses lines, and is told how many.
class HeadlessPrinter : public QObject {
    Q_OBJECT

public:
    HeadlessPrinter(CommsPanel& panel, int fd, QObject* parent = nullptr);

    static QString FormatLine(CommsControl control, int unit, const QString& text);

private:
    NonBlockingOutput m_output;
};

}  // namespace grainlink
