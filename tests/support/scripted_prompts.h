#pragma once

#include "context/core/prompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <variant>

// Prompts for tests: answers come from a queue, everything shown is
// recorded. An unexpected or unanswered prompt fails the test.
class ScriptedPrompts : public Prompts {
public:
    struct Message {
        Icon icon;
        QString caption;
        QString text;
    };
    struct Question {
        enum Kind { Confirm, AskText, ChooseFile } kind;
        QString text; // the confirmation text, the prompt, or the dialog caption
        FileRequest request;
    };

    // Queue answers, in the order the prompts will come.
    void answerConfirm(bool yes) { m_answers.push_back(yes); }
    void answerText(std::optional<QString> text) { m_answers.push_back(TextAnswer{text.has_value(), text.value_or(QString())}); }
    void answerFile(std::optional<QString> file) { m_answers.push_back(FileAnswer{file.has_value(), file.value_or(QString())}); }

    void showMessage(Icon icon, const QString& caption, const QString& text) override;
    bool confirm(const QString& text) override;
    std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;

    std::vector<Message> messages;
    std::vector<Question> questions;
    // The texts of all messages shown, for compact expectations.
    QStringList messageTexts() const;
    // The texts of the Yes/No questions asked, in order.
    QStringList confirmations() const
    {
        QStringList texts;
        for (const Question& q : questions)
            if (q.kind == Question::Confirm)
                texts << q.text;
        return texts;
    }
    bool allAnswersUsed() const { return m_answers.empty(); }
    void clear()
    {
        messages.clear();
        questions.clear();
        m_answers.clear();
    }

private:
    struct TextAnswer {
        bool given;
        QString text;
    };
    struct FileAnswer {
        bool given;
        QString file;
    };
    using Answer = std::variant<bool, TextAnswer, FileAnswer>;
    std::deque<Answer> m_answers;
};
