#pragma once

#include "config/options_form.h"
#include "platform/profile_file.h"
#include "platform/question_box.h"

#include <QMap>
#include <QStringList>

#include <deque>
#include <vector>

#include <gtest/gtest.h>

namespace grainlink::test {

// A profile in memory that records every write as "Section/Key=value", in order; names match
// without regard to case, as in the real file. Writes can be made to fail.
class RecordingProfile final : public ProfileFile {
public:
    QByteArray read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue, int capacity) const override
    {
        return values.value((section + '/' + key).toLower(), defaultValue).left(capacity - 1);
    }
    bool write(const QByteArray& section, const QByteArray& key, const QByteArray& value) override
    {
        writes << QString::fromLatin1(section + '/' + key + '=' + value);
        if (!failWrites) values.insert((section + '/' + key).toLower(), value);
        return !failWrites;
    }

    QMap<QByteArray, QByteArray> values;
    QStringList writes;
    bool failWrites = false;
};

// Answers questions from a script, in order, and records what was asked.
class ScriptedQuestionBox final : public QuestionBox {
public:
    struct Asked {
        QString title;
        QString text;
        MessageIcon icon;
        Answer defaultAnswer;
    };

    Answer ask(const QString& title, const QString& text, MessageIcon icon,
               Answer defaultAnswer) override
    {
        asked.push_back({title, text, icon, defaultAnswer});
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
