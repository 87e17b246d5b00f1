#include "journal/ui/list_editor.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "db/core/safe_file.h"
#include "db/core/sqlite_database.h"
#include "journal/core/reference_lists.h"
#include "journal/core/trade_journal_store.h"

#include <QCollator>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

TFm_Sprav::TFm_Sprav(Journal& journal, Prompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TFm_Sprav"));
    setWindowTitle(QStringLiteral("Справочники"));
    setModal(true);
    setFixedSize(423, 298);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Добавление записей правка кнопка мыши"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setToolTip(QStringLiteral("Добавить пункт правая кнопка мыши"));
    QFont f = ListBox1->font();
    f.setPointSizeF(f.pointSizeF() + 2);
    ListBox1->setFont(f);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("Добавить"), this, &TFm_Sprav::N1Click)->setObjectName(QStringLiteral("N1"));
    PopupMenu1->addAction(QStringLiteral("Переименовать"), this, &TFm_Sprav::N4Click)->setObjectName(QStringLiteral("N4"));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Удалить"), this, &TFm_Sprav::N3Click)->setObjectName(QStringLiteral("N3"));
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(pos)); });
    // A double-click picks the entry under the pointer and closes the editor.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        ListBox1->setCurrentItem(item);
        close();
    });
}

void TFm_Sprav::openList(const QString& listName)
{
    setWindowTitle(listName);
    FormShow();
    open();
}

void TFm_Sprav::FormShow()
{
    ListBox1->clear();
    m_column.clear();
    const ListInfo* info = findList(windowTitle());
    if (!info)
        return;
    m_column = t_sdelki::name(info->column);
    const QStringList entries = ReferenceLists::readList(ReferenceLists::filePath(m_journal.appDir(), info->id));
    ListBox1->addItems(entries);
}

QStringList TFm_Sprav::entries() const
{
    QStringList out;
    for (int i = 0; i < ListBox1->count(); ++i)
        out << ListBox1->item(i)->text();
    return out;
}

void TFm_Sprav::insertSorted(const QString& text)
{
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    int row = 0;
    while (row < ListBox1->count() && collator.compare(ListBox1->item(row)->text(), text) <= 0)
        ++row;
    ListBox1->insertItem(row, text);
    ListBox1->setCurrentRow(row);
}

void TFm_Sprav::N1Click()
{
    // Cancelling gives the empty default, which is added as an empty entry.
    const QString text = m_prompts.askText(QStringLiteral("Добавить пункт"), QStringLiteral("Введите название"), QString())
                             .value_or(QString());
    insertSorted(text);
}

void TFm_Sprav::N4Click()
{
    QListWidgetItem* item = ListBox1->currentItem();
    if (ListBox1->count() == 0 || !item)
        return;
    const QString oldText = item->text();
    const auto answer = m_prompts.askText(QStringLiteral("Переименовать пункт"), QStringLiteral("Введите новое название"), oldText);
    if (!answer)
        return; // cancelled: the name stays and no trade changes
    item->setText(*answer);
    if (m_column.isEmpty())
        return;
    try {
        TradeJournalStore(m_journal.db()).renameEntry(m_column, oldText, *answer);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
    }
}

void TFm_Sprav::N3Click()
{
    if (QListWidgetItem* item = ListBox1->currentItem())
        delete item;
}

bool TFm_Sprav::FormClose()
{
    if (ListBox1->count() == 0)
        return true; // the file and the field keep what they had
    const ListInfo* info = findList(windowTitle());
    const QString path = info ? ReferenceLists::filePath(m_journal.appDir(), info->id)
                              : m_journal.path(QStringLiteral("sprav/") + windowTitle() + QStringLiteral(".txt"));
    const QStringList list = entries();
    try {
        ReferenceLists::writeList(path, list);
    } catch (const FileWriteError& e) {
        reportError(m_prompts, e.message());
        return false;
    }
    if (info) {
        m_journal.lists.entries(info->id) = list;
        // Only an entry the trader picked counts: the list gives its first
        // entry the focus on showing, which is no choice, and taking it
        // would overwrite what the field held.
        const QList<QListWidgetItem*> picked = ListBox1->selectedItems();
        emit listSaved(windowTitle(), list, picked.isEmpty() ? QString() : picked.first()->text());
    }
    return true;
}

void TFm_Sprav::keyPressEvent(QKeyEvent* event)
{
    // The editor has no buttons: Enter closes it as a double-click does,
    // with the entry the trader moved to chosen for the field. Esc closes
    // it as the window's own close does; either way the list is kept.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFm_Sprav::done(int result)
{
    if (!FormClose())
        return;
    QDialog::done(result);
}
