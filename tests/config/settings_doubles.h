#pragma once

#include "config/options_form.h"
#include "platform/question_box.h"
#include "tests/support/recording_profile.h"

#include <QStringList>

#include <deque>
#include <vector>

#include <gtest/gtest.h>

namespace grainlink::test {

// Answers questions from a script, in order, and records what was asked.
class ScriptedQuestionBox final : public QuestionBox {
public:
    struct Asked {
        QString title;
        Answer defaultAnswer;
    };

    Answer ask(const QString& title, const QString& text, MessageIcon /*icon*/,
               Answer defaultAnswer) override
    {
        asked.push_back({title, defaultAnswer});
        if (answers.empty()) ADD_FAILURE() << "unexpected question: " << text.toStdString();
        const Answer answer = answers.empty() ? Answer::No : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }

    std::deque<Answer> answers;
    std::vector<Asked> asked;
};

// Options callbacks that record what they were asked, as "view:2" and so on, in order.
struct RecordingOptionsCallbacks {
    QStringList calls;
    OptionsCallbacks callbacks{
        [this](const QString& text) { calls << QStringLiteral("label:") + text; },
        [this](int unit) { calls << QStringLiteral("view:%1").arg(unit); },
        [this](int unit) { calls << QStringLiteral("log:%1").arg(unit); },
        [this] { calls << QStringLiteral("refresh"); }};
};

}  // namespace grainlink::test
