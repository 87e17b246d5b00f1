#pragma once

// Searching the notebook: document names and texts, without regard to case
// (Russian letters included, "ё" found as "е").

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

struct SearchHit {
    QString document;
    QString line; // the matching paragraph; empty when only the name matched
    bool operator==(const SearchHit&) const = default;
};

// documents: name and stored text of each. A document whose name matches
// comes first with an empty line, then every matching paragraph of it.
std::vector<SearchHit> searchNotebook(const std::vector<std::pair<QString, QByteArray>>& documents,
                                      const QString& query);

// The plain text of a stored document text (RTF or plain text).
QString storedPlainText(const QByteArray& stored);
