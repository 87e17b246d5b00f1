#include "context/core/journal.h"

#include "context/core/data_safety.h"
#include "context/core/prompts.h"

#include "db/core/reasons.h"

#include <QFile>

Journal::Journal(QString appDir)
    : m_appDir(std::move(appDir))
    , m_db(std::make_unique<TSQLiteDatabase>())
{
    while (m_appDir.size() > 1 && (m_appDir.endsWith(u'/') || m_appDir.endsWith(u'\\')))
        m_appDir.chop(1);
}

Journal::~Journal() = default;

void Journal::openDatabase()
{
    const QString file = path(QStringLiteral("datamoney.db"));
    if (QFile::exists(file))
        m_db = std::make_unique<TSQLiteDatabase>(file);
}

void reportUpdateProblem(Journal& journal, Prompts& prompts, const QString& problem)
{
    if (!problem.isEmpty()) {
        if (journal.shownUpdateProblems.contains(problem))
            return;
        journal.shownUpdateProblems.insert(problem);
    }
    const QString caption = QStringLiteral("Ошибка - Во время обновление данных");
    prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                        problem.isEmpty() ? caption : caption + u'\n' + withRussianReasons(problem));
}
