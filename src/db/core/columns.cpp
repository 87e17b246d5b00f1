#include "db/core/columns.h"

namespace sql {

QString placeholders(std::size_t count, QLatin1StringView separator)
{
    QString text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += QLatin1Char('?');
    }
    return text;
}

} // namespace sql
