#include "state/ui/grid_snapshot.h"

#include <QHeaderView>
#include <QTableView>

namespace {

// Kept as a child of the view: the layout last applied, brought up to date
// by the trader's column resizes, applied again when columns come back.
class GridLayoutKeeper : public QObject {
    Q_OBJECT
public:
    explicit GridLayoutKeeper(QTableView* view)
        : QObject(view)
        , m_view(view)
    {
        setObjectName(QStringLiteral("GridLayoutKeeper"));
        QHeaderView* header = view->horizontalHeader();
        connect(header, &QHeaderView::sectionCountChanged, this, [this] { applyWidths(); });
        connect(header, &QHeaderView::sectionResized, this, &GridLayoutKeeper::onResized);
    }

    const GridLayout& layout() const { return m_layout; }

    void setLayout(const GridLayout& layout)
    {
        m_layout = layout;
        // Changing the default size resizes the sections that had it; those
        // are not the trader's resizes.
        m_applying = true;
        m_view->horizontalHeader()->setDefaultSectionSize(qMax(0, layout.defaultColWidth));
        m_view->verticalHeader()->setDefaultSectionSize(qMax(0, layout.defaultRowHeight));
        m_applying = false;
        applyWidths();
    }

private:
    void applyWidths()
    {
        QHeaderView* header = m_view->horizontalHeader();
        m_applying = true;
        for (int c = 0; c < header->count(); ++c)
            header->resizeSection(c, qMax(0, m_layout.columnWidth(c))); // -1: a hidden column
        m_applying = false;
    }

    void onResized(int column, int, int newSize)
    {
        if (m_applying || newSize <= 0) // hidden columns report 0
            return;
        while (m_layout.colWidths.size() <= column)
            m_layout.colWidths.append(m_layout.columnWidth(int(m_layout.colWidths.size())));
        m_layout.colWidths[column] = newSize;
    }

    QTableView* m_view;
    GridLayout m_layout;
    bool m_applying = false;
};

GridLayoutKeeper* keeperOf(const QTableView* view)
{
    return view->findChild<GridLayoutKeeper*>(QStringLiteral("GridLayoutKeeper"), Qt::FindDirectChildrenOnly);
}

} // namespace

void applyGridLayout(QTableView* view, const GridLayout& layout)
{
    GridLayoutKeeper* keeper = keeperOf(view);
    if (!keeper)
        keeper = new GridLayoutKeeper(view);
    keeper->setLayout(layout);
}

GridLayout takeGridLayout(const QTableView* view)
{
    const GridLayoutKeeper* keeper = keeperOf(view);
    const GridLayout kept = keeper ? keeper->layout() : GridLayout{};
    GridLayout layout = kept;
    // A view whose page was never shown has not been laid out yet: its
    // geometry means nothing, so the bounds that were read are kept.
    if (!keeper || view->testAttribute(Qt::WA_Resized))
        layout.bounds = view->geometry();
    const QHeaderView* header = view->horizontalHeader();
    if (header->count() > 0) {
        layout.colCount = header->count();
        layout.colWidths.clear();
        for (int c = 0; c < header->count(); ++c) {
            // A hidden column keeps the width it would have when shown.
            const int size = header->sectionSize(c);
            layout.colWidths.append(size > 0 ? size : kept.columnWidth(c));
        }
    }
    return layout;
}

QByteArray takeGridSnapshot(const QTableView* view)
{
    return writeGridSnapshot(view->objectName().toLatin1(), takeGridLayout(view));
}

void applyGridSnapshot(QTableView* view, QByteArrayView stream)
{
    GridLayout layout = takeGridLayout(view);
    const GridLayout before = layout;
    auto commit = [&] {
        if (layout != before)
            applyGridLayout(view, layout);
    };
    try {
        ::applyGridSnapshot(stream, layout);
    } catch (...) {
        commit();
        throw;
    }
    commit();
}

#include "grid_snapshot.moc"
