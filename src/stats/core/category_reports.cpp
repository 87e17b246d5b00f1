#include "stats/core/category_reports.h"

#include "db/core/cp1251.h"
#include "db/core/numbers.h"
#include "journal/core/reference_lists.h"
#include "stats/core/report_trades.h"

#include <QSet>

#include <cmath>

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// The trades of one column grouped by their stored text, the groups in the
// order their first trade came back from the database.
class Groups {
public:
    struct Group {
        CategoryRow tally;
        qint64 nedobral = 0;
        int badRow = -1; // the first trade whose profit does not read
    };

    explicit Groups(const std::deque<std::string>& texts)
        : m_texts(texts)
        , m_groupOfText(texts.size(), -1)
    {
    }
    // The group of a text by its number in ReportTrades::texts().
    Group& at(int text)
    {
        int& g = m_groupOfText[static_cast<size_t>(text)];
        if (g < 0) {
            g = static_cast<int>(m_groups.size());
            m_keys.push_back(m_texts[static_cast<size_t>(text)]);
            m_index.emplace(m_keys.back(), g);
            m_groups.emplace_back();
        }
        return m_groups[static_cast<size_t>(g)];
    }
    const Group* find(const QString& category) const
    {
        if (!cp1251::canEncode(category))
            return nullptr; // no stored text can equal it
        const QByteArray bytes = cp1251::encode(category);
        const auto it = m_index.find(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        return it == m_index.end() ? nullptr : &m_groups[it->second];
    }
    const std::vector<std::string_view>& keys() const { return m_keys; }
    const Group& group(int i) const { return m_groups[i]; }

private:
    const std::deque<std::string>& m_texts;
    std::vector<int> m_groupOfText;
    std::unordered_map<std::string_view, int> m_index;
    std::vector<std::string_view> m_keys;
    std::vector<Group> m_groups;
};

// The columns grouped, and the report each one feeds.
struct Source {
    CategoryReportKind kind;
    ReportTrades::Column column;
    const char16_t* grid;
    const char16_t* title;
    const char16_t* categoryTitle;
};
constexpr std::array<Source, kReportCount> kSources = {{
    {CategoryReportKind::Pairs, ReportTrades::Item, u"StringGrid_Valuta", u"Отчет по валютным парам", u"Пара"},
    {CategoryReportKind::Direction, ReportTrades::Type, u"StringGrid_BuySell", u"Отчет по BUY и SELL", u"Тип сделки"},
    {CategoryReportKind::MarketType, ReportTrades::Verno, u"StringGrid_Trend", u"Отчет по типу рынка:", u"Тип сделки"},
    {CategoryReportKind::Timeframe, ReportTrades::Strategia, u"StringGrid_St", u"Отчет по таймфрэйму", u"Стратегия"},
    {CategoryReportKind::Entries, ReportTrades::Taktika, u"StringGrid_Strat", u"Отчет по входам:", u"Тактика"},
    {CategoryReportKind::PsychoErrors, ReportTrades::Psixo, u"StringGrid_Psixo", u"Отчет по ошибкам - психологическим",
     u"Тактика"},
    {CategoryReportKind::TechErrors, ReportTrades::Pravilo, u"StringGrid_Erorr", u"Отчет по ошибкам - техническим",
     u"Тактика"},
    {CategoryReportKind::Exits, ReportTrades::Pravilo2, u"StringGrid_Erorr2", u"Отчет по выходам:", u"Тактика"},
}};

// Every trade into the group of its text in each of the eight columns, in
// one pass. Empty texts are left out of the columns whose categories are
// never empty; an empty symbol is a category of its own, a missing one none.
std::vector<Groups> groupTrades(const ReportTrades& trades)
{
    std::vector<Groups> groups(kReportCount, Groups(trades.texts()));
    for (int row = 0; row < trades.count(); ++row) {
        const std::optional<double> profit = trades.profit(row);
        for (int r = 0; r < kReportCount; ++r) {
            const CategoryReportKind kind = kSources[r].kind;
            const int text = trades.category(row, kSources[r].column);
            if (text < 0 || (kind != CategoryReportKind::Pairs && trades.texts()[static_cast<size_t>(text)].empty()))
                continue;
            Groups::Group& g = groups[r].at(text);
            if (!profit) {
                if (g.badRow < 0)
                    g.badRow = row;
                continue;
            }
            g.tally.add(*profit);
            if (kind == CategoryReportKind::Exits)
                g.nedobral += trades.nedobral(row);
        }
    }
    return groups;
}

QString number(int value) { return QString::number(value); }

// Writes one row: "В%" is left empty without wins unless percentWithoutWins;
// the last column holds the points left (exits) or the net result.
void writeRow(CategoryReport& report, int rowNumber, const CategoryRow& row, bool percentWithoutWins,
              std::optional<qint64> nedobral)
{
    const QString winSum = num::money(row.winSum);
    const QString lossSum = num::money(row.lossSum);
    TextTable& t = report.texts;
    t.append(number(rowNumber));
    t.append(row.category);
    t.append(number(row.total));
    t.append(row.wins > 0 || percentWithoutWins
                 ? num::formatFixed(static_cast<double>(row.wins) / row.total * 100.0, 2) + u'%'
                 : QString());
    t.append(number(row.wins));
    t.append(winSum);
    t.append(number(row.losses));
    t.append(lossSum);
    t.append(nedobral ? QString::number(*nedobral) : num::money(row.winSum + row.lossSum));
    t.endRow();
    // The colour follows the sums as they are shown.
    report.net.push_back(num::parseComma(winSum).value_or(0) - std::abs(num::parseComma(lossSum).value_or(0)));
}

void writeEmptyRow(CategoryReport& report)
{
    report.texts.endRow();
    report.net.push_back(std::nullopt);
}

CategoryReport emptyReport(const Source& source)
{
    CategoryReport report;
    report.kind = source.kind;
    report.grid = QString::fromUtf16(source.grid);
    report.title = QString::fromUtf16(source.title);
    report.texts = TextTable(catcol::Count,
                             {QStringLiteral("№"), QString::fromUtf16(source.categoryTitle), QStringLiteral("Сделок"),
                              QStringLiteral("В%"), QStringLiteral("В"), QStringLiteral("В pips"), QStringLiteral("П"),
                              QStringLiteral("П pips"),
                              source.kind == CategoryReportKind::Exits ? QStringLiteral("Недобрал") : QStringLiteral("Итого")});
    return report;
}

// Writes a category's row from the trades that read; a trade whose profit
// does not read is left out of it and named in the report's failures. A
// category whose every trade is unreadable has no row: false.
bool writeCategory(CategoryReport& report, const ReportTrades& trades, int rowNumber, const QString& name,
                   const Groups::Group& g, bool percentWithoutWins)
{
    if (g.badRow >= 0) {
        if (!report.failures.contains(trades.profitProblem(g.badRow)))
            report.failures << trades.profitProblem(g.badRow);
        if (g.tally.total == 0)
            return false;
    }
    CategoryRow row = g.tally;
    row.category = name;
    const bool exits = report.kind == CategoryReportKind::Exits;
    writeRow(report, rowNumber, row, percentWithoutWins, exits ? std::optional<qint64>(g.nedobral) : std::nullopt);
    return true;
}

void buildPairs(CategoryReport& report, const ReportTrades& trades, const Groups& groups)
{
    // Each symbol once: one that differs from a listed one only in letter
    // case is not listed again (its trades count nowhere).
    QSet<QString> listed;
    int rowNumber = 0;
    for (size_t i = 0; i < groups.keys().size(); ++i) {
        const std::string_view key = groups.keys()[i];
        const QString symbol = cp1251::decode(key.data(), static_cast<qsizetype>(key.size()));
        const QString folded = symbol.toCaseFolded();
        if (listed.contains(folded))
            continue;
        listed.insert(folded);
        if (writeCategory(report, trades, rowNumber + 1, symbol, groups.group(static_cast<int>(i)), true))
            ++rowNumber;
    }
}

void buildDirection(CategoryReport& report, const ReportTrades& trades, const Groups& groups)
{
    // Both rows always, with zeros when there are no such trades.
    static const Groups::Group none;
    int rowNumber = 0;
    for (const QString& type : {QStringLiteral("buy"), QStringLiteral("sell")}) {
        const Groups::Group* g = groups.find(type);
        if (writeCategory(report, trades, rowNumber + 1, type, g ? *g : none, false))
            ++rowNumber;
    }
}

void buildMarketTypes(CategoryReport& report, const ReportTrades& trades, const Groups& groups)
{
    // Rows one after another; "№" is the market type's place in the list.
    for (int i = 0; i < marketTypes().size(); ++i) {
        const Groups::Group* g = groups.find(marketTypes()[i]);
        if (g)
            writeCategory(report, trades, i + 1, marketTypes()[i], *g, false);
    }
}

void buildFromList(CategoryReport& report, const ReportTrades& trades, const Groups& groups, const QStringList& list)
{
    int rowNumber = 0;
    for (const QString& entry : list) {
        if (entry.isEmpty())
            continue;
        const Groups::Group* g = groups.find(entry);
        if (!g)
            continue;
        if (writeCategory(report, trades, rowNumber + 1, entry, *g, false)) {
            ++rowNumber;
        } else if (report.kind == CategoryReportKind::Exits) {
            ++rowNumber;
            writeEmptyRow(report); // the exit's row stays in the list's place, empty
        }
    }
}

} // namespace

