#pragma once

// The chart pane of the notebook page (`Panel9`, below the editor): the
// open document's chart list `TreeView2`, its toolbar `ToolBar1` and the
// chart picture `ImgPic2` on `Pan_Image`. The list lives in the document's
// row (b_img), each chart's picture in img/<document>_<chart>.paz, with
// its bounds in `Pan_Image`.
//
// Strokes, text, pans, clearing and the big window's edits not yet written
// are written when the trader leaves the chart: another chart, another
// document, and, through writePendingChart(), another page or the end of
// the program. Until then "Отменить последние изменения" returns to the
// picture last written.

#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

class ColorBox;
class Journal;
class PictureSurface;
class Prompts;
class TFm_All;
class QAction;
class QImage;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class ChartPane : public QWidget {
    Q_OBJECT
public:
    ChartPane(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

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
    const QImage& picture() const;
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
    void ToolButton10Click();
    void Button6Click();
    // Pastes a picture from another program into the selected chart and writes it.
    void pasteChart(const QImage& image);
    // The big window over the chart; returns when it closes.
    void ImgPic2DblClick();
    // The big window, made at the first double-click; null before.
    TFm_All* bigWindow() const { return m_big; }
    // Writes strokes, text and pans of the shown chart not yet written.
    void writePendingChart();

signals:
    // A colour item of the menu: the notebook tree's node takes that icon.
    void colourRequested(int imageIndex);
    // A pen colour was chosen on the toolbar.
    void penColourChosen();

private:
    QWidget* makeHeader();
    QWidget* makeBody();
    QWidget* makeImagePanel(QWidget* parent);
    QToolBar* makeToolBar(QWidget* parent);
    void buildMenu();
    void connectList();
    void enableCommands();
    void syncModeButtons();
    void storeChartList();
    void removePicture();
    void placeEmptySurface();
    // Shows the chart's file; false, leaving the picture as it is, when it
    // cannot be read.
    bool readChart(const QString& chart);
    bool writeChart(const QString& chart);
    // Shows the selected chart's file, or no picture when it has none.
    void showSelectedChart();
    QString chartPath(const QString& chart) const;
    QTreeWidgetItem* selectedChart() const;
    void openPane();
    void collapsePane();
    void moveSelected(int step);
    // Appends a chart, stores the list and selects it with a white picture.
    void appendChart(const QString& name);

    QWidget* Panel10 = nullptr;
    QPushButton* Button6 = nullptr;
    QTreeWidget* TreeView2 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton9 = nullptr;  // "Вставить график"
    QToolButton* ToolButton21 = nullptr; // "Отменить последние изменения"
    QToolButton* ToolButton12 = nullptr; // "Сохранить"
    QToolButton* ToolButton7 = nullptr;  // "Скопировать в буфер"
    QToolButton* ToolButton5 = nullptr;  // "Рисовать"
    QToolButton* ToolButton6 = nullptr;  // "Вывести текст"
    QToolButton* ToolButton10 = nullptr; // "Очистить"
    QToolButton* ChartZoomIn = nullptr;  // "+"
    QToolButton* ChartZoomOut = nullptr; // "−"
    QToolButton* SaveChartAsPng = nullptr; // "Сохранить как PNG…"
    ColorBox* ColorBox2 = nullptr;
    QWidget* Pan_Image = nullptr;
    PictureSurface* ImgPic2 = nullptr;
    QMenu* PopupMenu_Tree2 = nullptr;
    QAction* MenuItem2 = nullptr; // "Добавить график"
    QAction* N21 = nullptr;       // "Переименовать"
    QAction* MenuItem3 = nullptr; // "Удалить"
    QAction* MenuItem5 = nullptr; // "Переместить вверх"
    QAction* MenuItem6 = nullptr; // "Переместить вниз"

    Journal& m_journal;
    Prompts& m_prompts;
    QString m_document;
    // The chart whose picture is on screen (empty when it belongs to none),
    // and its bounds as last read or written.
    QString m_shownChart;
    QRect m_writtenBounds;
    bool m_quiet = false; // selection changes made by the pane itself
    TFm_All* m_big = nullptr;
    QWidget* m_body = nullptr; // everything below the header, hidden while collapsed
    QLabel* m_caption = nullptr;
    QLabel* m_hint = nullptr; // "Развернуть изображение - двойной клик по графику"
    QSplitter* m_splitter = nullptr;
    std::function<std::optional<bool>()> m_selectedIsFolder;
};
