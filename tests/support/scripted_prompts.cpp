#include "scripted_prompts.h"

#include <gtest/gtest.h>

void ScriptedPrompts::showMessage(Icon icon, const QString& caption, const QString& text)
{
    messages.push_back({icon, caption, text});
}

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    return out;
}

bool ScriptedPrompts::confirm(const QString& text)
{
    questions.push_back({Question::Confirm, text, {}});
    if (m_answers.empty() || !std::holds_alternative<bool>(m_answers.front())) {
        ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
        return false;
    }
    const bool yes = std::get<bool>(m_answers.front());
    m_answers.pop_front();
    return yes;
}

std::optional<QString> ScriptedPrompts::askText(const QString& caption, const QString& prompt, const QString&)
{
    questions.push_back({Question::AskText, prompt, {caption, {}, {}}});
    if (m_answers.empty() || !std::holds_alternative<TextAnswer>(m_answers.front())) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    const TextAnswer answer = std::get<TextAnswer>(m_answers.front());
    m_answers.pop_front();
    if (!answer.given)
        return std::nullopt;
    return answer.text;
}

std::optional<QString> ScriptedPrompts::chooseFile(const FileRequest& request)
{
    questions.push_back({Question::ChooseFile, request.caption, request});
    if (m_answers.empty() || !std::holds_alternative<FileAnswer>(m_answers.front())) {
        ADD_FAILURE() << "unexpected file dialog: " << request.caption.toStdString();
        return std::nullopt;
    }
    const FileAnswer answer = std::get<FileAnswer>(m_answers.front());
    m_answers.pop_front();
    if (!answer.given)
        return std::nullopt;
    return answer.file;
}
