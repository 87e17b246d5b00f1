#pragma once

// The tab "Рисунок сделки" under the analysis table: the list of the chosen
// trade's pictures (`TreeView3`) and the picture (`ImPict` in `Panel1`)
// with the drawing toolbar (`ToolBar2`). The list lives in the trade's
// `t_tree`, each picture in its own file in the img folder.
//
// Strokes, text and zooms not yet written are written when the trader
// leaves the picture: another entry, another trade, and, through
// writePendingPicture(), another page or the end of the program. Until then
// "Отменить последние изменения" returns to the picture last written.

#include <QPoint>
#include <QString>
#include <QWidget>

class ColorBox;
class Journal;
class PictureSurface;
class Prompts;
class QFrame;
class QImage;
class QLabel;
class QMenu;
class QAction;
class QSpinBox;
class QToolBar;
class QToolButton;
class QTreeWidget;

class TradePicturesPanel : public QWidget {
    Q_OBJECT
public:
    TradePicturesPanel(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // The trade whose pictures are shown (`CurrentTradeId`), 0 before one is chosen.
    qint64 currentTradeId() const { return m_tradeId; }
    // The file of the selected entry, empty when none is selected.
    QString selectedPictureFile() const;

    // Shows a trade's list and its first picture; `id` is the text of the
    // analysis table's id column ("id" on the header row changes nothing).
    void chooseTrade(const QString& id);
    void TreeView3Click();        // choose the selected entry's picture
    void N22Click();              // add a picture
    void N24Click();              // delete a picture (menu)
    void ToolButton22Click();     // delete a picture (toolbar)
    void ToolButton13Click();     // paste from the clipboard
    void pasteImage(const QImage& image); // paste a picture from another program
    void ToolButton14Click();     // save
    void ToolButton24Click();     // revert to the picture last written
    void ToolButton25Click();     // zoom in, then write
    void ToolButton26Click();     // zoom out, then save
    // Writes strokes, text and zooms not yet written to the shown entry's file.
    void writePendingPicture();
    // The chosen trade is no longer listed: what was drawn is written and
    // the tab shows no trade.
    void forgetTrade();

signals:
    // A double-click on the picture: the annotation of the chosen trade.
    void editTradeRequested();
    // A pen colour was chosen on the toolbar.
    void penColourChosen();
    // The trade's list of pictures changed: whether it has pictures now.
    void picturesChanged(const QString& tradeId, bool hasPictures);

private:
    QWidget* makeToolBar();
    QWidget* makeList();
    QWidget* makePicturePanel();
    void syncModeButtons();
    QStringList entryNames() const;
    QString entryFile(const QString& name) const;
    bool imgFolderReady();
    // Reads the entry's file into the picture, or removes it when there is none.
    void showEntryPicture();
    void selectEntry(int index);
    void deletePicture(bool fromToolbar);
    void storeList();
    void storePosition();
    // Writes the picture to the shown entry's file; false when it failed (reported).
    bool writePicture();
    void placeEmptySurface();
    // Appends an entry, stores the list and selects it with a white picture.
    void appendEntry(const QString& name);

    QToolBar* ToolBar2 = nullptr;
    QToolButton* ToolButton13 = nullptr; // "Вставить график"
    QToolButton* ToolButton14 = nullptr; // "Сохранить"
    QToolButton* ToolButton22 = nullptr; // "Удалить график"
    QToolButton* ToolButton24 = nullptr; // "Отменить последние изменения"
    QToolButton* ToolButton17 = nullptr; // "Рисовать"
    QToolButton* ToolButton18 = nullptr; // "Вывести текст"
    QSpinBox* cbb_Width = nullptr;
    ColorBox* ColorBox1 = nullptr;
    QToolButton* ToolButton19 = nullptr; // "Скопировать в буфер"
    QToolButton* ToolButton25 = nullptr; // zoom in
    QToolButton* ToolButton26 = nullptr; // zoom out
    QToolButton* SavePictureAsPng = nullptr; // "Сохранить как PNG…"
    QTreeWidget* TreeView3 = nullptr;
    QMenu* PopupMenu4 = nullptr;
    QAction* N22 = nullptr; // "Добавить рисунок"
    QAction* N24 = nullptr; // "Удалить рисунок"
    QFrame* Panel1 = nullptr;
    QLabel* Panel1Caption = nullptr;
    PictureSurface* ImPict = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    qint64 m_tradeId = 0;
    QString m_account; // the chosen trade's account, which names its files
    int m_storedTop = 0; // img_top of the chosen trade, which marks it in "Рис" too
    // The file the shown picture came from or goes to, empty when it
    // belongs to no entry; zooms since it was last written.
    QString m_shownFile;
    bool m_zoomPending = false;
    bool m_quiet = false;
};
