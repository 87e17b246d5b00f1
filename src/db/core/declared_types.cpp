#include "db/core/declared_types.h"

#include <QList>

namespace {

// Splits the text between the outer parentheses at top-level commas.
QList<QByteArray> columnDefinitions(const QByteArray& sql)
{
    QList<QByteArray> parts;
    const qsizetype open = sql.indexOf('(');
    if (open < 0)
        return parts;
    int depth = 0;
    char quote = 0;
    QByteArray current;
    for (qsizetype i = open + 1; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            current.append(c);
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '"' || c == '\'' || c == '`') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth == 0) {
                parts.append(current);
                return parts;
            }
            --depth;
        } else if (c == ',' && depth == 0) {
            parts.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    return parts;
}

bool isConstraintWord(const QByteArray& word)
{
    static const char* const words[] = {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK", "DEFAULT",
                                        "COLLATE", "REFERENCES", "GENERATED", "AS", "FOREIGN"};
    const QByteArray upper = word.toUpper();
    for (const char* w : words) {
        if (upper == w)
            return true;
    }
    return false;
}

} // namespace

QHash<QByteArray, QByteArray> parseDeclaredTypes(const QByteArray& createTableSql)
{
    QHash<QByteArray, QByteArray> types;
    for (QByteArray def : columnDefinitions(createTableSql)) {
        def = def.trimmed();
        if (def.isEmpty())
            continue;
        QByteArray name;
        qsizetype pos = 0;
        const char first = def[0];
        if (first == '"' || first == '`' || first == '[') {
            const char close = first == '[' ? ']' : first;
            const qsizetype end = def.indexOf(close, 1);
            if (end < 0)
                continue;
            name = def.mid(1, end - 1);
            pos = end + 1;
        } else {
            while (pos < def.size() && !QChar::isSpace(static_cast<unsigned char>(def[pos])) && def[pos] != '(')
                ++pos;
            name = def.left(pos);
            if (isConstraintWord(name))
                continue; // a table constraint, not a column
        }
        // The type: the words after the name up to the first constraint word.
        const QByteArray rest = def.mid(pos);
        qsizetype typeEnd = 0;
        qsizetype i = 0;
        int depth = 0;
        while (i < rest.size()) {
            while (i < rest.size() && QChar::isSpace(static_cast<unsigned char>(rest[i])))
                ++i;
            const qsizetype wordStart = i;
            while (i < rest.size() && (depth > 0 || !QChar::isSpace(static_cast<unsigned char>(rest[i])))) {
                if (rest[i] == '(')
                    ++depth;
                else if (rest[i] == ')')
                    --depth;
                ++i;
            }
            const QByteArray word = rest.mid(wordStart, i - wordStart);
            if (word.isEmpty() || isConstraintWord(word.left(word.indexOf('(') < 0 ? word.size() : word.indexOf('('))))
                break;
            typeEnd = i;
        }
        types.insert(name.toUpper(), rest.left(typeEnd).trimmed());
    }
    return types;
}
