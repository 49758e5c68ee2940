#include "acquisition/side_file_report.h"

namespace grainlink {

SideFileWriter::Reporter MessageLineReporter(CommsPanel& panel, const Clock& clock)
{
    return [&panel, &clock](int unit, const QString& text) {
        panel.setText(CommsControl::lbl_msg, unit,
                      GeneralDateText(clock.now()) + QLatin1Char(' ') + text);
        qWarning("Unit %d: %s", unit, qUtf8Printable(text));
    };
}

}  // namespace grainlink
