#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Draws a cell of a statistics grid the way the trader's grids always
// looked: the cell filled with the row's colour (the model's background, or
// the grid's own colour), the text 2 pixels in from the top-left corner in
// the model's text colour and font, and the selected row in its own colours.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(QObject* parent = nullptr);

    void setSelectionColours(const QColor& fill, const QColor& text);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor m_selectedFill{255, 255, 0};
    QColor m_selectedText{0, 0, 255};
};
