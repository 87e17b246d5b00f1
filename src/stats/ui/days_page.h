#pragma once

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

    // Builds the week and day tables.
    void Button_DayClick();

private:
    Journal& m_journal;
    Prompts& m_prompts;
};
