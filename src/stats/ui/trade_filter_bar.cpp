#include "stats/ui/trade_filter_bar.h"

#include "db/core/cp1251.h"
#include "stats/core/report_trades.h"
#include "stats/ui/choice_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {

const char* const kFieldNames[kAnnotationFieldCount] = {"Button_FilterTimeframe", "Button_FilterMarket",
                                                        "Button_FilterEntry",     "Button_FilterExit",
                                                        "Button_FilterErrors",    "Button_FilterRating"};
const char16_t* const kFieldTitles[kAnnotationFieldCount] = {u"Таймфрэйм", u"Тип рынка", u"Вход",
                                                             u"Выход",     u"Ошибки",    u"Оценка"};
const char16_t* const kWeekdays[7] = {u"Пн", u"Вт", u"Ср", u"Чт", u"Пт", u"Сб", u"Вс"};

QStringList maskValues(quint32 mask, quint32 all, int first)
{
    QStringList values;
    if ((mask & all) == all)
        return values;
    for (int bit = 0; (1u << bit) <= all; ++bit) {
        if (mask & (1u << bit))
            values.append(QString::number(bit + first));
    }
    return values;
}

quint32 maskOf(const QStringList& values, quint32 all, int first)
{
    if (values.isEmpty())
        return all;
    quint32 mask = 0;
    for (const QString& v : values)
        mask |= 1u << (v.toInt() - first);
    return mask;
}

QList<ChoiceButton::Choice> sorted(const std::set<QString>& texts)
{
    QList<ChoiceButton::Choice> choices;
    for (const QString& t : texts) {
        if (!t.isEmpty())
            choices.append({t, t});
    }
    if (texts.count(QString()))
        choices.append({QStringLiteral("(нет)"), QString()});
    return choices;
}

} // namespace

TradeFilterBar::TradeFilterBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TradeFilterBar"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* first = new QHBoxLayout;
    auto* second = new QHBoxLayout;
    rows->addLayout(first);
    rows->addLayout(second);

    first->addWidget(makePeriod());
    Button_FilterSymbols = new ChoiceButton(QStringLiteral("Button_FilterSymbols"), QStringLiteral("Символы"), this);
    first->addWidget(Button_FilterSymbols);
    ComboBox_FilterType = new QComboBox(this);
    ComboBox_FilterType->setObjectName(QStringLiteral("ComboBox_FilterType"));
    ComboBox_FilterType->addItems({QStringLiteral("Buy и Sell"), QStringLiteral("Только Buy"), QStringLiteral("Только Sell")});
    first->addWidget(ComboBox_FilterType);
    Button_FilterWeekdays = new ChoiceButton(QStringLiteral("Button_FilterWeekdays"), QStringLiteral("Дни"), this);
    QList<ChoiceButton::Choice> days;
    for (int d = 1; d <= 7; ++d)
        days.append({QString::fromUtf16(kWeekdays[d - 1]), QString::number(d)});
    Button_FilterWeekdays->setChoices(days);
    first->addWidget(Button_FilterWeekdays);
    Button_FilterHours = new ChoiceButton(QStringLiteral("Button_FilterHours"), QStringLiteral("Часы"), this);
    Button_FilterHours->setToolTip(QStringLiteral("Час времени открытия, как в отчете (время сервера)"));
    QList<ChoiceButton::Choice> hours;
    for (int h = 0; h < 24; ++h)
        hours.append({QStringLiteral("%1:00").arg(h, 2, 10, QLatin1Char('0')), QString::number(h)});
    Button_FilterHours->setChoices(hours);
    first->addWidget(Button_FilterHours);
    first->addStretch(1);

    for (int i = 0; i < kAnnotationFieldCount; ++i) {
        m_fields[static_cast<size_t>(i)] = new ChoiceButton(QLatin1String(kFieldNames[i]),
                                                            QString::fromUtf16(kFieldTitles[i]), this);
        second->addWidget(m_fields[static_cast<size_t>(i)]);
    }
    Button_FilterReset = new QPushButton(QStringLiteral("Сбросить"), this);
    Button_FilterReset->setObjectName(QStringLiteral("Button_FilterReset"));
    second->addWidget(Button_FilterReset);
    Label_FilterCount = new QLabel(this);
    Label_FilterCount->setObjectName(QStringLiteral("Label_FilterCount"));
    second->addWidget(Label_FilterCount, 1);

    for (ChoiceButton* b : {Button_FilterSymbols, Button_FilterWeekdays, Button_FilterHours})
        connect(b, &ChoiceButton::takenChanged, this, &TradeFilterBar::changed);
    for (ChoiceButton* b : m_fields)
        connect(b, &ChoiceButton::takenChanged, this, &TradeFilterBar::changed);
    connect(ComboBox_FilterType, &QComboBox::currentIndexChanged, this, &TradeFilterBar::changed);
    connect(Button_FilterReset, &QPushButton::clicked, this, [this] {
        TradeFilter empty;
        setFilter(empty);
        emit filterChanged();
    });
}

