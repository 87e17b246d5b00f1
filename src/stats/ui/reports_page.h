#pragma once

#include "app/core/settings.h"

#include <QWidget>

class Journal;
class Prompts;
class QPlainTextEdit;
class QTabWidget;

// The page "Отчеты": the category reports in three inner tabs.
class ReportsPage : public QWidget {
    Q_OBJECT
public:
    ReportsPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    QTabWidget* PageControl2 = nullptr;
    QPlainTextEdit* Memo_Valuta = nullptr;
    QPlainTextEdit* Memo_Time = nullptr;
    QPlainTextEdit* Memo_Trend = nullptr;
    QPlainTextEdit* Memo_BS = nullptr;

    void selectFirstTab();
    // The four notes beside the reports, kept in config.ini.
    void restoreNotes(const Settings& settings);
    void saveNotes(Settings& settings) const;
    // Rebuilds the category reports.
    void Button_StratClick();

private:
    Journal& m_journal;
    Prompts& m_prompts;
};
