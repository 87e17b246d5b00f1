#include "stats/core/breakdown.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "db/core/reasons.h"
#include "stats/core/report_trades.h"

#include <algorithm>
#include <array>

namespace {

struct KeyNames {
    const char* name;
    const char16_t* title;
};
constexpr std::array<KeyNames, kBreakdownKeyCount> kKeys = {{
    {"hour", u"Час открытия"},
    {"weekday", u"День недели"},
    {"symbol", u"Символ"},
    {"timeframe", u"Таймфрэйм"},
    {"market", u"Тип рынка"},
    {"entry", u"Вход"},
    {"exit", u"Выход"},
    {"errors", u"Ошибки"},
    {"rating", u"Оценка"},
}};

const char16_t* const kWeekdays[7] = {u"Пн", u"Вт", u"Ср", u"Чт", u"Пт", u"Сб", u"Вс"};

void add(BreakdownRow& g, double net)
{
    ++g.trades;
    g.net += net;
    if (net > 0)
        ++g.wins;
    else if (net < 0)
        ++g.losses;
}

} // namespace

QString breakdownKeyName(BreakdownKey key) { return QLatin1String(kKeys[static_cast<int>(key)].name); }

std::optional<BreakdownKey> breakdownKeyFromName(const QString& name)
{
    for (int i = 0; i < kBreakdownKeyCount; ++i) {
        if (name == QLatin1String(kKeys[i].name))
            return static_cast<BreakdownKey>(i);
    }
    return std::nullopt;
}

QString breakdownKeyTitle(BreakdownKey key) { return QString::fromUtf16(kKeys[static_cast<int>(key)].title); }

std::optional<AnnotationField> annotationFieldOf(BreakdownKey key)
{
    if (key < BreakdownKey::Timeframe)
        return std::nullopt;
    return static_cast<AnnotationField>(static_cast<int>(key) - static_cast<int>(BreakdownKey::Timeframe));
}

QString breakdownKeyLabel(BreakdownKey key, const QString& keyText)
{
    if (key == BreakdownKey::Hour)
        return keyText.rightJustified(2, u'0') + QStringLiteral(":00");
    if (key == BreakdownKey::Weekday) {
        const int d = keyText.toInt();
        return d >= 1 && d <= 7 ? QString::fromUtf16(kWeekdays[d - 1]) : keyText;
    }
    return keyText.isEmpty() ? QStringLiteral("(нет)") : keyText;
}

Breakdown buildBreakdown(const ReportTrades& trades, const std::vector<int>& rows, BreakdownKey key)
{
    Breakdown b;
    b.key = key;
    int unreadable = 0, timeless = 0;
    QString firstBad, firstTimeless;
    const bool byTime = key == BreakdownKey::Hour || key == BreakdownKey::Weekday;
    if (byTime) {
        std::array<BreakdownRow, 24> groups;
        for (const int row : rows) {
            const std::optional<double> net = trades.net(row);
            if (!net) {
                if (unreadable++ == 0)
                    firstBad = trades.netProblem(row);
                continue;
            }
            const int k = key == BreakdownKey::Hour ? trades.openHour(row) : trades.openWeekday(row);
            if (k < 0 || (key == BreakdownKey::Weekday && k == 0)) {
                if (timeless++ == 0)
                    firstTimeless = QStringLiteral("Сделка id %1: время открытия «%2» не читается; она не входит "
                                                   "в итоги по часам и дням недели")
                                        .arg(trades.id(row))
                                        .arg(trades.openTime(row));
                continue;
            }
            add(groups[static_cast<size_t>(k)], *net);
        }
        for (int k = 0; k < 24; ++k) {
            if (groups[static_cast<size_t>(k)].trades == 0)
                continue;
            BreakdownRow r = groups[static_cast<size_t>(k)];
            r.key = QString::number(k);
            b.rows.push_back(r);
        }
    } else {
        // Groups by text number; the slot after the texts is for NULL and
        // the empty text alike.
        const auto& texts = trades.texts();
        const size_t empty = texts.size();
        std::vector<BreakdownRow> groups(texts.size() + 1);
        const auto slot = [&](int text) {
            return text < 0 || texts[static_cast<size_t>(text)].empty() ? empty : static_cast<size_t>(text);
        };
        const std::optional<AnnotationField> field = annotationFieldOf(key);
        for (const int row : rows) {
            const std::optional<double> net = trades.net(row);
            if (!net) {
                if (unreadable++ == 0)
                    firstBad = trades.netProblem(row);
                continue;
            }
            if (!field) {
                add(groups[slot(trades.category(row, ReportTrades::Item))], *net);
                continue;
            }
            int t[2], n = 0;
            annotationTexts(trades, row, *field, t, n);
            if (n == 2) {
                // Each error once; none at all is the empty key.
                const size_t a = slot(t[0]), c = slot(t[1]);
                if (a == empty && c == empty) {
                    add(groups[empty], *net);
                } else {
                    if (a != empty)
                        add(groups[a], *net);
                    if (c != empty && c != a)
                        add(groups[c], *net);
                }
            } else {
                add(groups[slot(t[0])], *net);
            }
        }
        for (size_t i = 0; i < groups.size(); ++i) {
            if (groups[i].trades == 0)
                continue;
            BreakdownRow r = groups[i];
            r.key = i == empty ? QString() : cp1251::decode(texts[i].data(), static_cast<qsizetype>(texts[i].size()));
            b.rows.push_back(r);
        }
        std::sort(b.rows.begin(), b.rows.end(), [](const BreakdownRow& x, const BreakdownRow& y) {
            if (x.key.isEmpty() != y.key.isEmpty())
                return y.key.isEmpty();
            return x.key < y.key;
        });
    }
    if (unreadable > 0)
        b.stop(unreadableTradesText(firstBad, unreadable));
    if (timeless > 0)
        b.stop(unreadableTradesText(firstTimeless, timeless));
    return b;
}

TextTable breakdownTable(const Breakdown& b)
{
    TextTable t(7, {breakdownKeyTitle(b.key), QStringLiteral("Сделок"), QStringLiteral("Выигрышных"),
                    QStringLiteral("Проигрышных"), QStringLiteral("% выигрышных"), QStringLiteral("Результат"),
                    QStringLiteral("Средний")});
    for (const BreakdownRow& r : b.rows) {
        t.append(breakdownKeyLabel(b.key, r.key));
        t.append(QString::number(r.trades));
        t.append(QString::number(r.wins));
        t.append(QString::number(r.losses));
        t.append(num::formatFixed(r.winPercent(), 2) + u'%');
        t.append(num::money(r.net));
        t.append(num::money(r.average()));
        t.endRow();
    }
    return t;
}
