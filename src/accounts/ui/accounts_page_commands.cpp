// The account page: loading, activating, the balance curve and the menu
// commands. Every database access goes through AccountStore.
#include "accounts/core/account_list_model.h"
#include "accounts/core/account_store.h"
#include "accounts/core/balance_curve.h"
#include "accounts/core/account_fields.h"
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "accounts/ui/caption_group_box.h"
#include "context/core/data_safety.h"
#include "context/core/journal.h"
#include "context/core/prompts.h"
#include "context/core/settings.h"
#include "charts/ui/value_axis.h"
#include "db/core/cash_store.h"
#include "db/core/numbers.h"
#include "db/core/sqlite_database.h"

#include <QChartView>
#include <QFileInfo>
#include <QScreen>
#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace {

const QString kNotActivatedCaption = QStringLiteral("Таблица счетов - Не активирован счет");
const QString kImportCaption = QStringLiteral("Загрузить сделки на счет");
// The small chart has room for fewer labels than a full one.
constexpr int kCurveTicks = 7;

void showError(Prompts& prompts, const QString& text)
{
    prompts.showMessage(Prompts::Icon::Error, errorCaption(), text);
}

} // namespace

AccountStore AccountsPage::store()
{
    return AccountStore(m_journal.db(), m_journal.path(QStringLiteral("img")));
}

int AccountsPage::selectedRow() const
{
    const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void AccountsPage::selectRow(int row)
{
    if (row < 0) {
        ListView1->clearSelection();
        return;
    }
    ListView1->selectRow(row);
    ListView1->setCurrentIndex(m_model->index(row, 0));
}

int AccountsPage::accountCount() const { return m_model->rowCount(); }

int AccountsPage::listPosition() const { return m_model->listPosition(selectedRow()); }

int AccountsPage::selectedAccountRow() const
{
    const int row = selectedRow();
    return row >= 0 && !m_model->account(row).id.isEmpty() ? row : -1;
}

void AccountsPage::loadAccountList()
{
    importArea();
    m_model->clear();
    try {
        for (const AccountRecord& account : store().listAccounts()) {
            m_model->appendAccount(account);
            Edit_Balance->setText(account.capital);
        }
    } catch (const ESQLiteException&) {
        showError(m_prompts, QStringLiteral("Ошибка - При загрузке счетов"));
    }
}

void AccountsPage::activateAccount()
{
    const int row = selectedAccountRow();
    if (row < 0)
        return;
    const QString id = m_model->account(row).id;
    std::optional<AccountRecord> account;
    try {
        account = store().findAccount(id);
    } catch (const ESQLiteException& e) {
        reportError(m_prompts, e);
        return;
    }
    if (account) {
        showDetails(*account);
        m_journal.activeAccount = id;
        m_model->markActive(row);
        m_activeName = accountCaption(id, m_model->account(row).name);
        setGroupCaption(m_activeName, QColor(0, 0, 0));
        setHintColor(QColor(0, 0, 0));
        m_activated = true;
        emit importAllowedChanged(true);
        emit copyTargetChanged(m_activeName);
        emit accountActivated();
    }
    drawAccountCurve();
}

void AccountsPage::showDetails(const AccountRecord& account)
{
    Label_Chet->setText(account.name);
    Label_Broker->setText(account.broker);
    Label_Opis->setText(fromStoredLineBreaks(account.description));
    Label_Opis->setToolTip(Label_Opis->text());
    Label_Kapital->setText(account.capital + currencyMark(account.currency));
    Label_Valuta->setText(currencyMark(account.currency));
    Label_Type->setText(account.type);
    setTextColor(Label_Type, accountTypeColor(account.type));
    Edit_Balance->setText(account.capital);
}

void AccountsPage::refreshActiveAccount()
{
    if (m_journal.activeAccount.isEmpty())
        return;
    try {
        const std::optional<AccountRecord> account = store().findAccount(m_journal.activeAccount);
        if (!account)
            return;
        showDetails(*account);
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->account(row).id == account->id)
                m_model->updateAccount(row, *account);
        }
    } catch (const ESQLiteException& e) {
        reportError(m_prompts, e);
    }
}

