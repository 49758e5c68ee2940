#include "server/headless_printer.h"

namespace grainlink {

HeadlessPrinter::HeadlessPrinter(CommsPanel& panel, std::FILE* out, QObject* parent)
    : QObject(parent), m_out(out)
{
    connect(&panel, &CommsPanel::textChanged, this,
            [this](CommsControl control, int unit, const QString& text) {
                const QByteArray line = FormatLine(control, unit, text).toUtf8() + '\n';
                std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_out);
                std::fflush(m_out);
            });
}

QString HeadlessPrinter::FormatLine(CommsControl control, int unit, const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("%1(%2) = %3").arg(CommsControlName(control)).arg(unit).arg(escaped);
}

}  // namespace grainlink
