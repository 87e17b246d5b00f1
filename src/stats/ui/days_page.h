#pragma once

#include <QDate>
#include <QWidget>

struct DateState;
class Journal;
class PeriodTableModel;
class Prompts;
class QDateTimeEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableView;
struct Settings;

// The page "По дням": the week and day tables of the active account over a
// range of days, and the trader's note of each trading day.
class DaysPage : public QWidget {
    Q_OBJECT
public:
    DaysPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // State kept from run to run: the start of the range (date 2 of
    // date.txt; the range always ends tomorrow) and the optimisation note.
    void restoreDates(const DateState& state);
    void saveDates(QDate (&dates)[4]) const;
    void restoreNotes(const Settings& settings);
    void saveNotes(Settings& settings) const;

    // Builds the week table, then the day table, for the chosen range.
    void rebuild();
    void Button_DayClick() { rebuild(); } // "Сформировать"
    // The note of the selected day into the two note fields.
    void showDayNote();
    // "Сохранить комментарий и оптимизацию": the note fields become the
    // selected day's note, then the tables are built anew.
    void saveDayNote();

    const PeriodTableModel& dayModel() const { return *m_dayModel; }
    const PeriodTableModel& weekModel() const { return *m_weekModel; }

signals:
    // A double-click on a day (from it to the next day) or on a week (its
    // Monday to the next Monday): the period analysis of that range.
    void periodAnalysisRequested(QDate from, QDate to);

private:
    QWidget* makeTopBar();
    QSplitter* makeTables();
    QWidget* makeNotePanel();
    // The listed day or week row selected in a grid, -1 for none (nothing
    // selected, or the empty last row).
    int selectedListedRow(QTableView* grid, const PeriodTableModel& model) const;
    void requestAnalysis(QTableView* grid, const PeriodTableModel& model, int days);

    QDateTimeEdit* DateTimePicker3 = nullptr;
    QDateTimeEdit* DateTimePicker4 = nullptr;
    QPushButton* Button_Day = nullptr; // "Сформировать"
    QGroupBox* GroupBox_Ned = nullptr;
    QTableView* StringGrid_Ned = nullptr;
    QGroupBox* GroupBox_Day = nullptr;
    QTableView* StringGrid_Day = nullptr;
    QGroupBox* GroupBox_Comment = nullptr;
    QSplitter* Splitter_Days = nullptr;
    QPlainTextEdit* Memo_Day = nullptr;
    QPlainTextEdit* Memo_Analize = nullptr;
    QPushButton* But_Save = nullptr; // "Сохранить комментарий и оптимизацию"
    // The hidden optimisation note, carried from run to run.
    QPlainTextEdit* Memo_Optim = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    PeriodTableModel* m_weekModel = nullptr;
    PeriodTableModel* m_dayModel = nullptr;
    bool m_building = false;
};
