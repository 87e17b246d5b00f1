#include "context/core/gathering_prompts.h"

#include "db/core/reasons.h"

void GatheringPrompts::showMessage(Icon icon, const QString& caption, const QString& text)
{
    if (!m_gathering) {
        m_shown.showMessage(icon, caption, text);
        return;
    }
    m_gathered << withRussianReasons(text);
}

QString GatheringPrompts::takeGathered()
{
    m_gathering = false;
    const QString text = m_gathered.join(QStringLiteral("\n\n"));
    m_gathered.clear();
    return text;
}
