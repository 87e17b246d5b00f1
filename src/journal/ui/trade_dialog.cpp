#include "journal/ui/trade_dialog.h"

#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/web_links.h"
#include "db/core/safe_file.h"
#include "import/core/csv_trades.h"
#include "journal/ui/list_editor.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QStringList kRatings = {QStringLiteral("Отлично"), QStringLiteral("Плохо"), QStringLiteral("Ужасно")};
const QStringList kMarketTypes = {QStringLiteral("по тренду"), QStringLiteral("против тренда"), QStringLiteral("флэт"),
                                  QStringLiteral("откат")};
constexpr int kDesignHeight = 666;
constexpr int kTitleBarAllowance = 32;
const QString kTutorial = QStringLiteral("Видеоурок 7 - Создание сделки предварительно");

QLabel* makeLabel(const QString& text, const char* colour, QWidget* parent, bool bold = true)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: %1;%2").arg(QLatin1String(colour), bold ? QStringLiteral(" font-weight: bold;") : QString()));
    return label;
}

QComboBox* makeCombo(const char* name, bool editable, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QPlainTextEdit* makeMemo(const char* name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setTabChangesFocus(true); // Enter is a new line, Ctrl+Enter saves (TForm_Add::eventFilter)
    memo->setFixedHeight(64);
    return memo;
}

// New entries for a list field; the text in the field stays as typed.
void setEntriesKeepingText(QComboBox* box, const QStringList& entries)
{
    const QString text = box->currentText();
    box->clear();
    box->addItems(entries);
    box->setEditText(text);
}

} // namespace

TForm_Add::TForm_Add(Journal& journal, Prompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_journal(journal)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TForm_Add"));
    setWindowTitle(QStringLiteral("Анализ сделки"));
    setModal(true);
    resize(379, kDesignHeight);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeTicketPart());
    // On a small screen the fields scroll between the order number and the
    // buttons, which stay in sight.
    auto* fields = new QScrollArea(this);
    fields->setObjectName(QStringLiteral("ScrollBox_Fields"));
    fields->setFrameShape(QFrame::NoFrame);
    fields->setFocusPolicy(Qt::NoFocus); // Tab goes through the fields, not the frame
    fields->setWidgetResizable(true);
    fields->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* groups = new QWidget(fields);
    auto* groupsLayout = new QVBoxLayout(groups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(makeTradeGroup());
    groupsLayout->addWidget(makeAnnotationGroup());
    fields->setWidget(groups);
    layout->addWidget(fields, 1);
    layout->addLayout(makeButtonRow());
    setTabOrderOfLayout();

    m_editor = new TFm_Sprav(journal, prompts, this);
    connect(m_editor, &TFm_Sprav::listSaved, this, &TForm_Add::onListSaved);
    setRating(QString());
}

// The order number, what to do with it for a trade made in advance, and the
// video lesson on that.
QLayout* TForm_Add::makeTicketPart()
{
    auto* part = new QVBoxLayout;
    auto* ticketRow = new QHBoxLayout;
    auto* ticketLabel = makeLabel(QStringLiteral("Номер ордера"), "rgb(128,128,128)", this, false);
    ticketLabel->setToolTip(QStringLiteral("Из терминала MetaTrade"));
    Edit_Ticket = new QLineEdit(this);
    Edit_Ticket->setObjectName(QStringLiteral("Edit_Ticket"));
    Edit_Ticket->setToolTip(QStringLiteral("Из терминала MetaTrade"));
    ticketRow->addWidget(ticketLabel);
    ticketRow->addWidget(Edit_Ticket);
    part->addLayout(ticketRow);
    for (const QString& line : {QStringLiteral("Если вы добавляете сделку до открытия позиции в терминале"),
                                QStringLiteral("эта поле оставляете пустым. Потом когда Вам известен № ордера"),
                                QStringLiteral("впишите в это поле")})
        part->addWidget(makeLabel(line, "rgb(128,128,128)", this, false));
    auto* link = new QLabel(QStringLiteral("<a href=\"video\">%1</a>").arg(kTutorial), this);
    link->setObjectName(QStringLiteral("Label_Video7"));
    link->setCursor(Qt::PointingHandCursor);
    link->setToolTip(QStringLiteral("Посмотреть видеоурок"));
    connect(link, &QLabel::linkActivated, this, [] { QDesktopServices::openUrl(weblinks::videoTutorial(kTutorial)); });
    part->addWidget(link);
    return part;
}

