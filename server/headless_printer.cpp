#include "server/headless_printer.h"

#include "state/control_text.h"

namespace grainlink {
namespace {

QByteArray DropNotice(qint64 dropped)
{
    return QByteArrayLiteral("(") + QByteArray::number(dropped) +
           (dropped == 1 ? " line" : " lines") + " dropped: standard output was not read)\n";
}

}  // namespace

HeadlessPrinter::HeadlessPrinter(CommsPanel& panel, int fd, QObject* parent)
    : QObject(parent), m_output(fd, DropNotice)
{
    connect(&panel, &CommsPanel::textChanged, this,
            [this](CommsControl control, int unit, const QString& text) {
                m_output.writeLine(FormatLine(control, unit, text).toUtf8() + '\n');
            });
}

QString HeadlessPrinter::FormatLine(CommsControl control, int unit, const QString& text)
{
    return QStringLiteral("%1(%2) = %3")
        .arg(CommsControlName(control), QString::number(unit), EscapeControls(text));
}

}  // namespace grainlink
