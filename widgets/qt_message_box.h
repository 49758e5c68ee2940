#pragma once

#include "platform/message_box.h"

#include <QMessageBox>

namespace grainlink {

// The Qt icon that stands for a message icon.
QMessageBox::Icon ToQtIcon(MessageIcon icon);

// The message box as the user sees it: a modal QMessageBox with one OK button and the icon
// asked for, in front of the window the user is working in.
class QtMessageBox final : public MessageBox {
public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
};

}  // namespace grainlink
