#include "app/ui/application.h"

#include "app/core/prompts.h"

#include <cstdio>

JournalApplication::JournalApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool JournalApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_prompts)
            reportError(*m_prompts, e);
        else
            std::fprintf(stderr, "%s\n", e.what());
    }
    return false;
}