void AccountsPage::drawAccountCurve()
{
    // Under another tab of the window (start-up opens on "О программе")
    // the curve waits until the page is shown: nobody sees it before. The
    // number of trades is counted now.
    if (parentWidget() && isHidden()) {
        m_curveStale = true;
        int trades = 0;
        try {
            trades = store().tradeCount(m_journal.activeAccount);
        } catch (const ESQLiteException&) {
        }
        Label_Sdelki->setText(QStringLiteral("Сделок на счете: ") + QString::number(trades));
        return;
    }
    m_curveStale = false;
    m_curveReading.stop();
    if (m_curveThreadFrom > 0) {
        try {
            const qint64 trades = store().tradeCount(m_journal.activeAccount);
            if (trades >= m_curveThreadFrom && readCurveOnThread(trades))
                return;
        } catch (const ESQLiteException&) {
            // the reading below says why
        }
    }
    AccountStore::Curve read;
    bool readable = true;
    try {
        const std::vector<CashMovement> cash = CashStore(m_journal.db()).list(m_journal.activeAccount);
        read = store().balanceCurve(m_journal.activeAccount, Edit_Balance->text(), cash);
    } catch (const ESQLiteException&) {
        readable = false;
        read = {buildBalanceCurve(Edit_Balance->text(), {}), 0};
    }
    showCurve(read, readable);
}

bool AccountsPage::readCurveOnThread(qint64 trades)
{
    TSQLiteDatabase& db = m_journal.db();
    if (!db.isOpen() || db.inTransaction() || !QFileInfo(db.path()).isFile())
        return false;
    // The count at once, the old account's curve gone; the curve follows.
    Label_Sdelki->setText(QStringLiteral("Сделок на счете: ") + QString::number(trades));
    importArea()->setTitle(kImportCaption);
    m_series->clear();
    fitCurveAxes({});
    auto read = std::make_shared<AccountStore::Curve>();
    const QString balance = Edit_Balance->text();
    m_curveReading.start(
        db.path(), this,
        [read, account = m_journal.activeAccount, balance, pictures = m_journal.path(QStringLiteral("img"))](
            TSQLiteDatabase& connection) {
            const std::vector<CashMovement> cash = CashStore(connection).list(account);
            *read = AccountStore(connection, pictures).balanceCurve(account, balance, cash);
        },
        [this, read, balance](bool readable) {
            if (!readable)
                *read = {buildBalanceCurve(balance, {}), 0};
            showCurve(*read, readable);
        });
    return true;
}

void AccountsPage::showCurve(const AccountStore::Curve& read, bool readable)
{
    Label_Sdelki->setText(QStringLiteral("Сделок на счете: ") + QString::number(read.trades));
    importArea()->setTitle(kImportCaption);

    const BalanceCurve& curve = read.curve;
    // No wider than the screen the chart is on: more points than pixel
    // columns draw nothing more.
    const QScreen* screen = Chart2->screen();
    const int columns = screen ? static_cast<int>(screen->geometry().width() * screen->devicePixelRatio()) : 4096;
    m_series->replace(curvePlotPoints(curve.points, columns));

    fitCurveAxes(curve.points);
    if (!readable || !curve.complete())
        reportUpdateProblem(m_journal, m_prompts, curve.problem);
}

void AccountsPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_curveStale)
        drawAccountCurve();
}

void AccountsPage::fitCurveAxes(const std::vector<double>& values)
{
    // Trade numbers along the bottom, money up the side, so that the curve
    // fills the chart; a short curve still gets a few trade numbers.
    const int last = std::max(4, static_cast<int>(values.size()) - 1);
    setAxisRange(*m_axisX, 0, last, AxisKind::Counts, kCurveTicks);

    double low = 0, high = 0;
    if (values.empty()) {
        // An empty curve sits at the starting balance.
        low = high = num::parseComma(Edit_Balance->text()).value_or(0);
    } else {
        const auto [min, max] = std::minmax_element(values.begin(), values.end());
        low = *min;
        high = *max;
    }
    const auto [bottom, top] = paddedRange(low, high, 0.08);
    setAxisRange(*m_axisY, bottom, top, AxisKind::Values, kCurveTicks);
}

void AccountsPage::startupAccountChoice(int position)
{
    selectRow(0);
    activateAccount();
    markNotActivated();
    if (position == 0)
        return;
    if (position == -1)
        selectRow(-1);
    else if (position > 0 && position < accountCount())
        selectRow(position);
}

bool AccountsPage::openRememberedAccount(int position)
{
    if (position < 0 || position >= accountCount())
        return false;
    selectRow(position);
    activateAccount();
    return m_activated;
}

void AccountsPage::restoreStartupOption(const Settings& settings)
{
    CheckBox_OpenLast->setChecked(settings.openLastAccount);
}

void AccountsPage::saveStartupOption(Settings& settings) const
{
    settings.openLastAccount = CheckBox_OpenLast->isChecked();
}

