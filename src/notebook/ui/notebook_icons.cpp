#include "notebook/ui/notebook_icons.h"

#include "state/ui/tree_snapshot.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidgetItem>

namespace {

QPixmap documentPixmap(const QColor& fold)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(fold.isValid() ? fold : QColor(150, 150, 150));
    for (int y = 6; y <= 12; y += 2)
        p.drawLine(5, y, 12, y);
    if (fold.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(fold);
        p.drawRect(4, 2, 6, 3);
    }
    return pm;
}

QPixmap folderPixmap(bool open)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(160, 120, 20));
    p.setBrush(QColor(250, 210, 90));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    if (open) {
        p.setBrush(QColor(255, 232, 150));
        QPolygonF front({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)});
        p.drawPolygon(front);
    }
    return pm;
}

} // namespace

QIcon notebookIcon(int index)
{
    static const QList<QIcon> icons = [] {
        return QList<QIcon>{QIcon(documentPixmap(QColor())),         QIcon(folderPixmap(false)),
                            QIcon(folderPixmap(true)),               QIcon(documentPixmap(QColor(220, 0, 0))),
                            QIcon(documentPixmap(QColor(0, 160, 0))), QIcon(documentPixmap(QColor(0, 0, 0)))};
    }();
    return index >= 0 && index < icons.size() ? icons[index] : QIcon();
}

void showNotebookIcon(QTreeWidgetItem* item)
{
    const TreeEntry e = treeEntryOf(item);
    QIcon icon;
    const QIcon normal = notebookIcon(e.imageIndex);
    const QIcon selected = notebookIcon(e.selectedIndex);
    for (const QSize size : {QSize(16, 16)}) {
        if (!normal.isNull())
            icon.addPixmap(normal.pixmap(size), QIcon::Normal);
        if (!selected.isNull())
            icon.addPixmap(selected.pixmap(size), QIcon::Selected);
    }
    item->setIcon(0, icon);
}
