#include "server/ui/system_info_window.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace grainlink {
namespace {

// Room around the text for the margins and scroll bars, in characters and lines.
constexpr int kSpareColumns = 6;
constexpr int kSpareLines = 3;

}  // namespace

SystemInfoWindow::SystemInfoWindow(const QString& text, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_sysinfo"));
    setWindowTitle(QStringLiteral("System Information"));

    auto* view = new QPlainTextEdit(text, this);
    view->setObjectName(QStringLiteral("txt_sysinfo"));
    view->setAccessibleName(QStringLiteral("txt_sysinfo"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // All of the text at once where the screen allows.
    const QFontMetrics metrics(view->font());
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype columns = 0;
    for (const QString& line : lines) columns = std::max(columns, line.size());
    QSize size(
        metrics.horizontalAdvance(QLatin1Char('x')) * static_cast<int>(columns + kSpareColumns),
        metrics.lineSpacing() * static_cast<int>(lines.size() + kSpareLines));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 3 / 4);
    view->setMinimumSize(size);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy =
        buttons->addButton(QStringLiteral("&Copy to clipboard"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("cmd_copy"));
    connect(copy, &QPushButton::clicked, this,
            [text] { QGuiApplication::clipboard()->setText(text); });
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmd_close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(view);
    column->addWidget(buttons);
}

}  // namespace grainlink
