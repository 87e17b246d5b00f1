#pragma once

#include "context/core/prompts.h"

#include <QStringList>

// Prompts that pass everything on, except that between startGathering()
// and takeGathered() the messages are kept instead of shown. Shutdown uses
// it: several failures on a full disk make one message, not a row of modal
// boxes that each hold the process until answered.
class GatheringPrompts : public Prompts {
public:
    explicit GatheringPrompts(Prompts& shown)
        : m_shown(shown)
    {
    }

    void startGathering() { m_gathering = true; }
    // The messages kept since startGathering, as one text with their
    // reasons in Russian (empty when none); passing on resumes.
    QString takeGathered();
    // Where messages go when they are not kept.
    Prompts& shown() { return m_shown; }

    void showMessage(Icon icon, const QString& caption, const QString& text) override;
    bool confirm(const QString& text) override { return m_shown.confirm(text); }
    std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) override
    {
        return m_shown.askText(caption, prompt, initial);
    }
    std::optional<QString> chooseFile(const FileRequest& request) override { return m_shown.chooseFile(request); }

private:
    Prompts& m_shown;
    bool m_gathering = false;
    QStringList m_gathered;
};
