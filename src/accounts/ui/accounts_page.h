#pragma once

#include "accounts/core/account_store.h"
#include "db/core/connection_thread.h"

#include <QWidget>

#include <vector>

struct AccountRecord;
struct Settings;
class AccountListModel;
class CaptionGroupBox;
class QAction;
class QChart;
class QChartView;
class QCheckBox;
class QColor;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QMenu;
class QTableView;
class QVBoxLayout;
class QValueAxis;
class TFm_Add_Schet;

class Journal;
class Prompts;

// The page "Менеджер счетов": the account list with its details and small
// balance curve, the starting balance, and the place of the statement
// import. It makes one account the active one; the main window shows and
// rebuilds the account pages on its signals.
class AccountsPage : public QWidget {
    Q_OBJECT
public:
    AccountsPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);
    ~AccountsPage() override;

    // The account dialog, created once with the page and reused.
    TFm_Add_Schet* accountDialog() const { return m_dialog; }
    AccountListModel* accountModel() const { return m_model; }
    QLineSeries* balanceSeries() const { return m_series; }

    // Fills the account list from the database.
    void loadAccountList();
    int accountCount() const;
    // Start-up: activates the first account (so every view holds its data),
    // marks the manager as not activated and selects the remembered row.
    void startupAccountChoice(int position);
    // Start-up with "Открывать этот счет при запуске" on: activates the
    // account at the remembered position, once. False when there is no
    // account there (or it could not be read): the start goes on as usual.
    bool openRememberedAccount(int position);
    // The start-up option as config.ini keeps it.
    void restoreStartupOption(const Settings& settings);
    void saveStartupOption(Settings& settings) const;
    // Position of the selected row of the account list, -1 when none.
    int listPosition() const;
    // Makes the selected row the active account.
    void activateAccount();
    // Shows the active account's number of trades and balance curve. The
    // curve of a large account is read on a thread of its own (the window
    // answers meanwhile) and drawn when it is read.
    void drawAccountCurve();
    // Accounts of at least this many trades have their curve read on a
    // thread (tests lower it); whether such a reading is under way.
    void setCurveThreadFrom(qint64 trades) { m_curveThreadFrom = trades; }
    bool curveReading() const { return m_curveReading.running(); }
    // Shows the active account's stored details again (its capital as the
    // starting balance, its currency) after a copy filled them in; the views are
    // rebuilt by the copy's own event.
    void refreshActiveAccount();
    // Another program changed the journal: the list is read again, the
    // selected and the active account stay (the balance field keeps what
    // the trader typed), and the active account's details and curve are
    // shown anew. An active account that was deleted elsewhere is closed.
    void reloadAfterOutsideChange();
    // The name of the active account, shown as the caption of the trade page.
    const QString& activeAccountName() const { return m_activeName; }
    // Whether an account is activated (the import may be used).
    bool isActivated() const { return m_activated; }
    // The colour of the account group's caption.
    QColor groupCaptionColor() const;

    // The menu commands.
    void addAccount();
    void editAccount();
    void deleteAccount();

    // The import area (GroupBox8) is built by the import and placed here;
    // this page sets its caption and tells when importing is allowed.
    void setImportArea(QGroupBox* area);
    QGroupBox* importArea();
    // Scrolls the page (on a small screen) so that the import area is in
    // sight: a statement opened from outside shows its preview.
    void showImportArea();

signals:
    // An account became active: the account pages are shown and rebuilt.
    void accountActivated();
    // The manager is marked not activated: the account pages are hidden.
    void accountClosed();
    // An account was deleted: the views of the account pages are rebuilt.
    void accountDeleted();
    // Whether "1. Открыть файл сделок" may be used (an account is activated).
    void importAllowedChanged(bool allowed);
    // The account a copy of trades goes into: its name, empty while none is
    // activated.
    void copyTargetChanged(const QString& accountName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Draws the curve that changed while another page was on screen.
    void showEvent(QShowEvent* event) override;

private:
    void showDetails(const AccountRecord& account);
    void buildBalanceGroup();
    void buildAccountGroup();
    QWidget* buildDetailsPanel();
    void buildChart();
    void buildMenu();
    void setGroupCaption(const QString& caption, const QColor& color);
    void setHintColor(const QColor& color);
    static void setTextColor(QWidget* widget, const QColor& color);
    void fitCurveAxes(const std::vector<double>& values);
    bool readCurveOnThread(qint64 trades);
    void showCurve(const AccountStore::Curve& read, bool readable);
    void markNotActivated();
    void clearDetails();
    void saveAccount();
    int selectedRow() const;
    // The selected row when it holds an account id, else -1.
    int selectedAccountRow() const;
    void selectRow(int row);
    AccountStore store();

    CaptionGroupBox* GroupBox7 = nullptr;
    QLabel* Label22 = nullptr;     // the video lesson link
    QLabel* Label_Hint = nullptr;  // "Управление счетами, правая кнопка мыши ..."
    QCheckBox* CheckBox_OpenLast = nullptr; // "Открывать этот счет при запуске"
    QTableView* ListView1 = nullptr;
    QLabel* Label_Chet = nullptr;
    QLabel* Label_Type = nullptr;
    QLabel* Label_Kapital = nullptr;
    QLabel* Label_Opis = nullptr;
    QLabel* Label_Broker = nullptr;
    QLabel* Label_Sdelki = nullptr;
    QLabel* Label_Valuta = nullptr; // the account's currency beside Edit_Balance
    QChartView* Chart2 = nullptr;
    CaptionGroupBox* GroupBox_Balance = nullptr; // "3. Начальный баланс"
    QLineEdit* Edit_Balance = nullptr;
    QMenu* PopupMenu5 = nullptr;
    QAction* N_Activate = nullptr; // "Активировать счет" (hidden)
    QAction* N_Add = nullptr;      // "Добавить счет"
    QAction* N_Edit = nullptr;     // "Изменить счет (Двойной клик)"
    QAction* N_Delete = nullptr;   // "Удалить счет"

    Journal& m_journal;
    Prompts& m_prompts;
    QVBoxLayout* m_layout = nullptr;
    QGroupBox* m_importArea = nullptr;
    bool m_importAreaIsPlaceholder = false;
    AccountListModel* m_model = nullptr;
    TFm_Add_Schet* m_dialog = nullptr;
    QChart* m_chart = nullptr;
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QString m_activeName;
    bool m_activated = false;
    // The curve changed while the page was under another tab.
    bool m_curveStale = false;
    // The curve of a large account, read on a thread.
    static constexpr qint64 kCurveThreadFrom = 150000;
    qint64 m_curveThreadFrom = kCurveThreadFrom;
    ConnectionThread m_curveReading;
};
