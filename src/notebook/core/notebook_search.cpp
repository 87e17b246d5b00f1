#include "notebook/core/notebook_search.h"

#include "notebook/core/rtf_reader.h"

#include <QTextDocument>

namespace {

QString folded(const QString& text)
{
    QString s = text.toCaseFolded();
    s.replace(QChar(0x0451), QChar(0x0435)); // ё -> е
    return s;
}

} // namespace

QString storedPlainText(const QByteArray& stored)
{
    if (stored.isEmpty())
        return {};
    QTextDocument document;
    readStoredText(stored, document);
    return document.toPlainText();
}

std::vector<SearchHit> searchNotebook(const std::vector<std::pair<QString, QByteArray>>& documents,
                                      const QString& query)
{
    std::vector<SearchHit> hits;
    const QString needle = folded(query.trimmed());
    if (needle.isEmpty())
        return hits;
    for (const auto& [name, stored] : documents) {
        const bool nameMatches = folded(name).contains(needle);
        std::vector<SearchHit> lines;
        for (const QString& line : storedPlainText(stored).split(u'\n')) {
            if (folded(line).contains(needle))
                lines.push_back({name, line.trimmed()});
        }
        if (nameMatches)
            hits.push_back({name, QString()});
        hits.insert(hits.end(), lines.begin(), lines.end());
    }
    return hits;
}
