// The commands of the chart pane: choosing, adding, renaming, deleting and
// moving charts, pasting, saving, reverting and clearing the picture, the
// big window, and what is stored in the document's row and the chart files.
#include "notebook/ui/chart_pane.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "notebook/core/notebook_store.h"
#include "pictures/core/picture_geometry.h"
#include "pictures/core/trade_pictures.h"
#include "pictures/ui/big_picture_window.h"
#include "pictures/ui/clipboard_picture.h"
#include "state/core/picture_snapshot.h"
#include "pictures/ui/picture_surface.h"
#include "state/ui/tree_snapshot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The stored size when it is the picture's own shape at some zoom (files of
// the first versions hold the picture's size), else the picture's size.
QSize zoomKept(QSize picture, QSize stored)
{
    const double scale = picturegeom::shownScale(picture, stored);
    const bool proportional = std::abs(stored.width() - picture.width() * scale) <= 1
        && std::abs(stored.height() - picture.height() * scale) <= 1;
    return proportional && scale >= picturegeom::kSmallestScale && scale <= picturegeom::kLargestScale ? stored
                                                                                                         : picture;
}

} // namespace

QString ChartPane::chartPath(const QString& chart) const { return m_journal.path(chartFileName(m_document, chart)); }

QTreeWidgetItem* ChartPane::selectedChart() const
{
    const QList<QTreeWidgetItem*> selected = TreeView2->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

const QImage& ChartPane::picture() const { return ImgPic2->picture(); }

void ChartPane::placeEmptySurface()
{
    if (!ImgPic2->hasPicture())
        ImgPic2->setBounds(Pan_Image->rect());
}

void ChartPane::removePicture()
{
    ImgPic2->removePicture();
    placeEmptySurface();
}

bool ChartPane::readChart(const QString& chart)
{
    QImage image;
    QRect bounds = ImgPic2->bounds();
    try {
        if (!readPictureFile(chartPath(chart), image, bounds))
            return false;
    } catch (const SnapshotError& e) {
        reportError(m_prompts, QStringLiteral("Файл %1 повреждён: %2").arg(chartPath(chart), e.message()));
        return false;
    }
    ImgPic2->setPicture(image);
    if (image.isNull())
        placeEmptySurface();
    else // the size of its picture, or of its zoom when the file keeps one
        ImgPic2->setBounds(QRect(bounds.topLeft(), zoomKept(image.size(), bounds.size())));
    m_shownChart = chart;
    m_writtenBounds = ImgPic2->bounds();
    return true;
}

bool ChartPane::writeChart(const QString& chart)
{
    try {
        const QString folder = m_journal.path(QStringLiteral("img"));
        if (!QDir().mkpath(folder))
            throw FileWriteError(QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(folder)));
        writePictureFile(chartPath(chart), QStringLiteral("ImgPic2"), ImgPic2->picture(), ImgPic2->bounds());
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
        return false;
    }
    if (chart == m_shownChart) {
        ImgPic2->setModified(false);
        m_writtenBounds = ImgPic2->bounds();
    }
    return true;
}

void ChartPane::writePendingChart()
{
    if (m_shownChart.isEmpty() || m_document.isEmpty() || !ImgPic2->hasPicture())
        return;
    if (ImgPic2->isModified() || ImgPic2->bounds() != m_writtenBounds)
        writeChart(m_shownChart);
}

void ChartPane::showSelectedChart()
{
    m_shownChart.clear();
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty()) {
        removePicture();
        return;
    }
    const QString name = chart->text(0);
    if (!QFile::exists(chartPath(name))) {
        // Not written yet: what is drawn on it is written when it is left.
        removePicture();
        m_shownChart = name;
        m_writtenBounds = ImgPic2->bounds();
        return;
    }
    // A broken file is not overwritten unless the trader saves or pastes.
    if (!readChart(name))
        removePicture();
}

void ChartPane::storeChartList()
{
    if (m_document.isEmpty())
        return;
    try {
        NotebookStore(m_journal.db()).storeChartNames(m_document, chartNames());
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
}

void ChartPane::loadCharts(const QString& document)
{
    writePendingChart();
    m_document = document;
    m_shownChart.clear();
    m_quiet = true;
    TreeView2->clear();
    m_quiet = false;
    QStringList names;
    try {
        names = NotebookStore(m_journal.db()).chartNames(document).value_or(QStringList());
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
    for (const QString& name : names) {
        auto* item = new QTreeWidgetItem(TreeView2, {name});
        item->setData(0, TreeRoles::ImageIndex, 0);
    }
    enableCommands();
    if (names.isEmpty()) {
        removePicture();
        collapsePane();
        return;
    }
    openPane();
    m_quiet = true;
    TreeView2->setCurrentItem(TreeView2->topLevelItem(0));
    m_quiet = false;
    showSelectedChart();
}

void ChartPane::emptyCharts(const QString& document)
{
    writePendingChart();
    m_document = document;
    m_shownChart.clear();
    m_quiet = true;
    TreeView2->clear();
    m_quiet = false;
    enableCommands();
    removePicture();
    collapsePane();
}

void ChartPane::TreeView2Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    writePendingChart();
    showSelectedChart();
}

void ChartPane::MenuItem2Click()
{
    const std::optional<bool> folder = m_selectedIsFolder ? m_selectedIsFolder() : std::nullopt;
    if (folder.value_or(false)) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Графики нельзя добавлять в папки, создайте документ!"));
        return;
    }
    if (!folder || m_document.isEmpty())
        return;
    const QString name = m_prompts.askText(pictureNameCaption(), QStringLiteral("Введите название"), QString())
                             .value_or(QString());
    if (name.isEmpty())
        return;
    // Two charts of one name would share one picture file.
    if (chartNames().contains(name)) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
        return;
    }
    appendChart(name);
}

