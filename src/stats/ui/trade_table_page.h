#pragma once

#include <QDate>
#include <QWidget>

class BalanceChartPanel;
class Journal;
class Prompts;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QTableView;
class TradeTableModel;

// The page "База данных": the trade table, the account summary and the
// balance chart of the active account.
class TradeTablePage : public QWidget {
    Q_OBJECT
public:
    TradeTablePage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);
    ~TradeTablePage() override;

    BalanceChartPanel* chartPanel() const { return m_chart; }
    TradeTableModel* model() const { return m_model; }

    // Rebuilds the table, the summary and the chart from the database.
    void refreshTradeTable();
    // The active account's name over the table. refreshTradeTable reads it
    // itself; this sets it directly.
    void setAccountCaption(const QString& name);
    // What the last copy of a statement did, beside the summary; empty
    // hides it.
    void showCopyResult(const QString& text);

    // Asks for the analysis of the day of the selected trade.
    void StringGrid_AllDblClick();

signals:
    // The trader double-clicked a trade opened on that day.
    void tradeDayRequested(QDate day);
    // "Удалить сделку" on the trade with that id.
    void deleteTradeRequested(const QString& id);

private:
    QHBoxLayout* makeTopBar();
    QMenu* makeDeleteMenu();
    int selectedRow() const;
    void selectTrade(const QString& id);

    QLabel* Active_Chet_Cap = nullptr;
    QLabel* Label_All2 = nullptr;
    QLabel* Label_CopyResult = nullptr; // the last copy's result line
    QComboBox* ComboBox1 = nullptr; // "по профиту", "по дате"
    QTableView* StringGrid_All = nullptr;
    QMenu* PopupMenu6_Del1 = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    TradeTableModel* m_model = nullptr;
    BalanceChartPanel* m_chart = nullptr;
};