void AccountsPage::markNotActivated()
{
    // The caption keeps its colour: only the text says the state.
    GroupBox7->setCaption(kNotActivatedCaption, GroupBox7->captionColor());
    importArea()->setTitle(kImportCaption);
    m_activated = false;
    emit importAllowedChanged(false);
    emit copyTargetChanged(QString());
    emit accountClosed();
}

void AccountsPage::clearDetails()
{
    for (QLabel* label : {Label_Chet, Label_Type, Label_Kapital, Label_Opis, Label_Broker, Label_Sdelki})
        label->clear();
    Label_Valuta->setText(currencyMark(QString()));
    m_series->clear();
    fitCurveAxes({});
}

void AccountsPage::addAccount()
{
    m_dialog->prepareAdd();
    m_dialog->show();
}

void AccountsPage::editAccount()
{
    // Without a chosen account there is nothing to edit: saving would change
    // nothing while looking as if it had.
    const int row = selectedAccountRow();
    if (row < 0)
        return;
    std::optional<AccountRecord> account;
    try {
        account = store().findAccount(m_model->account(row).id);
    } catch (const ESQLiteException& e) {
        reportError(m_prompts, e);
        return;
    }
    m_dialog->prepareEdit(account);
    m_dialog->show();
}

void AccountsPage::saveAccount()
{
    AccountRecord typed = m_dialog->fields();
    if (typed.name.trimmed().isEmpty()) {
        // An account without a name cannot be told apart in the list or in
        // the caption of the import; the dialog stays open as it was.
        m_prompts.showMessage(Prompts::Icon::Warning, errorCaption(), QStringLiteral("Введите название счета"));
        m_dialog->focusName();
        return;
    }
    const std::optional<QString> currency = currencyCode(typed.currency);
    if (!currency) {
        // The dialog stays open with what was typed.
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), currencyRefusal(typed.currency));
        return;
    }
    typed.currency = *currency;
    try {
        if (m_dialog->mode() == TFm_Add_Schet::Mode::Add) {
            typed.id = store().addAccount(typed);
            m_model->appendAccount(typed);
        } else if (const int row = selectedAccountRow(); row >= 0) {
            typed.id = m_model->account(row).id;
            if (store().updateAccount(typed))
                m_model->updateAccount(row, typed);
        }
    } catch (const ESQLiteException& e) {
        // The dialog stays open with what was typed.
        reportError(m_prompts, e);
        return;
    }
    if (const int row = m_model->findByName(typed.name); row >= 0)
        selectRow(row);
    activateAccount();
    m_dialog->accept();
}

void AccountsPage::deleteAccount()
{
    const int row = selectedAccountRow();
    if (row < 0)
        return;
    const QString id = m_model->account(row).id;
    if (!m_prompts.confirm(QStringLiteral("Удалить счет №") + id + QStringLiteral(" все сделки, анализ, фото сделок?")))
        return;
    backupBeforeChange(m_journal, m_prompts);
    try {
        store().deleteAccount(id);
    } catch (const ESQLiteException& e) {
        showError(m_prompts, QStringLiteral("Ошибка - Во время удаление данных!\n") + e.message());
        return;
    }
    m_model->removeAccount(row);
    if (accountCount() > 0) {
        selectRow(0);
        activateAccount();
    } else {
        clearDetails();
    }
    emit accountDeleted();
    markNotActivated();
}

void AccountsPage::reloadAfterOutsideChange()
{
    const int selected = selectedAccountRow();
    const QString selectedId = selected >= 0 ? m_model->account(selected).id : QString();
    std::vector<AccountRecord> accounts;
    try {
        accounts = store().listAccounts();
    } catch (const ESQLiteException&) {
        return; // the list shown stays; the next change tries again
    }
    m_model->clear();
    int activeRow = -1;
    int selectRowAgain = -1;
    for (const AccountRecord& account : accounts) {
        m_model->appendAccount(account);
        const int row = m_model->rowCount() - 1;
        if (account.id == m_journal.activeAccount)
            activeRow = row;
        if (account.id == selectedId)
            selectRowAgain = row;
    }
    if (selectRowAgain >= 0)
        selectRow(selectRowAgain);
    if (m_journal.activeAccount.isEmpty())
        return;
    if (activeRow < 0) {
        m_journal.activeAccount.clear();
        clearDetails();
        markNotActivated();
        return;
    }
    m_model->markActive(activeRow);
    refreshActiveAccount();
    drawAccountCurve();
}
