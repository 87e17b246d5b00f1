#pragma once

#include <QWidget>

class Journal;
class Prompts;

// The page "База данных": the trade table, the account summary and the
// balance chart of the active account.
class TradeTablePage : public QWidget {
    Q_OBJECT
public:
    TradeTablePage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Rebuilds the table, the summary and the chart.
    void refreshTradeTable();

private:
    Journal& m_journal;
    Prompts& m_prompts;
};
