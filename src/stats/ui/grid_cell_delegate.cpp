#include "stats/ui/grid_cell_delegate.h"

#include <QPainter>

GridCellDelegate::GridCellDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

void GridCellDelegate::setSelectionColours(const QColor& fill, const QColor& text)
{
    m_selectedFill = fill;
    m_selectedText = text;
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    QColor fill = option.palette.color(QPalette::Base);
    QColor text = option.palette.color(QPalette::Text);
    if (selected) {
        fill = m_selectedFill;
        text = m_selectedText;
    } else {
        if (const QVariant v = index.data(Qt::BackgroundRole); v.canConvert<QColor>())
            fill = v.value<QColor>();
        if (const QVariant v = index.data(Qt::ForegroundRole); v.canConvert<QColor>())
            text = v.value<QColor>();
    }
    // A model's font (bold columns) keeps the grid's family and size.
    QFont font = option.font;
    if (const QVariant v = index.data(Qt::FontRole); v.canConvert<QFont>())
        font = v.value<QFont>().resolve(option.font);
    painter->save();
    painter->fillRect(option.rect, fill);
    painter->setPen(text);
    painter->setFont(font);
    painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}