// "Сделка": what a statement would bring, for a trade entered by hand;
// two fields a row so that the dialog stays short.
QGroupBox* TForm_Add::makeTradeGroup()
{
    GroupBox_Trade = new QGroupBox(QStringLiteral("Сделка"), this);
    GroupBox_Trade->setObjectName(QStringLiteral("GroupBox_Trade"));
    auto* grid = new QGridLayout(GroupBox_Trade);
    auto edit = [&](const char* name, const QString& placeholder = QString()) {
        auto* e = new QLineEdit(GroupBox_Trade);
        e->setObjectName(QLatin1String(name));
        e->setPlaceholderText(placeholder);
        return e;
    };
    Edit_Symbol = edit("Edit_Symbol", QStringLiteral("EURUSD"));
    ComboBox_Type = makeCombo("ComboBox_Type", false, GroupBox_Trade);
    ComboBox_Type->addItem(QString(), QString());
    ComboBox_Type->addItem(QStringLiteral("buy (покупка)"), QStringLiteral("buy"));
    ComboBox_Type->addItem(QStringLiteral("sell (продажа)"), QStringLiteral("sell"));
    Edit_Size = edit("Edit_Size", QStringLiteral("0,10"));
    Edit_Profit = edit("Edit_Profit", QStringLiteral("-12,50"));
    Edit_OpenTime = edit("Edit_OpenTime", QStringLiteral("ГГГГ.ММ.ДД ЧЧ:ММ"));
    Edit_CloseTime = edit("Edit_CloseTime", QStringLiteral("ГГГГ.ММ.ДД ЧЧ:ММ"));
    Edit_PriceOpen = edit("Edit_PriceOpen");
    Edit_PriceClose = edit("Edit_PriceClose");
    Edit_SL = edit("Edit_SL");
    Edit_TP = edit("Edit_TP");
    Edit_Commission = edit("Edit_Commission");
    Edit_Swap = edit("Edit_Swap");
    const char* colour = "rgb(0,0,0)";
    int row = 0;
    auto pair = [&](const QString& left, QWidget* a, const QString& right, QWidget* b) {
        grid->addWidget(makeLabel(left, colour, GroupBox_Trade), row, 0);
        grid->addWidget(a, row, 1);
        m_tradeOrder << a;
        if (b) {
            grid->addWidget(makeLabel(right, colour, GroupBox_Trade), row, 2);
            grid->addWidget(b, row, 3);
            m_tradeOrder << b;
        }
        ++row;
    };
    auto wide = [&](const QString& label, QWidget* a) {
        grid->addWidget(makeLabel(label, colour, GroupBox_Trade), row, 0);
        grid->addWidget(a, row, 1, 1, 3);
        m_tradeOrder << a;
        ++row;
    };
    pair(QStringLiteral("Символ"), Edit_Symbol, QStringLiteral("Тип"), ComboBox_Type);
    pair(QStringLiteral("Объем"), Edit_Size, QStringLiteral("Прибыль *"), Edit_Profit);
    wide(QStringLiteral("Открыта"), Edit_OpenTime);
    wide(QStringLiteral("Закрыта"), Edit_CloseTime);
    pair(QStringLiteral("Цена откр."), Edit_PriceOpen, QStringLiteral("закр."), Edit_PriceClose);
    pair(QStringLiteral("S/L"), Edit_SL, QStringLiteral("T/P"), Edit_TP);
    pair(QStringLiteral("Комиссия"), Edit_Commission, QStringLiteral("Своп"), Edit_Swap);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    GroupBox_Trade->setToolTip(QStringLiteral("Прибыль обязательна, если заполнено любое поле сделки. "
                                              "Пустая группа - сделка, запланированная заранее"));
    return GroupBox_Trade;
}

