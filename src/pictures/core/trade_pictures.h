#pragma once

// The pictures of a trade: the list of their names kept in the trade's
// `t_tree` (a snapshot of the list "TreeView3"), one snapshot file per name
// in the img folder (<account>_<trade>_<name>.pat), and the position of the
// picture at the last release over it (`img_left`, `img_top`).

#include "state/core/tree_items.h"

#include <QDateTime>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

class TSQLiteDatabase;

// The object name of the list in its snapshot, and of the picture in a file.
inline constexpr char kPictureListName[] = "TreeView3";
inline constexpr char kTradePictureName[] = "ImPict";

struct TradePictureRow {
    QString account;  // chet
    QPoint position;  // img_left, img_top
    QByteArray list;  // t_tree, empty when there is none
};

// Why a name cannot be added to a trade's list (`names` are the names it
// holds), empty when it can. A name is a part of a file name here and on
// Windows, and no two names of a list may lead to one file.
QString pictureNameProblem(const QString& name, const QStringList& names);

// The title of the question that names a picture or a chart.
inline QString pictureNameCaption() { return QStringLiteral("Название рисунка"); }

// The name of a picture pasted into an empty list: its date and time,
// "2026-12-11 14.05.33" (a point between the hours, minutes and seconds, as a
// file name on Windows holds no colon), with " (2)", " (3)"… when `names`
// already hold it.
QString pastedPictureName(const QDateTime& when, const QStringList& names);

// The file of an entry: <imgDir>/<account>_<trade>_<name>.pat.
QString tradePictureFile(const QString& imgDir, const QString& account, qint64 tradeId, const QString& name);

// The names of a stored list (top-level entries, in order); none for an
// empty list. Throws
// SnapshotError for a list that is not a valid snapshot.
QStringList pictureListNames(const QByteArray& list);

class TradePictureStore {
public:
    explicit TradePictureStore(TSQLiteDatabase& db);

    // The trade's account, stored position and list; nothing when there is
    // no such trade. Throws ESQLiteException, and JournalError when a stored
    // position is not an integer.
    std::optional<TradePictureRow> loadTrade(qint64 tradeId);
    // Replaces the trade's list by the snapshot. Throws ESQLiteException.
    void storeList(qint64 tradeId, const QByteArray& snapshot);
    // The picture's position at the last release over it. Throws ESQLiteException.
    void storePosition(const QString& account, qint64 tradeId, QPoint position);

private:
    TSQLiteDatabase& m_db;
};
