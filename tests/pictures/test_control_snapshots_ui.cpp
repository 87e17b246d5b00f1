// Applying snapshots to the journal's tree and grid controls and taking
// them back.
#include "state/ui/grid_snapshot.h"
#include "state/core/picture_snapshot.h"
#include "state/ui/tree_snapshot.h"
#include "temp_journal.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

TreeEntries sampleTree()
{
    TreeEntry root{QStringLiteral("Главная"), 1, 2, 1, -1, {}};
    TreeEntry folder{QStringLiteral("Стратегии"), 1, 2, 1, -1, {}};
    folder.children.push_back({QStringLiteral("Пробой"), 3, 3, -1, -1, {}});
    root.children.push_back(folder);
    root.children.push_back({QStringLiteral("Дневник"), 0, 0, -1, -1, {}});
    return {root, {QStringLiteral("Вторая"), 5, 5, -1, 2, {}}};
}

QList<int> columnWidths(const QTableView& view)
{
    QList<int> out;
    for (int c = 0; c < view.horizontalHeader()->count(); ++c)
        out << view.horizontalHeader()->sectionSize(c);
    return out;
}

} // namespace

TEST(TreeSnapshotUi, RolesCarryTheIndexesThroughAWidgetRoundTrip)
{
    QTreeWidget tree;
    tree.setObjectName(QStringLiteral("TreeView1"));
    setTreeEntries(&tree, sampleTree());
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    const QTreeWidgetItem* leaf = tree.topLevelItem(0)->child(0)->child(0);
    EXPECT_EQ(leaf->text(0), QStringLiteral("Пробой"));
    EXPECT_EQ(leaf->data(0, TreeRoles::ImageIndex).toInt(), 3);
    EXPECT_EQ(leaf->data(0, TreeRoles::StateIndex).toInt(), -1);

    QTreeWidget other;
    other.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("будет заменён")}));
    applyTreeSnapshot(&other, takeTreeSnapshot(&tree));
    EXPECT_EQ(takeTreeEntries(&other), sampleTree());

    // An item made elsewhere without roles reads with the defaults.
    QTreeWidget plain;
    plain.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("x")}));
    EXPECT_EQ(takeTreeEntries(&plain), (TreeEntries{{QStringLiteral("x"), 0, 0, -1, -1, {}}}));
}

TEST(TreeSnapshotUi, BrokenStreamKeepsTheTreeAndWhatCameBefore)
{
    QTreeWidget tree;
    setTreeEntries(&tree, sampleTree());

    // Items.Data that is read whole, then a broken property: the entries stay applied.
    TreeEntries one{{QStringLiteral("один")}};
    QByteArray good = writeTreeSnapshot("TreeView1", {QRect(), one});
    good.chop(2);
    EXPECT_THROW(applyTreeSnapshot(&tree, good + "\x03" "Bad" "\x15"), SnapshotError);
    EXPECT_EQ(takeTreeEntries(&tree), one);

    // A wrong signature changes nothing.
    EXPECT_THROW(applyTreeSnapshot(&tree, QByteArray("XPF0")), SnapshotError);
    EXPECT_EQ(takeTreeEntries(&tree), one);
}

TEST(GridSnapshotUi, WidthsSurviveModelResetsAndFollowTheTrader)
{
    QStandardItemModel model(0, 16);
    QTableView view;
    view.setObjectName(QStringLiteral("StringGrid_Analiz"));
    view.setModel(&model);

    GridLayout layout;
    layout.colCount = 16;
    for (int c = 0; c < 16; ++c)
        layout.colWidths << 30 + 5 * c;
    applyGridLayout(&view, layout);
    EXPECT_EQ(columnWidths(view), layout.colWidths);

    // Each analysis refills the table.
    model.clear();
    model.setColumnCount(16);
    model.setRowCount(3);
    EXPECT_EQ(columnWidths(view), layout.colWidths);
    QStandardItemModel other(2, 16);
    view.setModel(&other);
    EXPECT_EQ(columnWidths(view), layout.colWidths);

    // The trader widens a column; the width outlives the next refill.
    view.horizontalHeader()->resizeSection(3, 222);
    other.clear();
    other.setColumnCount(16);
    EXPECT_EQ(view.horizontalHeader()->sectionSize(3), 222);
    EXPECT_EQ(takeGridLayout(&view).colWidths.at(3), 222);
}

TEST(GridSnapshotUi, SnapshotRestoresWidthsInAFreshView)
{
    QStandardItemModel model(0, 16);
    QTableView first;
    first.setObjectName(QStringLiteral("StringGrid_Analiz"));
    first.setModel(&model);
    for (int c = 0; c < 16; ++c)
        first.horizontalHeader()->resizeSection(c, 20 + 7 * c);
    const QByteArray bytes = takeGridSnapshot(&first);

    const SnapshotObject o = readSnapshot(bytes);
    EXPECT_EQ(o.objectName, "StringGrid_Analiz");
    EXPECT_EQ(o.property("ColCount")->value.integer, 16);

    QStandardItemModel model2(0, 16);
    QTableView second;
    second.setModel(&model2);
    applyGridSnapshot(&second, bytes);
    EXPECT_EQ(columnWidths(second), columnWidths(first));
}

TEST(PictureFiles, SurfaceImageAndBoundsRoundTripThroughAFile)
{
    TempAppDir dir;
    const QString path = dir.file(QStringLiteral("img/3_57_вход.pat"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(5, 6, qRgb(255, 0, 0));
    writePictureFile(path, QStringLiteral("ImPict"), image, QRect(-12, -40, 400, 300));
    EXPECT_EQ(readSnapshot(readBytes(path)).objectName, "ImPict");

    QImage read;
    QRect bounds(1, 2, 3, 4);
    ASSERT_TRUE(readPictureFile(path, read, bounds));
    EXPECT_EQ(bounds, QRect(-12, -40, 400, 300));
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), image);

    // A missing file changes nothing; a broken one is an error that keeps
    // the bounds read before the fault.
    EXPECT_FALSE(readPictureFile(dir.file(QStringLiteral("img/нет.pat")), read, bounds));
    QByteArray broken = readBytes(path);
    broken.truncate(broken.size() - 10);
    QImage kept = image;
    QRect keptBounds;
    EXPECT_THROW(applyPictureSnapshot(broken, kept, keptBounds), SnapshotError);
    EXPECT_EQ(keptBounds, QRect(-12, -40, 400, 300));
    EXPECT_EQ(kept, image);
}
