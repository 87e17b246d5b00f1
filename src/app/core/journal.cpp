#include "app/core/journal.h"

#include "app/core/data_safety.h"
#include "app/core/prompts.h"

#include "db/core/reasons.h"
#include "db/core/schema_setup.h"

#include <QDir>
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
    } catch (const EDatabaseBusy&) {
        throw;
    } catch (const ESQLiteException& e) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                            QStringLiteral("Ошибка №2 - Откытия базы данных\n%1\n%2")
                                .arg(withRussianReasons(e.message()), restoreAdvice(journal)));
        return false;
    }
}

bool upgradeJournalDatabase(Journal& journal, Prompts& prompts)
{
    if (!journal.hasDatabase())
        return true;
    try {
        upgradeJournalSchema(journal.db());
        return true;
    } catch (const EDatabaseBusy&) {
        throw;
    } catch (const ESQLiteException& e) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                            QStringLiteral("Не удалось дополнить базу данных %1 таблицами этой версии программы "
                                           "(валюта счета, пополнения и снятия); база не изменена.\n%2")
                                .arg(QDir::toNativeSeparators(journal.db().path()), withRussianReasons(e.message())));
        return false;
    }
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
