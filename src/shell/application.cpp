#include "shell/application.h"

#include "context/core/prompts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

bool installQtTranslation(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    // qtbase holds the texts of the widgets and dialogs the journal uses.
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}