void ChartPane::appendChart(const QString& name)
{
    writePendingChart();
    auto* item = new QTreeWidgetItem(TreeView2, {name});
    item->setData(0, TreeRoles::ImageIndex, 0);
    storeChartList();
    m_quiet = true;
    TreeView2->setCurrentItem(item);
    m_quiet = false;
    enableCommands();
    removePicture();
    ImgPic2->blankPicture();
    m_shownChart = name;
    m_writtenBounds = ImgPic2->bounds();
}

void ChartPane::N21Click()
{
    QTreeWidgetItem* chart = selectedChart();
    if (!chart || treeEntryOf(chart).imageIndex != 0)
        return;
    const QString old = chart->text(0);
    const QString name = m_prompts.askText(QStringLiteral("Новое название рисунка"),
                                           QStringLiteral("Введите название"), old)
                             .value_or(old);
    if (name.isEmpty() || name == old)
        return;
    if (chartNames().contains(name)) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), nameTakenMessage());
        return;
    }
    if (QFile::exists(chartPath(old)))
        QFile::rename(chartPath(old), chartPath(name));
    chart->setText(0, name);
    if (m_shownChart == old)
        m_shownChart = name;
    storeChartList();
}

void ChartPane::MenuItem3Click()
{
    if (!m_prompts.confirm(QStringLiteral("Удалить график")))
        return;
    QTreeWidgetItem* chart = selectedChart();
    if (!chart)
        return;
    const QString name = chart->text(0);
    if (name == m_shownChart) {
        m_shownChart.clear(); // what was drawn on it goes with it
        ImgPic2->setModified(false);
    } else {
        writePendingChart();
    }
    QFile::remove(chartPath(name));
    m_quiet = true;
    delete chart;
    if (TreeView2->topLevelItemCount() > 0)
        TreeView2->setCurrentItem(TreeView2->topLevelItem(0));
    m_quiet = false;
    storeChartList();
    enableCommands();
    // The chart now selected is shown, so that saving never writes the
    // deleted chart's picture into another chart's file.
    showSelectedChart();
}

void ChartPane::moveSelected(int step)
{
    QTreeWidgetItem* chart = selectedChart();
    if (!chart)
        return;
    const int from = TreeView2->indexOfTopLevelItem(chart);
    const int to = from + step;
    if (to < 0 || to >= TreeView2->topLevelItemCount())
        return;
    m_quiet = true;
    TreeView2->takeTopLevelItem(from);
    TreeView2->insertTopLevelItem(to, chart);
    TreeView2->setCurrentItem(chart);
    m_quiet = false;
    storeChartList(); // the order is kept at once, not only with the next addition
}

void ChartPane::MenuItem5Click() { moveSelected(-1); }
void ChartPane::MenuItem6Click() { moveSelected(+1); }

void ChartPane::ToolButton9Click() { pasteChart(clipboardImage()); }

void ChartPane::pasteChart(const QImage& image)
{
    if (TreeView2->topLevelItemCount() == 0) {
        const std::optional<bool> folder = m_selectedIsFolder ? m_selectedIsFolder() : std::nullopt;
        if (m_document.isEmpty() || !folder || *folder) {
            m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                                  QStringLiteral("Добавьте сначала график, в левом окне правая кнопка мыши!"));
            return;
        }
        if (image.isNull()) {
            m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                                  QStringLiteral("В буфере обмена нет изображения."));
            return;
        }
        // A screenshot into a document without charts becomes its first
        // chart at once, named by the time; the pane opens to show it.
        appendChart(pastedPictureName(QDateTime::currentDateTime(), chartNames()));
        openPane();
    }
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    if (treeEntryOf(chart).imageIndex != 0) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Выберите документ, куда вставит граффик!"));
        return;
    }
    if (image.isNull()) {
        // An empty clipboard must not wipe a chart that is already saved.
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("В буфере обмена нет изображения."));
        return;
    }
    m_shownChart = chart->text(0);
    ImgPic2->pasteIntoChart(image);
    writeChart(m_shownChart);
}

void ChartPane::ToolButton12Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (!chart || chart->text(0).isEmpty())
        return;
    if (!QFile::exists(chartPath(chart->text(0))) || ImgPic2->hasPicture())
        writeChart(chart->text(0));
}

void ChartPane::ToolButton21Click()
{
    const QTreeWidgetItem* chart = selectedChart();
    if (chart && QFile::exists(chartPath(chart->text(0))))
        readChart(chart->text(0));
}

void ChartPane::ToolButton7Click() { ImgPic2->copyToClipboard(); }

void ChartPane::ToolButton10Click()
{
    if (m_prompts.confirm(QStringLiteral("Удалить график?"))) {
        ImgPic2->removePicture();
        ImgPic2->blankPicture();
        // Written like a stroke when the chart is left; reverting brings it back.
        ImgPic2->setModified(true);
    }
    ToolButton10->setChecked(false);
}

void ChartPane::ImgPic2DblClick()
{
    if (!ImgPic2->hasPicture())
        return;
    if (!m_big)
        m_big = new TFm_All(m_journal.drawingTool, m_prompts, window());
    m_big->showChart(*ImgPic2, ColorBox2);
}
