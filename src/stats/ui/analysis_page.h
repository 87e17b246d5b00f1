#pragma once

#include <QWidget>

class Journal;
class Prompts;
class QDateTimeEdit;
class QStandardItemModel;
class QTableView;

// The page "Анализ": the trades of a range of days with their annotations.
class AnalysisPage : public QWidget {
    Q_OBJECT
public:
    AnalysisPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    QDateTimeEdit* DateTimePicker1 = nullptr;
    QDateTimeEdit* DateTimePicker2 = nullptr;
    // The period analysis table: 16 columns, one row per trade.
    QTableView* StringGrid_Analiz = nullptr;

    // Rebuilds the table for the chosen range.
    void runPeriodAnalysis();
    // The selection of the table changed (also run on entering the page).
    void StringGrid_AnalizClick();

private:
    Journal& m_journal;
    Prompts& m_prompts;
    QStandardItemModel* m_analysisModel = nullptr;
};
