#include "acquisition/side_file_report.h"

namespace grainlink {

SideFileWriter::Reporter MessageLineReporter(CommsPanel& panel, const Clock& clock,
                                             CycleReports& reports)
{
    return [&panel, &clock, &reports](int unit, const SideFileReport& report) {
        const QString text = report.text();
        panel.setText(CommsControl::lbl_msg, unit,
                      GeneralDateText(clock.now()) + QLatin1Char(' ') + text);
        qWarning("Unit %d: %s", unit, qUtf8Printable(text));
        reports.sideFileChanged(unit, report.path, report.reason);
    };
}

}  // namespace grainlink
