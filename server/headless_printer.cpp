#include "server/headless_printer.h"

namespace grainlink {
namespace {

// C0 controls, DEL and the C1 controls (which some terminals obey too).
bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

QByteArray DropNotice(qint64 dropped)
{
    return QByteArrayLiteral("(") + QByteArray::number(dropped) +
           (dropped == 1 ? " line" : " lines") + " dropped: standard output was not read)\n";
}

}  // namespace

QString EscapeControls(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r')
            escaped += QLatin1String("\\r");
        else if (c == u'\n')
            escaped += QLatin1String("\\n");
        else if (IsControl(c.unicode()))
            escaped += QLatin1String("\\x") +
                       QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            escaped += c;
    }
    return escaped;
}

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
