#include "import/core/statement_row.h"

const QStringList& previewHeaderTexts()
{
    static const QStringList headers = {
        QStringLiteral("id"),         QStringLiteral("№"),          QStringLiteral("Ticket"),
        QStringLiteral("Open Time"),  QStringLiteral("Type"),       QStringLiteral("Size"),
        QStringLiteral("Item"),       QStringLiteral("PriceOpen"),  QStringLiteral("S / L"),
        QStringLiteral("T / P"),      QStringLiteral("Close Time"), QStringLiteral("PriceClose"),
        QStringLiteral("Comission"),  QStringLiteral("Taxes"),      QStringLiteral("Swap"),
        QStringLiteral("Profit"),
    };
    return headers;
}
