#pragma once

#include <QString>

namespace grainlink {

enum class MessageIcon { None, Information, Exclamation, Question, Critical };

// A message with one OK button, shown to the user and acknowledged before the caller goes on.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString& title, const QString& text, MessageIcon icon) = 0;
};

// Headless form: one line on standard error (with its priority in the journal), answered at once.
class StderrMessageBox final : public MessageBox {
public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
};

}  // namespace grainlink
