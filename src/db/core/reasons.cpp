#include "db/core/reasons.h"

#include <QRegularExpression>

namespace {

struct Reason {
    const char* english; // as SQLite or the C library writes it (any case)
    const char16_t* russian;
};

// Longer texts first: some contain shorter ones.
constexpr Reason kReasons[] = {
    {"Failed to open database", u"не удалось открыть базу данных"},
    {"attempt to write a readonly database", u"файл базы данных доступен только для чтения"},
    {"database disk image is malformed", u"файл базы данных поврежден"},
    {"database or disk is full", u"диск заполнен"},
    {"file is not a database", u"файл не является базой данных"},
    {"file is encrypted or is not a database", u"файл не является базой данных"},
    {"database is locked", u"база данных занята другой программой"},
    {"database table is locked", u"таблица базы данных занята другой программой"},
    {"unable to open database file", u"не удалось открыть файл базы данных"},
    {"disk I/O error", u"ошибка чтения или записи диска"},
    {"No space left on device", u"на диске нет места"},
    {"No such file or directory", u"нет такого файла или папки"},
    {"Permission denied", u"нет прав доступа"},
    {"Read-only file system", u"файловая система доступна только для чтения"},
    {"Filename refers to a directory", u"это папка, а не файл"},
    {"Is a directory", u"это папка, а не файл"},
    {"Not a directory", u"это не папка"},
    {"File exists", u"файл уже есть"},
    {"Invalid stream format", u"неверный формат данных"},
    {"interrupted", u"прервано"},
};

} // namespace

QString withRussianReasons(QString message)
{
    // Names that follow a reason keep their spelling: "no such column: Profit".
    static const QRegularExpression noSuchColumn(QStringLiteral("no such column: ?(\\S+)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression noSuchTable(QStringLiteral("no such table: ?(\\S+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression noColumnNamed(QStringLiteral("table (\\S+) has no column named (\\S+)"),
                                                  QRegularExpression::CaseInsensitiveOption);
    // The database layer's own texts, with the statement that failed, say
    // nothing to a trader: the reason after them does.
    static const QRegularExpression layer(
        QStringLiteral("(Error executing SQL statement|Error executing SQL|Could not prepare SQL statement|"
                       "Could not retrieve data|Error binding blob to database) \"(.*?)\" : "),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression openFailed(QStringLiteral("Failed to open database \"(.*?)\" : "));
    message.replace(layer, QStringLiteral("ошибка базы данных: "));
    message.replace(openFailed, QStringLiteral("не удалось открыть базу данных \\1: "));
    message.replace(QLatin1String("Database is not open"), QStringLiteral("база данных не открыта"));
    message.replace(noSuchColumn, QStringLiteral("в базе данных нет столбца \\1"));
    message.replace(noSuchTable, QStringLiteral("в базе данных нет таблицы \\1"));
    message.replace(noColumnNamed, QStringLiteral("в таблице \\1 нет столбца \\2"));
    for (const Reason& r : kReasons)
        message.replace(QLatin1String(r.english), QString::fromUtf16(r.russian), Qt::CaseInsensitive);
    return message;
}

QString unreadableTradeText(const QString& id, const QString& what, const QString& text)
{
    return QStringLiteral("Сделка id %1: %2 «%3» не является числом; она не входит в итоги").arg(id, what, text);
}

QString unreadableTradesText(const QString& first, int count)
{
    return count <= 1 ? first : QStringLiteral("%1 (таких сделок: %2)").arg(first).arg(count);
}
