#pragma once

#include <QWidget>

class QGroupBox;
class QVBoxLayout;

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
    // Shows the active account's number of trades and balance curve.
    void drawAccountCurve();
    // The import area (GroupBox8) is built by the import and placed here;
    // this page sets its caption and tells when importing is allowed.
    void setImportArea(QGroupBox* area);

signals:
    // An account became active: the account pages are shown and rebuilt.
    void accountActivated();
    // The active account is gone: the account pages are hidden.
    void accountClosed();
    // Whether "1. Открыть файл сделок" may be used (an account is activated).
    void importAllowedChanged(bool allowed);

private:
    Journal& m_journal;
    Prompts& m_prompts;
    int m_rememberedPosition = -1;
    QVBoxLayout* m_layout = nullptr;
    QGroupBox* m_importArea = nullptr;
};