void TForm_Add::makeAnnotationFields(QWidget* group)
{
    ComboBox_Time = makeCombo("ComboBox_Time", true, group);
    ComboBox_Trend = makeCombo("ComboBox_Trend", true, group);
    ComboBox_Trend->addItems(kMarketTypes);
    ComboBox_Enter = makeCombo("ComboBox_Enter", true, group);
    Memo_Enter = makeMemo("Memo_Enter", group);
    ComboBox_Exit = makeCombo("ComboBox_Exit", true, group);
    Memo_Exit = makeMemo("Memo_Exit", group);
    Edit_Nedobral = new QLineEdit(group);
    Edit_Nedobral->setObjectName(QStringLiteral("Edit_Nedobral"));
    Edit_Spas = new QLineEdit(group);
    Edit_Spas->setObjectName(QStringLiteral("Edit_Spas"));
    ComboBox_Erorr = makeCombo("ComboBox_Erorr", true, group);
    ComboBox_Psixo = makeCombo("ComboBox_Psixo", true, group);
    Edit_Comment = makeMemo("Edit_Comment", group);
    ComboBox_Ocenka = makeCombo("ComboBox_Ocenka", false, group);
    ComboBox_Ocenka->addItems(kRatings);
    for (QPlainTextEdit* memo : {Memo_Enter, Memo_Exit, Edit_Comment})
        memo->installEventFilter(this);
}

// "До сделки": the annotation fields with their captions, the buttons of
// the reference lists and the two help buttons.
QGroupBox* TForm_Add::makeAnnotationGroup()
{
    auto* group = new QGroupBox(QStringLiteral("До сделки"), this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* field, QWidget* button = nullptr) {
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(field, row, 1);
        m_fieldOrder.append(field);
        if (button) {
            grid->addWidget(button, row, 2, Qt::AlignTop);
            m_fieldOrder.append(button);
        }
        ++row;
    };
    auto listButton = [&](ListId id, const char* name) {
        auto* b = new QToolButton(group);
        b->setObjectName(QLatin1String(name));
        b->setText(QStringLiteral("…"));
        b->setToolTip(QStringLiteral("Справочник"));
        connect(b, &QToolButton::clicked, this, [this, id] { openListEditor(id); });
        return b;
    };
    auto helpButton = [&](void (TForm_Add::*slot)(), const QString& hint, const char* name) {
        auto* b = new QToolButton(group);
        b->setObjectName(QLatin1String(name));
        b->setText(QStringLiteral("?"));
        b->setToolTip(hint);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };

    makeAnnotationFields(group);
    addRow(makeLabel(QStringLiteral("Таймфэйм:"), "rgb(0,0,255)", group), ComboBox_Time, listButton(ListId::Timeframe, "BitBtn4"));
    addRow(makeLabel(QStringLiteral("Тип рынка"), "rgb(0,0,255)", group), ComboBox_Trend);
    addRow(makeLabel(QStringLiteral("Вход:"), "rgb(0,128,0)", group), ComboBox_Enter, listButton(ListId::Enter, "BitBtn3"));
    addRow(makeLabel(QStringLiteral("Анализ входа"), "rgb(0,128,0)", group), Memo_Enter);
    addRow(makeLabel(QStringLiteral("Выход:"), "rgb(255,0,0)", group), ComboBox_Exit, listButton(ListId::Exit, "BitBtn6"));
    addRow(makeLabel(QStringLiteral("Анализ выхода"), "rgb(255,0,0)", group), Memo_Exit);
    addRow(makeLabel(QStringLiteral("Недобрал"), "rgb(255,0,0)", group), Edit_Nedobral,
           helpButton(&TForm_Add::pointsHelp, QStringLiteral("Что такое недобрал"), "Button_NedobralHelp"));
    auto* spasLabel = makeLabel(QStringLiteral("Спас"), "rgb(0,0,0)", group);
    addRow(spasLabel, Edit_Spas);
    spasLabel->hide();
    Edit_Spas->hide();
    addRow(makeLabel(QStringLiteral("Ошибка тех:"), "rgb(0,0,0)", group), ComboBox_Erorr, listButton(ListId::Technique, "BitBtn7"));
    addRow(makeLabel(QStringLiteral("Ошибка псих:"), "rgb(128,0,128)", group), ComboBox_Psixo, listButton(ListId::Psixo, "BitBtn5"));
    addRow(makeLabel(QStringLiteral("Комментарий:"), "rgb(0,0,0)", group), Edit_Comment);
    addRow(makeLabel(QStringLiteral("Оценка:"), "rgb(0,0,255)", group), ComboBox_Ocenka,
           helpButton(&TForm_Add::ratingHelp, QStringLiteral("Как формируются оценки"), "Button_OcenkaHelp"));
    grid->setColumnStretch(1, 1);
    return group;
}

