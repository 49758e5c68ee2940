#include "widgets/qt_question_box.h"

#include <QApplication>

#include "widgets/qt_message_box.h"

namespace grainlink {

Answer QtQuestionBox::ask(const QString& title, const QString& text, MessageIcon icon,
                          Answer defaultAnswer)
{
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

}  // namespace grainlink
