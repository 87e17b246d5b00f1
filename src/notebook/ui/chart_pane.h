#pragma once

// The chart pane of the notebook page (`Panel9`, below the editor): the
// open document's chart list `TreeView2`, its toolbar `ToolBar1` and the
// chart picture `ImgPic2` on `Pan_Image`. The list lives in the document's
// row (b_img), each chart's picture in img/<document>_<chart>.paz. The
// picture is shown as it is; drawing on it comes with the picture surface.

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

class Journal;
class Prompts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class ChartPane : public QWidget {
    Q_OBJECT
public:
    ChartPane(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    QWidget* Panel10 = nullptr;
    QPushButton* Button6 = nullptr;
    QTreeWidget* TreeView2 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton9 = nullptr;  // "Вставить график"
    QToolButton* ToolButton21 = nullptr; // "Отменить последние изменения"
    QToolButton* ToolButton12 = nullptr; // "Сохранить"
    QToolButton* ToolButton7 = nullptr;  // "Скопировать в буфер"
    QWidget* Pan_Image = nullptr;
    QLabel* ImgPic2 = nullptr;
    QMenu* PopupMenu_Tree2 = nullptr;
    QAction* MenuItem2 = nullptr; // "Добавить график"
    QAction* N21 = nullptr;       // "Переименовать"
    QAction* MenuItem3 = nullptr; // "Удалить"
    QAction* MenuItem5 = nullptr; // "Переместить вверх"
    QAction* MenuItem6 = nullptr; // "Переместить вниз"

    // The splitter whose lower part the pane is; opening and collapsing
    // set its sizes.
    void setSplitter(QSplitter* splitter) { m_splitter = splitter; }
    // Tells whether the notebook tree's selected node is a folder; nothing
    // when no node is selected.
    void setTreeSelection(std::function<std::optional<bool>()> selectedIsFolder)
    {
        m_selectedIsFolder = std::move(selectedIsFolder);
    }

    // The charts of a document (its row's b_img), the first one shown.
    void loadCharts(const QString& document);
    // No document's charts: the list empty, no picture, the pane collapsed.
    void emptyCharts(const QString& document);
    // The document was renamed: the list now stores under the new name.
    void documentRenamed(const QString& newName) { m_document = newName; }

    // Lays the pane out as its button says, once the page has its size.
    void fitPane();

    QStringList chartNames() const;
    const QImage& picture() const { return m_image; }
    bool isOpen() const;

    void TreeView2Click();
    void MenuItem2Click();
    void N21Click();
    void MenuItem3Click();
    void MenuItem5Click();
    void MenuItem6Click();
    void ToolButton9Click();
    void ToolButton12Click();
    void ToolButton21Click();
    void ToolButton7Click();
    void Button6Click();

signals:
    // A colour item of the menu: the notebook tree's node takes that icon.
    void colourRequested(int imageIndex);

private:
    void buildMenu();
    void enableCommands();
    void storeChartList();
    void showPicture(const QImage& image, const QRect& bounds);
    void removePicture();
    bool readChart(const QString& chart);
    void writeChart(const QString& chart);
    QString chartPath(const QString& chart) const;
    QTreeWidgetItem* selectedChart() const;
    void openPane();
    void collapsePane();
    void moveSelected(int step);

    Journal& m_journal;
    Prompts& m_prompts;
    QString m_document;
    QImage m_image;
    QRect m_bounds;
    QWidget* m_body = nullptr; // everything below the header, hidden while collapsed
    QLabel* m_caption = nullptr;
    QScrollArea* m_scroll = nullptr;
    QSplitter* m_splitter = nullptr;
    std::function<std::optional<bool>()> m_selectedIsFolder;
};
