#pragma once

#include "platform/question_box.h"

namespace grainlink {

// The question as the user sees it: a modal QMessageBox with Yes and No, the icon and default
// button asked for, in front of the window the user is working in.
class QtQuestionBox final : public QuestionBox {
public:
    Answer ask(const QString& title, const QString& text, MessageIcon icon,
               Answer defaultAnswer) override;
};

}  // namespace grainlink
