#pragma once

#include "platform/message_box.h"

#include <QString>

namespace grainlink {

enum class Answer { Yes, No };

// A question with Yes and No buttons, answered by the user before the caller goes on. The default
// answer is the one Enter gives, so a question whose Yes loses data can default to No.
class QuestionBox {
public:
    virtual ~QuestionBox() = default;
    virtual Answer ask(const QString& title, const QString& text, MessageIcon icon,
                       Answer defaultAnswer) = 0;
};

}  // namespace grainlink
