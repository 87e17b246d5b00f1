#pragma once

#include "context/core/settings.h"
#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"
#include "pictures/core/drawing_tool.h"

#include <QSet>
#include <QString>

#include <memory>

// The shared state of one run, passed by reference to every page and
// command: the database, the program folder, the active account, the
// reference lists, the settings held in memory and the one drawing tool
// that every picture surface shares.
class IntegrityCheck;

class Journal {
public:
    explicit Journal(QString appDir);
    ~Journal();

    // The program folder, without a trailing separator.
    const QString& appDir() const { return m_appDir; }
    // A path under the program folder: path("config.ini"), path("sprav/Вход.txt").
    QString path(const QString& relative) const { return m_appDir + u'/' + relative; }

    // The database; without datamoney.db it is a closed connection on which
    // every operation fails with ESQLiteException.
    TSQLiteDatabase& db() { return *m_db; }
    bool hasDatabase() const { return m_db->isOpen(); }
    // Opens datamoney.db of the program folder when it exists. Throws
    // ESQLiteException when the file exists but is not a usable database.
    void openDatabase();
    void setDatabase(std::unique_ptr<TSQLiteDatabase> db) { m_db = std::move(db); }

    // The id of the active account as decimal text, empty when none.
    QString activeAccount;
    // The starting balance of the statistics: the text of Edit_Balance on
    // the account page (a number with a decimal comma), kept in step by it.
    QString initialBalance;
    ReferenceLists lists;
    Settings settings;
    // A failed automatic backup was shown; later failures of the run are not.
    bool backupProblemReported = false;
    // The reasons views could not show everything that were already shown
    // this run: every view that meets the same unreadable trade says it once.
    QSet<QString> shownUpdateProblems;
    DrawingTool drawingTool;
    // The look at every page of the database made while the run goes on
    // (data_safety.h), when the start left it to a thread of its own.
    std::unique_ptr<IntegrityCheck> integrityCheck;

private:
    QString m_appDir;
    std::unique_ptr<TSQLiteDatabase> m_db;
};

class Prompts;

// A view that could not show everything: "Ошибка - Во время обновление
// данных" and why, the system's reasons in Russian words. A reason already
// shown this run is not shown again; an empty one shows the caption alone.
void reportUpdateProblem(Journal& journal, Prompts& prompts, const QString& problem);
