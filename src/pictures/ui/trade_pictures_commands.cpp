// The commands of the tab "Рисунок сделки": choosing a trade and a picture,
// adding, deleting, pasting, saving, zooming and reverting, and what is
// stored in the trade's row, its list and its picture files.
#include "pictures/ui/trade_pictures_panel.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "db/core/sqlite_database.h"
#include "pictures/core/trade_pictures.h"
#include "pictures/ui/clipboard_picture.h"
#include "state/core/picture_snapshot.h"
#include "pictures/ui/picture_surface.h"
#include "state/ui/tree_snapshot.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

QStringList TradePicturesPanel::entryNames() const
{
    QStringList names;
    for (int i = 0; i < TreeView3->topLevelItemCount(); ++i)
        names.append(TreeView3->topLevelItem(i)->text(0));
    return names;
}

QString TradePicturesPanel::entryFile(const QString& name) const
{
    const QString& account = m_tradeId != 0 ? m_account : m_journal.activeAccount;
    return tradePictureFile(m_journal.path(QStringLiteral("img")), account, m_tradeId, name);
}

QString TradePicturesPanel::selectedPictureFile() const
{
    const QTreeWidgetItem* item = TreeView3->currentItem();
    if (!item || item->text(0).isEmpty())
        return QString();
    return entryFile(item->text(0));
}

bool TradePicturesPanel::imgFolderReady() { return QDir().mkpath(m_journal.path(QStringLiteral("img"))); }

void TradePicturesPanel::placeEmptySurface()
{
    if (!ImPict->hasPicture())
        ImPict->setBounds(Panel1->rect());
}

void TradePicturesPanel::chooseTrade(const QString& id)
{
    bool ok = false;
    const qint64 tradeId = id.toLongLong(&ok);
    if (!ok) // the header row, or no trade
        return;
    writePendingPicture();
    std::optional<TradePictureRow> row;
    try {
        row = TradePictureStore(m_journal.db()).loadTrade(tradeId);
    } catch (const JournalError& e) {
        reportError(m_prompts, e.message());
        return;
    }
    if (!row)
        return;
    ImPict->move(row->position);
    m_tradeId = tradeId;
    m_storedTop = row->position.y();
    m_account = row->account;
    m_quiet = true;
    TreeView3->clear();
    m_quiet = false;
    m_shownFile.clear();
    if (!row->list.isEmpty()) {
        try {
            applyTreeSnapshot(TreeView3, row->list);
        } catch (const SnapshotError& e) {
            reportError(m_prompts, e.message());
        }
    }
    for (int i = 0; i < TreeView3->topLevelItemCount(); ++i)
        TreeView3->topLevelItem(i)->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
    if (TreeView3->topLevelItemCount() == 0) {
        ImPict->removePicture();
        placeEmptySurface();
        return;
    }
    selectEntry(0);
}

void TradePicturesPanel::selectEntry(int index)
{
    m_quiet = true;
    TreeView3->setCurrentItem(TreeView3->topLevelItem(index));
    m_quiet = false;
    showEntryPicture();
}

void TradePicturesPanel::showEntryPicture()
{
    m_zoomPending = false;
    m_shownFile = selectedPictureFile();
    if (m_shownFile.isEmpty()) {
        ImPict->removePicture();
        placeEmptySurface();
        return;
    }
    QImage image;
    QRect bounds = ImPict->bounds();
    try {
        if (!readPictureFile(m_shownFile, image, bounds))
            image = QImage();
    } catch (const SnapshotError& e) {
        ImPict->setPicture(image);
        ImPict->setBounds(bounds);
        reportError(m_prompts, e.message());
        return;
    }
    ImPict->setPicture(image);
    if (image.isNull())
        placeEmptySurface();
    else
        ImPict->setBounds(bounds);
}

void TradePicturesPanel::TreeView3Click()
{
    writePendingPicture();
    showEntryPicture();
}

void TradePicturesPanel::N22Click()
{
    const std::optional<QString> answer =
        m_prompts.askText(pictureNameCaption(), QStringLiteral("Введите название"), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString problem = pictureNameProblem(*answer, entryNames());
    if (!problem.isEmpty()) {
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(), problem);
        return;
    }
    appendEntry(answer->trimmed());
}

void TradePicturesPanel::appendEntry(const QString& name)
{
    writePendingPicture();
    TreeEntry entry;
    entry.text = name;
    auto* item = makeTreeItem(entry);
    item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
    TreeView3->addTopLevelItem(item);
    storeList();
    m_quiet = true;
    TreeView3->setCurrentItem(item);
    m_quiet = false;
    m_shownFile = selectedPictureFile();
    m_zoomPending = false;
    ImPict->removePicture();
    ImPict->setBounds(Panel1->rect());
    ImPict->blankPicture();
}

void TradePicturesPanel::N24Click() { deletePicture(false); }

void TradePicturesPanel::ToolButton22Click() { deletePicture(true); }

