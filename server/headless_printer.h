#pragma once

#include "acquisition/comms_panel.h"

#include <QObject>

#include <cstdio>

namespace grainlink {

// The communications panel of a server without a window: every change of a panel text becomes
// one line on the output, such as "lbl_rx_cnt(1) = 1", with CR and LF inside the text written
// as \r and \n so that each change stays on one line.
class HeadlessPrinter : public QObject {
    Q_OBJECT

public:
    HeadlessPrinter(CommsPanel& panel, std::FILE* out, QObject* parent = nullptr);

    static QString FormatLine(CommsControl control, int unit, const QString& text);

private:
    std::FILE* m_out;
};

}  // namespace grainlink
