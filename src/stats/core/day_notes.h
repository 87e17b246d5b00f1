#pragma once

#include <QString>

#include <optional>
#include <vector>

class TSQLiteDatabase;

// A trader's note of one trading day of one account.
struct DayNote {
    QString day; // dd.mm.yyyy
    QString comment;
    QString analize;
};

// The notes of t_days: at most one per account and day. Failures are raised
// as ESQLiteException.
class DayNoteStore {
public:
    explicit DayNoteStore(TSQLiteDatabase& db) : m_db(db) {}
    std::optional<DayNote> find(const QString& account, const QString& day);
    // Every note of the account, in the order the database returns them.
    std::vector<DayNote> list(const QString& account);
    // Updates the day's note or adds it, in one transaction.
    void save(const QString& account, const DayNote& note);

private:
    TSQLiteDatabase& m_db;
};