QWidget* TradeFilterBar::makePeriod()
{
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    CheckBox_FilterPeriod = new QCheckBox(QStringLiteral("Период с"), box);
    CheckBox_FilterPeriod->setObjectName(QStringLiteral("CheckBox_FilterPeriod"));
    DateEdit_FilterFrom = new QDateEdit(box);
    DateEdit_FilterFrom->setObjectName(QStringLiteral("DateEdit_FilterFrom"));
    DateEdit_FilterTo = new QDateEdit(box);
    DateEdit_FilterTo->setObjectName(QStringLiteral("DateEdit_FilterTo"));
    for (QDateEdit* e : {DateEdit_FilterFrom, DateEdit_FilterTo}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
        e->setDate(QDate::currentDate());
        e->setEnabled(false);
        connect(e, &QDateEdit::dateChanged, this, &TradeFilterBar::changed);
    }
    layout->addWidget(CheckBox_FilterPeriod);
    layout->addWidget(DateEdit_FilterFrom);
    layout->addWidget(new QLabel(QStringLiteral("по"), box));
    layout->addWidget(DateEdit_FilterTo);
    connect(CheckBox_FilterPeriod, &QCheckBox::toggled, this, [this](bool on) {
        DateEdit_FilterFrom->setEnabled(on);
        DateEdit_FilterTo->setEnabled(on);
        changed();
    });
    return box;
}

void TradeFilterBar::changed()
{
    if (!m_showing)
        emit filterChanged();
}

void TradeFilterBar::setChoices(const ReportTrades& trades)
{
    const auto& texts = trades.texts();
    std::set<QString> symbols;
    std::array<std::set<QString>, kAnnotationFieldCount> fields;
    const auto textOf = [&texts](int t) {
        return t < 0 ? QString() : cp1251::decode(texts[static_cast<size_t>(t)].data(), qsizetype(texts[static_cast<size_t>(t)].size()));
    };
    // Each stored text is decoded once per field, not once per trade.
    std::array<std::vector<char>, kAnnotationFieldCount + 1> done;
    for (auto& d : done)
        d.assign(texts.size() + 1, 0);
    const auto once = [&](int column, int t) {
        char& d = done[static_cast<size_t>(column)][t < 0 ? texts.size() : static_cast<size_t>(t)];
        const bool first = !d;
        d = 1;
        return first;
    };
    for (int row = 0; row < trades.count(); ++row) {
        const int item = trades.category(row, ReportTrades::Item);
        if (once(kAnnotationFieldCount, item))
            symbols.insert(textOf(item));
        for (int f = 0; f < kAnnotationFieldCount; ++f) {
            int t[2], n = 0;
            annotationTexts(trades, row, static_cast<AnnotationField>(f), t, n);
            for (int k = 0; k < n; ++k) {
                if (once(f, t[k]))
                    fields[static_cast<size_t>(f)].insert(textOf(t[k]));
            }
        }
    }
    m_showing = true;
    QList<ChoiceButton::Choice> symbolChoices;
    for (const QString& s : symbols)
        symbolChoices.append({s.isEmpty() ? QStringLiteral("(нет)") : s, s});
    Button_FilterSymbols->setChoices(symbolChoices);
    for (int f = 0; f < kAnnotationFieldCount; ++f)
        m_fields[static_cast<size_t>(f)]->setChoices(sorted(fields[static_cast<size_t>(f)]));
    m_showing = false;
}

void TradeFilterBar::setFilter(const TradeFilter& f)
{
    m_showing = true;
    const bool period = f.from.isValid() || f.to.isValid();
    CheckBox_FilterPeriod->setChecked(period);
    if (f.from.isValid())
        DateEdit_FilterFrom->setDate(f.from);
    if (f.to.isValid())
        DateEdit_FilterTo->setDate(f.to.addDays(-1)); // the last day shown is included
    Button_FilterSymbols->setTakenValues(f.symbols);
    ComboBox_FilterType->setCurrentIndex(static_cast<int>(f.direction));
    Button_FilterWeekdays->setTakenValues(maskValues(f.weekdays, TradeFilter::kAllWeekdays, 1));
    Button_FilterHours->setTakenValues(maskValues(f.hours, TradeFilter::kAllHours, 0));
    for (int i = 0; i < kAnnotationFieldCount; ++i)
        m_fields[static_cast<size_t>(i)]->setTakenValues(f.annotations[static_cast<size_t>(i)]);
    m_showing = false;
}

TradeFilter TradeFilterBar::filter() const
{
    TradeFilter f;
    if (CheckBox_FilterPeriod->isChecked()) {
        f.from = DateEdit_FilterFrom->date();
        f.to = DateEdit_FilterTo->date().addDays(1);
    }
    f.symbols = Button_FilterSymbols->takenValues();
    f.direction = static_cast<TradeFilter::Direction>(std::max(0, ComboBox_FilterType->currentIndex()));
    f.weekdays = maskOf(Button_FilterWeekdays->takenValues(), TradeFilter::kAllWeekdays, 1);
    f.hours = maskOf(Button_FilterHours->takenValues(), TradeFilter::kAllHours, 0);
    for (int i = 0; i < kAnnotationFieldCount; ++i)
        f.annotations[static_cast<size_t>(i)] = m_fields[static_cast<size_t>(i)]->takenValues();
    return f;
}

void TradeFilterBar::setCounts(int taken, int all)
{
    Label_FilterCount->setText(filter().isEmpty() ? QStringLiteral("Фильтр не задан: %1 сделок").arg(all)
                                                  : QStringLiteral("С фильтром: %1 из %2 сделок").arg(taken).arg(all));
}
