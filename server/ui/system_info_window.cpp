#include "server/ui/system_info_window.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace grainlink {
namespace {

constexpr int kColumns = 96;
constexpr int kLines = 40;

}  // namespace

SystemInfoWindow::SystemInfoWindow(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_sysinfo"));
    setWindowTitle(QStringLiteral("System Information"));

    auto* view = new QPlainTextEdit(text, this);
    view->setObjectName(QStringLiteral("txt_sysinfo"));
    view->setAccessibleName(QStringLiteral("txt_sysinfo"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(view->font());
    view->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * kColumns,
                         metrics.lineSpacing() * kLines);

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
