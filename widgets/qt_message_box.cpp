#include "widgets/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace grainlink {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void QtMessageBox::show(const QString& title, const QString& text, MessageIcon icon)
{
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace grainlink
