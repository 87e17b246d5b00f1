#include "stats/core/day_notes.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"

#include <iterator>

namespace {

constexpr t_days::Column kRead[] = {t_days::Day, t_days::Comment, t_days::Analize};

DayNote noteAt(const TSQLiteTable& rows)
{
    return {rows.fieldTextOf(sql::position(kRead, t_days::Day)), rows.fieldTextOf(sql::position(kRead, t_days::Comment)),
            rows.fieldTextOf(sql::position(kRead, t_days::Analize))};
}

QString selectNotes(bool oneDay)
{
    using namespace t_days;
    QString text = QStringLiteral("SELECT %1 FROM %2 WHERE %3=?").arg(sql::columnList(kRead), table, name(Chet));
    if (oneDay)
        text += QStringLiteral(" and %1=?").arg(name(Day));
    return text;
}

} // namespace

std::optional<DayNote> DayNoteStore::find(const QString& account, const QString& day)
{
    const auto rows = m_db.openResultTable(selectNotes(true), {account, day});
    if (rows->atEnd())
        return std::nullopt;
    return noteAt(*rows);
}

std::vector<DayNote> DayNoteStore::list(const QString& account)
{
    const auto rows = m_db.openResultTable(selectNotes(false), {account});
    std::vector<DayNote> notes;
    notes.reserve(static_cast<size_t>(rows->rowCount()));
    for (; !rows->atEnd(); rows->moveNext())
        notes.push_back(noteAt(*rows));
    return notes;
}

void DayNoteStore::save(const QString& account, const DayNote& note)
{
    using namespace t_days;
    // Looked up and written in one transaction, so that a day never gets a
    // second note of the same account.
    SqlTransaction transaction(m_db);
    if (find(account, note.day)) {
        constexpr Column kSet[] = {Comment, Analize};
        m_db.executeStatement(QStringLiteral("UPDATE %1 SET %2 WHERE %3=? and %4=?")
                                  .arg(table, sql::assignments(kSet), name(Chet), name(Day)),
                              {note.comment, note.analize, account, note.day});
    } else {
        constexpr Column kInsert[] = {Day, Comment, Analize, Chet};
        m_db.executeStatement(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, sql::columnList(kInsert), sql::placeholders(std::size(kInsert))),
                              {note.day, note.comment, note.analize, account});
    }
    transaction.commit();
}
