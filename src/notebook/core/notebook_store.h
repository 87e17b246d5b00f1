#pragma once

// The documents of the trader's notebook: one t_zametki row each, keyed by
// its name, holding the text as RTF (b_zametka) and the chart list as a
// tree snapshot (b_img). Folders live only in the notebook tree. Every
// value is bound, so a name may hold any character, double quotes
// included. Database failures are raised as ESQLiteException.

#include "state/core/tree_items.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class TSQLiteDatabase;

// The message of a document name that cannot be used.
QString nameTakenMessage(); // "Имя уже занято, придумайте другое!"

class NotebookStore {
public:
    explicit NotebookStore(TSQLiteDatabase& db);

    bool exists(const QString& name);
    // A new row with an empty text and no charts.
    void addDocument(const QString& name);
    // False when no row has the old name.
    bool renameDocument(const QString& from, const QString& to);
    void deleteDocument(const QString& name);
    // Every row.
    void deleteAll();

    // The stored text; none when no row has the name.
    std::optional<QByteArray> text(const QString& name);
    // False when no row has the name (the text is then kept nowhere).
    bool storeText(const QString& name, const QByteArray& rtf);

    // The chart names of the document, in order; none without a row.
    // Throws SnapshotError for a stored list that cannot be read.
    std::optional<QStringList> chartNames(const QString& name);
    bool storeChartNames(const QString& name, const QStringList& charts);

    // Every document's name and stored text, in the order of the rows.
    std::vector<std::pair<QString, QByteArray>> allTexts();

private:
    std::optional<QByteArray> blob(const QString& name, int column);
    bool storeBlob(const QString& name, int column, const QByteArray& bytes);
    TSQLiteDatabase& m_db;
};

// The chart list as b_img keeps it: a "TTreeView" snapshot named
// "TreeView2", every chart a top-level entry with icon 0. No charts: empty.
QByteArray encodeChartList(const QStringList& charts);
// Throws SnapshotError.
QStringList decodeChartList(const QByteArray& blob);

// The picture file of a chart: img/<document>_<chart>.paz under the program
// folder.
QString chartFileName(const QString& document, const QString& chart);