CategoryReport emptyCategoryReport(CategoryReportKind kind) { return emptyReport(kSources[static_cast<int>(kind)]); }

const QStringList& marketTypes()
{
    static const QStringList types = {QStringLiteral("по тренду"), QStringLiteral("против тренда"),
                                      QStringLiteral("флэт"), QStringLiteral("откат")};
    return types;
}

CategoryReports buildCategoryReports(const ReportTrades& trades, const ReferenceLists& lists)
{
    const std::vector<Groups> groups = groupTrades(trades);
    CategoryReports result;
    for (int r = 0; r < kReportCount; ++r) {
        const Source& source = kSources[r];
        CategoryReport report = emptyReport(source);
        const Groups& g = groups[r];
        switch (source.kind) {
        case CategoryReportKind::Pairs: buildPairs(report, trades, g); break;
        case CategoryReportKind::Direction: buildDirection(report, trades, g); break;
        case CategoryReportKind::MarketType: buildMarketTypes(report, trades, g); break;
        case CategoryReportKind::Timeframe: buildFromList(report, trades, g, lists.entries(ListId::Timeframe)); break;
        case CategoryReportKind::Entries: buildFromList(report, trades, g, lists.entries(ListId::Enter)); break;
        case CategoryReportKind::PsychoErrors: buildFromList(report, trades, g, lists.entries(ListId::Psixo)); break;
        case CategoryReportKind::TechErrors: buildFromList(report, trades, g, lists.entries(ListId::Technique)); break;
        case CategoryReportKind::Exits: buildFromList(report, trades, g, lists.entries(ListId::Exit)); break;
        }
        result.reports.push_back(std::move(report));
    }
    return result;
}

CategoryReports buildCategoryReports(TSQLiteDatabase& db, const QString& account, const ReferenceLists& lists)
{
    const ReportTrades trades(db, account);
    return buildCategoryReports(trades, lists);
}
