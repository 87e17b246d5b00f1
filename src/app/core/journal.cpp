#include "app/core/journal.h"

#include "app/core/data_safety.h"
#include "app/core/prompts.h"

#include <QFile>

Journal::Journal(QString appDir)
    : m_appDir(std::move(appDir))
    , m_db(std::make_unique<TSQLiteDatabase>())
{
    while (m_appDir.size() > 1 && (m_appDir.endsWith(u'/') || m_appDir.endsWith(u'\\')))
        m_appDir.chop(1);
}

void Journal::openDatabase()
{
    const QString file = path(QStringLiteral("datamoney.db"));
    if (QFile::exists(file))
        m_db = std::make_unique<TSQLiteDatabase>(file);
}

bool openJournalDatabase(Journal& journal, Prompts& prompts)
{
    try {
        journal.openDatabase();
        return true;
    } catch (const ESQLiteException& e) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                            QStringLiteral("Ошибка №2 - Откытия базы данных\n%1\n%2").arg(e.message(), restoreAdvice(journal)));
        return false;
    }
}
