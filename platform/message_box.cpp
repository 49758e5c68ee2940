#include "platform/message_box.h"

#include "platform/stderr_log.h"

namespace grainlink {

void StderrMessageBox::show(const QString& title, const QString& text, MessageIcon icon)
{
    // A box interrupts the operator: only its information and questions are not troubles. The
    // boxes without an icon report configuration errors.
    LogPriority priority = LogPriority::Warning;
    if (icon == MessageIcon::Critical) priority = LogPriority::Error;
    if (icon == MessageIcon::Information || icon == MessageIcon::Question)
        priority = LogPriority::Info;
    LogToStderr(priority, title + QStringLiteral(": ") + text);
}

}  // namespace grainlink