QLayout* TForm_Add::makeButtonRow()
{
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("Сохранить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    // Enter saves (a focused "Отмена" takes Enter for itself), Esc cancels.
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm_Add::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

// Tab walks the dialog as it reads: the ticket, each row's field and then
// the button beside it, the save and cancel buttons.
void TForm_Add::setTabOrderOfLayout()
{
    QList<QWidget*> order{Edit_Ticket};
    order += m_tradeOrder;
    order += m_fieldOrder;
    order << BitBtn1 << BitBtn2;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool TForm_Add::eventFilter(QObject* watched, QEvent* event)
{
    // In the three multi-line fields Enter is a new line; Ctrl+Enter saves.
    if (event->type() == QEvent::KeyPress && qobject_cast<QPlainTextEdit*>(watched)) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ControlModifier)) {
            BitBtn1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Add::keyPressEvent(QKeyEvent* event)
{
    // A list or help button that has the focus takes Enter for itself, as
    // "Отмена" does; anywhere else Enter saves.
    auto* button = qobject_cast<QToolButton*>(focusWidget());
    if (button && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QComboBox* TForm_Add::listField(ListId id) const
{
    switch (id) {
    case ListId::Timeframe: return ComboBox_Time;
    case ListId::Enter: return ComboBox_Enter;
    case ListId::Exit: return ComboBox_Exit;
    case ListId::Psixo: return ComboBox_Psixo;
    case ListId::Technique: return ComboBox_Erorr;
    }
    return nullptr;
}

void TForm_Add::refillListFields()
{
    for (const ListInfo& info : listInfos())
        setEntriesKeepingText(listField(info.id), m_journal.lists.entries(info.id));
}

void TForm_Add::setRating(const QString& rating)
{
    while (ComboBox_Ocenka->count() > kRatings.size())
        ComboBox_Ocenka->removeItem(kRatings.size());
    if (rating.isEmpty()) {
        ComboBox_Ocenka->setCurrentIndex(-1); // no rating until the trader picks one
        return;
    }
    int index = ComboBox_Ocenka->findText(rating);
    if (index < 0) {
        // A rating the list does not know is shown and saved back unchanged.
        ComboBox_Ocenka->addItem(rating);
        index = ComboBox_Ocenka->count() - 1;
    }
    ComboBox_Ocenka->setCurrentIndex(index);
}

TradeAnnotation TForm_Add::fields() const
{
    TradeAnnotation a;
    a.ticket = Edit_Ticket->text();
    a.comment = Edit_Comment->toPlainText();
    a.pravilo = ComboBox_Erorr->currentText();
    a.pravilo2 = ComboBox_Exit->currentText();
    a.enter = Memo_Enter->toPlainText();
    a.exit = Memo_Exit->toPlainText();
    a.nedobral = Edit_Nedobral->text();
    a.spas = Edit_Spas->text();
    a.taktika = ComboBox_Enter->currentText();
    a.strategia = ComboBox_Time->currentText();
    a.psixo = ComboBox_Psixo->currentText();
    a.ocenka = ComboBox_Ocenka->currentIndex() < 0 ? QString() : ComboBox_Ocenka->currentText();
    a.verno = ComboBox_Trend->currentText();
    return a;
}

HandTrade TForm_Add::tradeFields() const
{
    HandTrade t;
    t.symbol = Edit_Symbol->text().trimmed();
    t.type = ComboBox_Type->currentData().toString();
    t.size = Edit_Size->text().trimmed();
    t.openTime = Edit_OpenTime->text().trimmed();
    t.closeTime = Edit_CloseTime->text().trimmed();
    t.priceOpen = Edit_PriceOpen->text().trimmed();
    t.priceClose = Edit_PriceClose->text().trimmed();
    t.sl = Edit_SL->text().trimmed();
    t.tp = Edit_TP->text().trimmed();
    t.commission = Edit_Commission->text().trimmed();
    t.swap = Edit_Swap->text().trimmed();
    t.profit = Edit_Profit->text().trimmed();
    return t;
}

std::optional<HandTrade> TForm_Add::readTradeFields()
{
    HandTrade t = tradeFields();
    const auto refuse = [&](QLineEdit* field, const QString& text) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), text);
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    };
    if (t == HandTrade{})
        return t; // a trade planned before it is opened: nothing to read
    if (t.profit.isEmpty())
        return refuse(Edit_Profit, QStringLiteral("Укажите прибыль сделки: без нее сделка не попадет в статистику."));
    const std::pair<QLineEdit*, QString*> numbers[] = {
        {Edit_Size, &t.size},   {Edit_Profit, &t.profit}, {Edit_PriceOpen, &t.priceOpen}, {Edit_PriceClose, &t.priceClose},
        {Edit_SL, &t.sl},       {Edit_TP, &t.tp},         {Edit_Commission, &t.commission}, {Edit_Swap, &t.swap}};
    for (const auto& [field, value] : numbers) {
        if (value->isEmpty())
            continue;
        const std::optional<QString> number = csvNumber(*value);
        if (!number)
            return refuse(field, QStringLiteral("«%1» не является числом. Введите число, например 0,10 или -12,50.")
                                     .arg(*value));
        *value = *number;
    }
    for (const auto& [field, value] : {std::pair{Edit_OpenTime, &t.openTime}, std::pair{Edit_CloseTime, &t.closeTime}}) {
        if (value->isEmpty())
            continue;
        const std::optional<QString> time = csvTime(*value);
        if (!time)
            return refuse(field, QStringLiteral("«%1» не является датой и временем. Введите, например, 2024.03.01 10:15.")
                                     .arg(*value));
        *value = *time;
    }
    return t;
}

void TForm_Add::setFields(const TradeAnnotation& a)
{
    Edit_Ticket->setText(a.ticket);
    Edit_Comment->setPlainText(a.comment);
    ComboBox_Erorr->setEditText(a.pravilo);
    ComboBox_Exit->setEditText(a.pravilo2);
    Memo_Enter->setPlainText(a.enter);
    Memo_Exit->setPlainText(a.exit);
    Edit_Nedobral->setText(a.nedobral);
    Edit_Spas->setText(a.spas);
    ComboBox_Enter->setEditText(a.taktika);
    ComboBox_Time->setEditText(a.strategia);
    ComboBox_Psixo->setEditText(a.psixo);
    setRating(a.ocenka);
    ComboBox_Trend->setEditText(a.verno);
}

void TForm_Add::clearAll() { setFields(TradeAnnotation{}); }

void TForm_Add::setMode(bool newTrade)
{
    m_newTrade = newTrade;
    BitBtn1->setText(newTrade ? QStringLiteral("Добавить сделку") : QStringLiteral("Сохранить сделку"));
    // A stored trade's prices come from its statement; only a new one is typed.
    GroupBox_Trade->setVisible(newTrade);
    setWindowTitle(newTrade ? QStringLiteral("Новая сделка") : QStringLiteral("Анализ сделки"));
}

// The design height, or the screen's when that is lower (a netbook's
// 600 pixels, less the title bar): the fields then scroll.
void TForm_Add::fitToScreen()
{
    const QWidget* over = parentWidget() ? parentWidget() : this;
    if (const QScreen* shownOn = over->screen()) {
        const QSize room = shownOn->availableGeometry().size() - QSize(0, kTitleBarAllowance);
        resize(QSize(width(), kDesignHeight).boundedTo(room).expandedTo(minimumSizeHint()));
    }
}

bool TForm_Add::openForEdit(const QString& id)
{
    refillListFields();
    clearAll();
    std::optional<TradeAnnotation> a;
    try {
        a = TradeJournalStore(m_journal.db()).load(id);
    } catch (const std::exception& e) {
        reportError(m_prompts, e);
        return false;
    }
    if (!a)
        return false;
    setFields(*a);
    m_id = id;
    setMode(false);
    fitToScreen();
    open();
    Edit_Ticket->setFocus();
    return true;
}

void TForm_Add::openForNewTrade()
{
    refillListFields();
    clearAll();
    for (QWidget* w : m_tradeOrder) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->clear();
    }
    ComboBox_Type->setCurrentIndex(0);
    m_id.clear();
    setMode(true);
    fitToScreen();
    open();
    Edit_Ticket->setFocus();
}

void TForm_Add::BitBtn1Click()
{
    const TradeAnnotation a = fields();
    std::optional<HandTrade> trade;
    if (m_newTrade && !(trade = readTradeFields()))
        return; // the message named the field; the dialog stays open
    try {
        TradeJournalStore store(m_journal.db());
        m_savedDay = {};
        if (m_newTrade && *trade != HandTrade{}) {
            store.insertHandTrade(m_journal.activeAccount, a, *trade, QDateTime::currentDateTime());
            if (!trade->openTime.isEmpty())
                m_savedDay = QDate::fromString(trade->openTime.left(10), QStringLiteral("yyyy.MM.dd"));
        } else if (m_newTrade) {
            store.insertNew(m_journal.activeAccount, a, QDateTime::currentDateTime());
        } else {
            store.update(m_id, a);
        }
    } catch (const std::exception& e) {
        // Nothing was written: the dialog stays open with what was typed.
        reportError(m_prompts, e);
        return;
    }
    emit saved(m_newTrade);

    // New texts typed into the list fields join their lists.
    for (ListId id : {ListId::Enter, ListId::Exit, ListId::Psixo, ListId::Technique, ListId::Timeframe}) {
        QComboBox* box = listField(id);
        QStringList& entries = m_journal.lists.entries(id);
        if (!addEntry(entries, box->currentText()))
            continue;
        setEntriesKeepingText(box, entries);
        try {
            ReferenceLists::writeList(ReferenceLists::filePath(m_journal.appDir(), id), entries);
        } catch (const FileWriteError& e) {
            reportError(m_prompts, e.message());
            return;
        }
    }
    accept();
}

void TForm_Add::ratingHelp()
{
    m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                          QStringLiteral("Как формируется оценка сделки\r"
                                         " Отлично (+5 балов) - Правильный вход и выход\r"
                                         " Плохо (+3 балов) - Правильный вход или выход\r"
                                         " Ужасно (0 балов) - Все неправильно"));
}

