#pragma once

#include <QString>
#include <QStringList>

#include <array>

// One closed trade read from a statement: the sixteen texts of one row of the
// preview grid, in the grid's column order.
struct StatementRow {
    enum Column {
        Id = 0, // never filled
        Number, // running number 1, 2, 3, ...
        Ticket,
        OpenTime,
        Type,
        Size,
        Item,
        PriceOpen,
        StopLoss,
        TakeProfit,
        CloseTime,
        PriceClose,
        Commission,
        Taxes,
        Swap,
        Profit,
        ColumnCount
    };

    std::array<QString, ColumnCount> cells;

    const QString& operator[](int column) const { return cells[static_cast<std::size_t>(column)]; }
    QString& operator[](int column) { return cells[static_cast<std::size_t>(column)]; }
    bool operator==(const StatementRow&) const = default;
};

// The header texts of the preview grid (its row 0).
const QStringList& previewHeaderTexts();
