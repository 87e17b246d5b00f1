#include "pictures/core/trade_pictures.h"

#include "db/core/columns.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"

namespace {

// Longer names would make file names that some file systems refuse.
constexpr int kNameMax = 100;

int storedInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw JournalError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace

QString pictureNameProblem(const QString& name, const QStringList& names)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Введите название рисунка.");
    const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return QStringLiteral("Название рисунка не может содержать символы \\ / : * ? \" < > |");
    }
    // Windows drops a trailing point from a file name: "вход." would be "вход".
    if (trimmed.endsWith(u'.'))
        return QStringLiteral("Название рисунка не может заканчиваться точкой.");
    if (trimmed.size() > kNameMax)
        return QStringLiteral("Название рисунка длиннее %1 символов.").arg(kNameMax);
    // Windows file names ignore case: "Вход" and "вход" are one file there.
    for (const QString& other : names) {
        if (other.trimmed().compare(trimmed, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Рисунок \"%1\" уже есть в списке.").arg(other);
    }
    return QString();
}

QString pastedPictureName(const QDateTime& when, const QStringList& names)
{
    const QString base = when.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    auto taken = [&names](const QString& name) {
        for (const QString& other : names)
            if (other.trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return name;
}

QString tradePictureFile(const QString& imgDir, const QString& account, qint64 tradeId, const QString& name)
{
    return imgDir + u'/' + account + u'_' + QString::number(tradeId) + u'_' + name + QStringLiteral(".pat");
}

QStringList pictureListNames(const QByteArray& list)
{
    if (list.isEmpty())
        return {};
    TreeSnapshotState state;
    applyTreeSnapshot(list, state);
    QStringList names;
    for (const TreeEntry& entry : state.entries)
        names.append(entry.text);
    return names;
}

TradePictureStore::TradePictureStore(TSQLiteDatabase& db)
    : m_db(db)
{
}

std::optional<TradePictureRow> TradePictureStore::loadTrade(qint64 tradeId)
{
    using namespace t_sdelki;
    const std::array columns{Chet, ImgLeft, ImgTop, TTree};
    const auto table = m_db.openResultTable(QStringLiteral("SELECT %1 FROM t_sdelki WHERE id=?").arg(sql::columnList(columns)),
                                            {tradeId});
    if (table->rowCount() == 0)
        return std::nullopt;
    TradePictureRow row;
    row.account = table->fieldTextOf(sql::position(columns, Chet));
    row.position = QPoint(storedInteger(table->fieldTextOf(sql::position(columns, ImgLeft))),
                          storedInteger(table->fieldTextOf(sql::position(columns, ImgTop))));
    const int tree = sql::position(columns, TTree);
    if (!table->fieldTextAt(tree).isEmpty())
        row.list = table->fieldBlob(tree);
    return row;
}

void TradePictureStore::storeList(qint64 tradeId, const QByteArray& snapshot)
{
    m_db.writeBlob(QStringLiteral("UPDATE t_sdelki SET t_tree = ? WHERE id=?"), snapshot, {tradeId});
}

void TradePictureStore::storePosition(const QString& account, qint64 tradeId, QPoint position)
{
    m_db.executeStatement(QStringLiteral("UPDATE t_sdelki SET img_left=?, img_top=? WHERE chet=? and id=?"),
                          {position.x(), position.y(), account, tradeId});
}