void TradePicturesPanel::deletePicture(bool fromToolbar)
{
    QTreeWidgetItem* item = TreeView3->currentItem();
    if (!m_prompts.confirm(QStringLiteral("Удалить график")) || !item) {
        ToolButton22->setChecked(false);
        return;
    }
    const QString name = item->text(0);
    // An older list may hold one name twice: their shared file stays for the other.
    int sharing = 0;
    for (const QString& other : entryNames())
        sharing += other.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    if (sharing == 1 && !name.isEmpty())
        QFile::remove(entryFile(name));
    m_shownFile.clear(); // the shown strokes belonged to the deleted picture
    ImPict->setModified(false);
    if (fromToolbar)
        ImPict->blankPicture();
    m_quiet = true;
    delete item;
    if (TreeView3->topLevelItemCount() > 0)
        TreeView3->setCurrentItem(TreeView3->topLevelItem(0));
    m_quiet = false;
    storeList();
    // Both commands show the entry now selected, so that nothing drawn next
    // lands in a picture that is no longer in the list.
    showEntryPicture();
    ToolButton22->setChecked(false);
}

void TradePicturesPanel::ToolButton13Click() { pasteImage(clipboardImage()); }

void TradePicturesPanel::pasteImage(const QImage& image)
{
    if (TreeView3->topLevelItemCount() == 0) {
        if (m_tradeId == 0) {
            m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                                  QStringLiteral("Добавьте сначала рисунок, в левом окне \"Список рисунков\" правая "
                                                 "кнопка мыши!"));
            return;
        }
        if (image.isNull()) {
            m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                                  QStringLiteral("В буфере обмена нет рисунка."));
            return;
        }
        // The most common start: a screenshot into a trade without pictures
        // becomes its first picture at once, named by the time; renaming
        // it later is the trader's choice.
        appendEntry(pastedPictureName(QDateTime::currentDateTime(), entryNames()));
    }
    const QTreeWidgetItem* item = TreeView3->currentItem();
    if (!item || item->text(0).isEmpty())
        return;
    if (treeEntryOf(item).imageIndex != 0) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("Выберите рисунок, куда вставит граффик!"));
        return;
    }
    // Pasting nothing would replace the stored picture with an empty one.
    if (image.isNull()) {
        m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                              QStringLiteral("В буфере обмена нет рисунка."));
        return;
    }
    m_shownFile = selectedPictureFile();
    ImPict->pasteAsPicture(image);
    writePicture();
}

void TradePicturesPanel::ToolButton14Click()
{
    if (m_shownFile.isEmpty())
        return;
    if (!QFile::exists(m_shownFile) || ImPict->hasPicture())
        writePicture();
}

void TradePicturesPanel::ToolButton24Click()
{
    if (TreeView3->currentItem())
        showEntryPicture();
}

void TradePicturesPanel::ToolButton25Click()
{
    ImPict->zoomIn();
    m_zoomPending = true;
    if (!m_shownFile.isEmpty())
        writePicture();
}

void TradePicturesPanel::ToolButton26Click()
{
    ImPict->zoomOut();
    m_zoomPending = true;
    ToolButton14Click();
}

bool TradePicturesPanel::writePicture()
{
    if (m_shownFile.isEmpty())
        return false;
    try {
        if (!imgFolderReady())
            throw FileWriteError(QStringLiteral("Не удалось создать папку %1")
                                     .arg(QDir::toNativeSeparators(m_journal.path(QStringLiteral("img")))));
        writePictureFile(m_shownFile, QString::fromLatin1(kTradePictureName), ImPict->picture(), ImPict->bounds());
    } catch (const FileWriteError& e) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), e.message());
        return false;
    }
    ImPict->setModified(false);
    m_zoomPending = false;
    return true;
}

void TradePicturesPanel::writePendingPicture()
{
    if (!m_shownFile.isEmpty() && ImPict->hasPicture() && (ImPict->isModified() || m_zoomPending))
        writePicture();
}

void TradePicturesPanel::forgetTrade()
{
    writePendingPicture();
    m_tradeId = 0;
    m_account.clear();
    m_shownFile.clear();
    m_quiet = true;
    TreeView3->clear();
    m_quiet = false;
    ImPict->removePicture();
    placeEmptySurface();
}

void TradePicturesPanel::storeList()
{
    if (m_tradeId == 0)
        return;
    try {
        TradePictureStore(m_journal.db()).storeList(m_tradeId, takeTreeSnapshot(TreeView3));
    } catch (const JournalError& e) {
        reportError(m_prompts, e.message());
        return;
    }
    emit picturesChanged(QString::number(m_tradeId), TreeView3->topLevelItemCount() > 0 || m_storedTop != 0);
}

void TradePicturesPanel::storePosition()
{
    if (!ImPict->hasPicture() || m_tradeId == 0)
        return;
    try {
        TradePictureStore(m_journal.db()).storePosition(m_account, m_tradeId, ImPict->pos());
        m_storedTop = ImPict->pos().y();
    } catch (const ESQLiteException&) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                              QStringLiteral("Ошибка - Во время сохранения измененных данных (Комментарий)"));
    }
}