void TForm_Add::pointsHelp()
{
    m_prompts.showMessage(Prompts::Icon::Information, applicationTitle(),
                          QStringLiteral("Скольпо пунктов бы взял, если правильно вышел!"));
}

void TForm_Add::openListEditor(ListId id)
{
    m_editor->openList(QString::fromUtf16(listInfo(id).name));
}

void TForm_Add::onListSaved(const QString& listName, const QStringList& entries, const QString& selected)
{
    const ListInfo* info = findList(listName);
    if (!info)
        return;
    QComboBox* box = listField(info->id);
    const QString typed = box->currentText();
    box->clear();
    box->addItem(QString()); // the field's entries begin with an empty one
    box->addItems(entries);
    if (!selected.isNull())
        box->setCurrentIndex(box->findText(selected));
    else
        box->setEditText(typed);
}

bool deleteTrade(Journal& journal, Prompts& prompts, const QString& id)
{
    if (id.isEmpty())
        return false;
    if (!prompts.confirm(QStringLiteral("Удалить выбранную запись №") + id + QStringLiteral(" ?")))
        return false;
    try {
        TradeJournalStore(journal.db()).remove(id);
    } catch (const std::exception&) {
        prompts.showMessage(Prompts::Icon::Error, errorCaption(), QStringLiteral("Ошибка - Во время удаление данных!"));
        return false;
    }
    return true;
}
