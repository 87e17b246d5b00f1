#pragma once

#include <QWidget>

class Journal;
class Prompts;

// The page "Менеджер счетов": the account list and the statement import.
class AccountsPage : public QWidget {
    Q_OBJECT
public:
    AccountsPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Fills the account list from the database.
    void loadAccountList();
    int accountCount() const;
    // Activates the account at the remembered list position at start-up.
    void startupAccountChoice(int position);
    // Position of the selected row of the account list, -1 when none.
    int listPosition() const;

signals:
    // An account became active: the account pages are shown and rebuilt.
    void accountActivated();
    // The active account is gone: the account pages are hidden.
    void accountClosed();

private:
    Journal& m_journal;
    Prompts& m_prompts;
    int m_rememberedPosition = -1;
};
