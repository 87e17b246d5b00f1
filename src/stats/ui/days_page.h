#pragma once

#include "app/core/settings.h"

#include <QDate>
#include <QWidget>

class Journal;
class Prompts;
class QDateTimeEdit;
class QPlainTextEdit;

// The page "По дням": the day and week tables and the day notes.
class DaysPage : public QWidget {
    Q_OBJECT
public:
    DaysPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    QDateTimeEdit* DateTimePicker3 = nullptr;
    QDateTimeEdit* DateTimePicker4 = nullptr;
    // The hidden optimisation note, carried from run to run.
    QPlainTextEdit* Memo_Optim = nullptr;

    // State kept from run to run: the start of the range (date 2 of
    // date.txt; the range always ends tomorrow) and the optimisation note.
    void restoreDates(const DateState& state);
    void saveDates(QDate (&dates)[4]) const;
    void restoreNotes(const Settings& settings);
    void saveNotes(Settings& settings) const;

    // Builds the week and day tables.
    void Button_DayClick();

private:
    Journal& m_journal;
    Prompts& m_prompts;
};
