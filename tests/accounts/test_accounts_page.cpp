// The account page driven through its commands, with scripted prompts and a
// real database file.
#include "accounts/core/account_list_model.h"
#include "accounts/ui/account_dialog.h"
#include "accounts/ui/accounts_page.h"
#include "accounts/ui/caption_group_box.h"

#include "accounts_test_data.h"
#include "header_click.h"
#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include "db/core/sqlite_database.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kNotActivated = QStringLiteral("Таблица счетов - Не активирован счет");

class AccountsPageTest : public ::testing::Test {
protected:
    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    TSQLiteDatabase& db = journal->db();
    ScriptedPrompts prompts;
    std::unique_ptr<AccountsPage> page;
    // What the page told the main window, in order.
    QStringList events;

    void TearDown() override { EXPECT_TRUE(prompts.allAnswersUsed()); }

    void openPage()
    {
        page = std::make_unique<AccountsPage>(*journal, prompts);
        QObject::connect(page.get(), &AccountsPage::accountActivated, [this] { events << "activated"; });
        QObject::connect(page.get(), &AccountsPage::accountClosed, [this] { events << "closed"; });
        QObject::connect(page.get(), &AccountsPage::accountDeleted, [this] { events << "deleted"; });
        QObject::connect(page.get(), &AccountsPage::importAllowedChanged,
                         [this](bool allowed) { events << (allowed ? "import on" : "import off"); });
        page->loadAccountList();
    }

    TFm_Add_Schet& dialog() { return *page->accountDialog(); }
    AccountListModel& list() { return *page->accountModel(); }

    // The page's controls, found by name.
    QLabel* label(const char* name) { return widgetByName<QLabel>(page.get(), name); }
    QTableView* accountList() { return widgetByName<QTableView>(page.get(), "ListView1"); }
    QGroupBox* accountGroup() { return widgetByName<QGroupBox>(page.get(), "GroupBox7"); }
    QLineEdit* balanceField() { return widgetByName<QLineEdit>(page.get(), "Edit_Balance"); }
    QAction* menuAction(const char* name) { return widgetByName<QAction>(page.get(), name); }
    // A field or button of the account dialog.
    template <class T>
    T* field(const char* name) { return widgetByName<T>(&dialog(), name); }

    // What a click on a row does.
    void clickRow(int row)
    {
        accountList()->selectRow(row);
        page->activateAccount();
    }

    QString cell(int row, int column) { return list().index(row, column).data().toString(); }

    void typeAccount(const QString& name, const QString& capital, const QString& type, const QString& state)
    {
        field<QLineEdit>("Edit_Name")->setText(name);
        field<QLineEdit>("Edit_kapital")->setText(capital);
        QComboBox* typeBox = field<QComboBox>("ComboBox_Type");
        typeBox->setCurrentIndex(typeBox->findText(type));
        QComboBox* stateBox = field<QComboBox>("ComboBox_Sost");
        stateBox->setCurrentIndex(stateBox->findText(state));
        field<QLineEdit>("Edit_broker")->setText(QStringLiteral("Альпари"));
        field<QPlainTextEdit>("Edit_Opis")->setPlainText(QStringLiteral("Пробой\nуровней"));
    }

    std::vector<double> curveValues()
    {
        std::vector<double> values;
        for (const QPointF& p : page->balanceSeries()->points())
            values.push_back(p.y());
        return values;
    }
};

} // namespace

TEST_F(AccountsPageTest, AddingAnAccountStoresItAndActivatesIt)
{
    openPage();
    menuAction("N_Add")->trigger();
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(field<QPushButton>("BitBtn1")->text(), QStringLiteral("Добавить"));
    EXPECT_EQ(field<QLineEdit>("Edit_kapital")->text(), QStringLiteral("0"));
    EXPECT_EQ(field<QComboBox>("ComboBox_Type")->currentIndex(), -1);
    EXPECT_EQ(dialog().focusWidget(), field<QLineEdit>("Edit_Name"));

    typeAccount(QStringLiteral("Мой \"первый\" счет"), QStringLiteral("500"), QStringLiteral("демо"),
                QStringLiteral("закрыт"));
    field<QPushButton>("BitBtn1")->click();

    EXPECT_FALSE(dialog().isVisible());
    ASSERT_EQ(page->accountCount(), 1);
    const QString id = cell(0, AccountListModel::ColId);
    EXPECT_EQ(id, QStringLiteral("1"));
    EXPECT_EQ(cell(0, AccountListModel::ColName), QStringLiteral("Мой \"первый\" счет"));
    EXPECT_EQ(cell(0, AccountListModel::ColCapital), QStringLiteral("500"));
    EXPECT_EQ(cell(0, AccountListModel::ColState), QStringLiteral("закрыт"));
    auto stored = db.openResultTable(QStringLiteral("SELECT * FROM t_chet"));
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_broker")), QStringLiteral("Альпари"));
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_opis")), QStringLiteral("Пробой\r\nуровней"));

    EXPECT_EQ(journal->activeAccount, id);
    EXPECT_EQ(events, QStringList({"import on", "activated"}));
    EXPECT_EQ(accountGroup()->title(), QStringLiteral("Мой \"первый\" счет"));
    EXPECT_EQ(page->groupCaptionColor(), QColor(0, 0, 0));
    EXPECT_EQ(label("Label_Hint")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(label("Label_Type")->text(), QStringLiteral("демо"));
    EXPECT_EQ(label("Label_Type")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label("Label_Kapital")->text(), QStringLiteral("500$"));
    EXPECT_EQ(label("Label_Opis")->text(), QStringLiteral("Пробой\nуровней"));
    EXPECT_EQ(balanceField()->text(), QStringLiteral("500"));
    EXPECT_EQ(journal->initialBalance, QStringLiteral("500"));
    EXPECT_EQ(list().mark(0), AccountListModel::Mark::Active);

    // The next new account starts empty but keeps the state last chosen.
    menuAction("N_Add")->trigger();
    EXPECT_EQ(field<QLineEdit>("Edit_Name")->text(), QString());
    EXPECT_EQ(field<QPlainTextEdit>("Edit_Opis")->toPlainText(), QString());
    EXPECT_EQ(field<QComboBox>("ComboBox_Type")->currentIndex(), -1);
    EXPECT_EQ(field<QComboBox>("ComboBox_Sost")->currentText(), QStringLiteral("закрыт"));
    field<QPushButton>("Button2")->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(page->accountCount(), 1);
}

TEST_F(AccountsPageTest, EmptyCapitalIsStoredAndReadBackAsZero)
{
    openPage();
    page->addAccount();
    typeAccount(QStringLiteral("Без капитала"), QString(), QStringLiteral("реал"), QStringLiteral("открыт"));
    field<QPushButton>("BitBtn1")->click();
    auto stored = db.openResultTable(QStringLiteral("SELECT chet_kapital FROM t_chet"));
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_kapital")), QStringLiteral("0"));
    EXPECT_EQ(label("Label_Kapital")->text(), QStringLiteral("0$"));
    EXPECT_EQ(balanceField()->text(), QStringLiteral("0"));
}

TEST_F(AccountsPageTest, EditingRewritesTheSelectedAccount)
{
    insertAccount(db, QStringLiteral("A"));
    const QString b = insertAccount(db, QStringLiteral("B"), QStringLiteral("реал"), QStringLiteral("закрыт"),
                                    QStringLiteral("45000"));
    openPage();
    accountList()->selectRow(1);
    menuAction("N_Edit")->trigger();
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(field<QPushButton>("BitBtn1")->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(field<QLineEdit>("Edit_Name")->text(), QStringLiteral("B"));
    EXPECT_EQ(field<QLineEdit>("Edit_broker")->text(), QStringLiteral("Брокер B"));
    EXPECT_EQ(field<QComboBox>("ComboBox_Type")->currentText(), QStringLiteral("реал"));
    EXPECT_EQ(field<QComboBox>("ComboBox_Sost")->currentText(), QStringLiteral("закрыт"));
    // Above the stepper's top, shown and kept as stored.
    EXPECT_EQ(field<QLineEdit>("Edit_kapital")->text(), QStringLiteral("45000"));

    field<QLineEdit>("Edit_Name")->setText(QStringLiteral("B2"));
    QComboBox* stateBox = field<QComboBox>("ComboBox_Sost");
    stateBox->setCurrentIndex(stateBox->findText(QStringLiteral("открыт")));
    field<QPushButton>("BitBtn1")->click();

    EXPECT_FALSE(dialog().isVisible());
    auto stored = db.openResultTable(QStringLiteral("SELECT * FROM t_chet WHERE id=?"), {b});
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_name")), QStringLiteral("B2"));
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_sost")), QStringLiteral("открыт"));
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_kapital")), QStringLiteral("45000"));
    EXPECT_EQ(cell(1, AccountListModel::ColName), QStringLiteral("B2"));
    EXPECT_EQ(cell(1, AccountListModel::ColState), QStringLiteral("открыт"));
    EXPECT_EQ(journal->activeAccount, b);
    EXPECT_EQ(cell(0, AccountListModel::ColName), QStringLiteral("A"));
}

TEST_F(AccountsPageTest, FailedSaveIsReportedAndKeepsTheDialogOpen)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    failOn(db, QStringLiteral("UPDATE"), QStringLiteral("t_chet"));
    failOn(db, QStringLiteral("INSERT"), QStringLiteral("t_chet"));
    openPage();

    accountList()->selectRow(0);
    page->editAccount();
    field<QLineEdit>("Edit_Name")->setText(QStringLiteral("Новое имя"));
    field<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    // The database's reason in the trader's words, not the statement that failed.
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("ошибка базы данных: ")))
        << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(field<QLineEdit>("Edit_Name")->text(), QStringLiteral("Новое имя"));
    EXPECT_EQ(cell(0, AccountListModel::ColName), QStringLiteral("A"));
    EXPECT_EQ(journal->activeAccount, QString());
    field<QPushButton>("Button2")->click();

    page->addAccount();
    typeAccount(QStringLiteral("C"), QStringLiteral("100"), QStringLiteral("демо"), QStringLiteral("открыт"));
    field<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(page->accountCount(), 1);
    EXPECT_EQ(events, QStringList());
    field<QPushButton>("Button2")->click();
}

// An empty or blank name is refused in both modes: the trader is told, the
// dialog stays open with what was typed, and nothing is stored or activated.
TEST_F(AccountsPageTest, BlankNameIsRefusedAndChangesNothing)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    openPage();
    const QString blanks[] = {QString(), QStringLiteral("   "), QStringLiteral(" \t ")};
    for (const bool editing : {false, true}) {
        for (const QString& name : blanks) {
            prompts.messages.clear();
            if (editing) {
                accountList()->selectRow(0);
                page->editAccount();
            } else {
                page->addAccount();
            }
            typeAccount(name, QStringLiteral("300"), QStringLiteral("реал"), QStringLiteral("открыт"));
            field<QPushButton>("BitBtn1")->click();

            ASSERT_EQ(prompts.messages.size(), 1u) << editing;
            EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Введите название счета"));
            EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
            EXPECT_TRUE(dialog().isVisible());
            EXPECT_EQ(field<QLineEdit>("Edit_Name")->text(), name);
            EXPECT_EQ(field<QLineEdit>("Edit_kapital")->text(), QStringLiteral("300"));
            EXPECT_EQ(page->accountCount(), 1);
            EXPECT_EQ(cell(0, AccountListModel::ColName), QStringLiteral("A"));
            auto stored = db.openResultTable(QStringLiteral("SELECT * FROM t_chet WHERE id=?"), {a});
            EXPECT_EQ(stored->fieldText(QStringLiteral("chet_name")), QStringLiteral("A"));
            EXPECT_EQ(stored->fieldText(QStringLiteral("chet_kapital")), QStringLiteral("1000"));
            EXPECT_EQ(journal->activeAccount, QString());
            EXPECT_EQ(events, QStringList());
            field<QPushButton>("Button2")->click();
        }
    }
    // A name is all it takes.
    page->addAccount();
    typeAccount(QStringLiteral(" Б "), QStringLiteral("300"), QStringLiteral("реал"), QStringLiteral("открыт"));
    field<QPushButton>("BitBtn1")->click();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(page->accountCount(), 2);
}

TEST_F(AccountsPageTest, SavingActivatesTheUpperOfTwoAccountsWithTheSameName)
{
    const QString upper = insertAccount(db, QStringLiteral("Счет"));
    const QString lower = insertAccount(db, QStringLiteral("Счет"));
    openPage();
    accountList()->selectRow(1);
    page->editAccount();
    field<QLineEdit>("Edit_broker")->setText(QStringLiteral("Другой брокер"));
    field<QPushButton>("BitBtn1")->click();

    EXPECT_EQ(page->listPosition(), 0);
    EXPECT_EQ(journal->activeAccount, upper);
    auto stored = db.openResultTable(QStringLiteral("SELECT chet_broker FROM t_chet WHERE id=?"), {lower});
    EXPECT_EQ(stored->fieldText(QStringLiteral("chet_broker")), QStringLiteral("Другой брокер"));

    page->addAccount();
    typeAccount(QStringLiteral("Счет"), QStringLiteral("1"), QStringLiteral("демо"), QStringLiteral("открыт"));
    field<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(page->accountCount(), 3);
    EXPECT_EQ(journal->activeAccount, upper);
}

TEST_F(AccountsPageTest, ClosedRealAccountIsGreyWithAGreenTypeOnceActivated)
{
    insertAccount(db, QStringLiteral("Реальный"), QStringLiteral("реал"), QStringLiteral("закрыт"));
    insertAccount(db, QStringLiteral("Открытый"), QStringLiteral("реал"), QStringLiteral("открыт"));
    openPage();
    const auto colour = [this](int row) { return list().index(row, 2).data(Qt::ForegroundRole).value<QColor>(); };
    EXPECT_EQ(colour(0), QColor(128, 128, 128));
    EXPECT_EQ(colour(1), QColor(0, 128, 0));
    EXPECT_TRUE(list().index(0, 0).data(Qt::DecorationRole).isNull());

    page->show();
    const QRect cellRect = accountList()->visualRect(list().index(0, 1));
    QTest::mouseClick(accountList()->viewport(), Qt::LeftButton, {}, cellRect.center());
    EXPECT_EQ(events, QStringList({"import on", "activated"}));
    EXPECT_EQ(label("Label_Type")->text(), QStringLiteral("реал"));
    EXPECT_EQ(label("Label_Type")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(colour(0), QColor(128, 128, 128));
    EXPECT_FALSE(list().index(0, 0).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(list().mark(1), AccountListModel::Mark::Inactive);
}

TEST_F(AccountsPageTest, CurveRunsInTimeOrderAndIsEmptyWithoutTrades)
{
    const QString a = insertAccount(db, QStringLiteral("С сделками"), QStringLiteral("демо"),
                                    QStringLiteral("открыт"), QStringLiteral("1000"));
    insertAccount(db, QStringLiteral("Пустой"));
    insertTrade(db, a, QStringLiteral("2013.05.22 09:00"), QStringLiteral("-5"));
    insertTrade(db, a, QStringLiteral("2013.06.01 00:00"), QStringLiteral("20,5"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("10"));
    openPage();

    clickRow(0);
    EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 3"));
    EXPECT_EQ(curveValues(), std::vector<double>({1010, 1005, 1025.5}));
    EXPECT_EQ(page->importArea()->title(), QStringLiteral("Загрузить сделки на счет"));

    clickRow(1);
    EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 0"));
    EXPECT_EQ(curveValues(), std::vector<double>());
    EXPECT_EQ(prompts.messages.size(), 0u);

    // After an import the curve is drawn again from the balance field.
    clickRow(0);
    balanceField()->setText(QStringLiteral("0"));
    EXPECT_EQ(journal->initialBalance, QStringLiteral("0"));
    page->drawAccountCurve();
    EXPECT_EQ(curveValues(), std::vector<double>({10, 5, 25.5}));
    balanceField()->setText(QStringLiteral("много"));
    page->drawAccountCurve();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"Ошибка - Во время обновление данных\nНачальный баланс «много» не является числом"}));
}

TEST_F(AccountsPageTest, StartupActivatesTheFirstAccountThenSelectsTheRememberedRow)
{
    const QString first = insertAccount(db, QStringLiteral("Первый"), QStringLiteral("демо"),
                                        QStringLiteral("открыт"), QStringLiteral("700"));
    insertAccount(db, QStringLiteral("Второй"));
    insertAccount(db, QStringLiteral("Третий"));
    insertTrade(db, first, QStringLiteral("2013.05.21 10:15"), QStringLiteral("10"));
    const std::pair<int, int> cases[] = {{2, 2}, {-1, -1}, {0, 0}, {1, 1}, {3, 0}, {-2, 0}};
    for (const auto& [position, selected] : cases) {
        events.clear();
        openPage();
        page->startupAccountChoice(position);
        EXPECT_EQ(page->listPosition(), selected) << position;
        EXPECT_EQ(journal->activeAccount, first);
        EXPECT_EQ(events, QStringList({"import on", "activated", "import off", "closed"})) << position;
        EXPECT_FALSE(page->isActivated());
        EXPECT_EQ(accountGroup()->title(), kNotActivated);
        EXPECT_EQ(page->importArea()->title(), QStringLiteral("Загрузить сделки на счет"));
        // The views hold the first account's data.
        EXPECT_EQ(label("Label_Chet")->text(), QStringLiteral("Первый"));
        EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 1"));
        EXPECT_EQ(journal->initialBalance, QStringLiteral("700"));
    }
    // A click activates the chosen account.
    events.clear();
    clickRow(2);
    EXPECT_EQ(events, QStringList({"import on", "activated"}));
    EXPECT_EQ(accountGroup()->title(), QStringLiteral("Третий"));
}

// A click on a header sorts the list (capital as a number); the rows keep
// their accounts and marks, a click activates the account it shows, and
// the position kept for the next start is the account's place in the list
// as it is loaded.
TEST_F(AccountsPageTest, HeaderClicksSortTheListAndTheRowsKeepTheirAccounts)
{
    const QString first = insertAccount(db, QStringLiteral("Первый"), QStringLiteral("демо"),
                                        QStringLiteral("открыт"), QStringLiteral("700"));
    const QString second = insertAccount(db, QStringLiteral("Второй"), QStringLiteral("демо"),
                                         QStringLiteral("открыт"), QStringLiteral("50"));
    const QString third = insertAccount(db, QStringLiteral("Третий"), QStringLiteral("демо"),
                                        QStringLiteral("открыт"), QStringLiteral("3000"));
    openPage();
    EXPECT_EQ(accountList()->horizontalHeader()->sortIndicatorSection(), -1);
    auto shownIds = [this] {
        QStringList ids;
        for (int row = 0; row < list().rowCount(); ++row)
            ids << list().account(row).id;
        return ids;
    };
    EXPECT_EQ(shownIds(), QStringList({first, second, third}));
    struct Click {
        int column;
        QStringList ids;
    };
    const Click clicks[] = {
        {AccountListModel::ColCapital, {second, first, third}},
        {AccountListModel::ColCapital, {third, first, second}},
        {AccountListModel::ColName, {second, first, third}},
        {AccountListModel::ColName, {third, first, second}},
    };
    for (const Click& click : clicks) {
        clickHeader(accountList(), click.column);
        EXPECT_EQ(shownIds(), click.ids) << click.column;
    }
    clickRow(2); // "Второй", second when loaded
    EXPECT_EQ(journal->activeAccount, second);
    EXPECT_EQ(cell(2, AccountListModel::ColName), QStringLiteral("Второй"));
    EXPECT_EQ(list().mark(2), AccountListModel::Mark::Active);
    EXPECT_EQ(page->listPosition(), 1);
    clickHeader(accountList(), AccountListModel::ColCapital); // 50 first
    EXPECT_EQ(shownIds(), QStringList({second, first, third}));
    EXPECT_EQ(accountList()->selectionModel()->selectedRows().value(0).row(), 0) << "the selection goes with it";
    EXPECT_EQ(list().mark(0), AccountListModel::Mark::Active);
    EXPECT_EQ(page->listPosition(), 1);
    clickRow(2); // "Третий"
    EXPECT_EQ(journal->activeAccount, third);
    EXPECT_EQ(page->listPosition(), 2);
}

// The small curve of an account with capital 0 after the copy of a long
// statement, and at the next start: the axes had been fitted to a range of
// a few units, and a tick interval left from it hung the window.
TEST_F(AccountsPageTest, CurveOfThousandsOfTradesAfterAnEmptyOneKeepsAFewTicks)
{
    const QString id = insertAccount(db, QStringLiteral("С нуля"), QStringLiteral("демо"), QStringLiteral("открыт"),
                                     QStringLiteral("0"));
    auto axes = [this] {
        QChart* chart = widgetByName<QChartView>(page.get(), "Chart2")->chart();
        return std::pair(qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0)),
                         qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0)));
    };
    auto expectFewTicks = [&](const char* when) {
        const auto [x, y] = axes();
        ASSERT_NE(x, nullptr);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 3000")) << when;
        EXPECT_EQ(x->min(), 0) << when;
        EXPECT_EQ(x->max(), 2999) << when;
        EXPECT_EQ(x->tickInterval(), 500) << when;
        EXPECT_LE(y->min(), -500) << when;
        EXPECT_GE(y->max(), 599300) << when;
        EXPECT_EQ(y->tickInterval(), 200000) << when;
        for (QValueAxis* axis : {x, y}) {
            const double ticks = std::floor((axis->max() - axis->min()) / axis->tickInterval()) + 1;
            EXPECT_LE(ticks, 10) << when;
            EXPECT_GE(ticks, 2) << when;
        }
    };

    openPage();
    page->resize(1000, 700);
    page->show();
    clickRow(0);
    EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 0"));

    // What copying a statement writes: a loss, then steady gains.
    {
        SqlTransaction copy(db);
        const QDateTime start(QDate(2013, 1, 1), QTime(0, 0));
        for (int k = 0; k < 3000; ++k) {
            insertTrade(db, id, start.addSecs(60 * k).toString(QStringLiteral("yyyy.MM.dd hh:mm")),
                        k == 0 ? QStringLiteral("-500") : QStringLiteral("200"));
        }
        copy.commit();
    }
    page->drawAccountCurve();
    EXPECT_EQ(curveValues().back(), 599300);
    expectFewTicks("after the copy");

    // The next start activates the account while the page is still fresh.
    openPage();
    page->resize(1000, 700);
    page->show();
    page->startupAccountChoice(0);
    expectFewTicks("at start");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AccountsPageTest, DeletingAnAccountAsksThenRemovesEverythingOfIt)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    const QString b = insertAccount(db, QStringLiteral("B"));
    for (const QString& acc : {a, b}) {
        insertTrade(db, acc, QStringLiteral("2013.05.21 10:15"), QStringLiteral("5"));
        insertDayNote(db, acc, QStringLiteral("21.05.2013"));
        writeBytes(dir.file(QStringLiteral("img/%1_7_вход.pat").arg(acc)), "TPF0");
    }
    openPage();
    clickRow(1);

    prompts.answerConfirm(false);
    menuAction("N_Delete")->trigger();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, QStringLiteral("Удалить счет №2 все сделки, анализ, фото сделок?"));
    EXPECT_EQ(page->accountCount(), 2);
    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), b), 1);
    EXPECT_FALSE(QDir(dir.file(QStringLiteral("backup"))).exists());

    events.clear();
    prompts.answerConfirm(true);
    menuAction("N_Delete")->trigger();
    // The database as it was before the delete is kept in backup/.
    const QStringList copies = QDir(dir.file(QStringLiteral("backup"))).entryList({"*.db"}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    {
        TSQLiteDatabase copy(dir.file(QStringLiteral("backup/") + copies[0]));
        EXPECT_EQ(countRows(copy, QStringLiteral("t_sdelki"), b), 1);
    }
    EXPECT_EQ(page->accountCount(), 1);
    EXPECT_EQ(cell(0, AccountListModel::ColId), a);
    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), b), 0);
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), b), 0);
    EXPECT_EQ(countRows(db, QStringLiteral("t_days"), b), 0);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("img/2_7_вход.pat"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("img/1_7_вход.pat"))));
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), a), 1);
    // The first account is activated, the views rebuilt, then the manager
    // is marked not activated.
    EXPECT_EQ(events, QStringList({"import on", "activated", "deleted", "import off", "closed"}));
    EXPECT_EQ(journal->activeAccount, a);
    EXPECT_EQ(accountGroup()->title(), kNotActivated);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AccountsPageTest, DeletingTheOnlyAccountEmptiesTheList)
{
    const QString a = insertAccount(db, QStringLiteral("Единственный"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("5"));
    openPage();
    clickRow(0);
    events.clear();
    prompts.answerConfirm(true);
    page->deleteAccount();

    EXPECT_EQ(page->accountCount(), 0);
    EXPECT_EQ(page->listPosition(), -1);
    EXPECT_EQ(journal->activeAccount, a);
    EXPECT_EQ(events, QStringList({"deleted", "import off", "closed"}));
    EXPECT_EQ(label("Label_Chet")->text(), QString());
    EXPECT_EQ(curveValues(), std::vector<double>());
    // Nothing is selected: the commands on the list do nothing.
    page->deleteAccount();
    page->editAccount();
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(AccountsPageTest, FailureInTheMiddleOfADeleteLeavesTheAccountWhole)
{
    const QString a = insertAccount(db, QStringLiteral("A"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("5"));
    insertDayNote(db, a, QStringLiteral("21.05.2013"));
    writeBytes(dir.file(QStringLiteral("img/1_7_вход.pat")), "TPF0");
    failOn(db, QStringLiteral("DELETE"), QStringLiteral("t_days"));
    openPage();
    clickRow(0);
    events.clear();

    prompts.answerConfirm(true);
    page->deleteAccount();

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Ошибка - Во время удаление данных!\n")))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(page->accountCount(), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_chet"), a), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_sdelki"), a), 1);
    EXPECT_EQ(countRows(db, QStringLiteral("t_days"), a), 1);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("img/1_7_вход.pat"))));
    EXPECT_EQ(events, QStringList());
    EXPECT_TRUE(page->isActivated());
}

TEST_F(AccountsPageTest, MenuAndDesignState)
{
    openPage();
    QStringList items;
    for (QAction* action : widgetByName<QMenu>(page.get(), "PopupMenu5")->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text() + (action->isVisible() ? "" : " (hidden)"));
    EXPECT_EQ(items, QStringList({"Активировать счет (hidden)", "Добавить счет", "Изменить счет (Двойной клик)", "-",
                                  "Удалить счет"}));
    EXPECT_EQ(accountGroup()->title(), QStringLiteral("Управление счетами"));
    EXPECT_EQ(page->groupCaptionColor(), QColor(255, 0, 0));
    EXPECT_EQ(label("Label_Hint")->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(page->findChild<QGroupBox*>(QStringLiteral("GroupBox8")), page->importArea());
    EXPECT_EQ(page->listPosition(), -1);
}

TEST(AccountsPageNoDatabase, LoadingReportsTheFailure)
{
    TempAppDir dir(false);
    auto journal = dir.openJournal();
    ScriptedPrompts prompts;
    AccountsPage page(*journal, prompts);
    page.loadAccountList();
    EXPECT_EQ(prompts.messageTexts(), QStringList({"Ошибка - При загрузке счетов"}));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(page.accountCount(), 0);
}

// The curve of a large account is read on a thread of its own (the bound
// lowered here): the count at once and the old curve gone, then the curve
// the page reads at once for a smaller account; an account chosen while a
// curve is read stops that reading, and only the last one is drawn.
TEST_F(AccountsPageTest, ALargeAccountsCurveIsReadOnAThread)
{
    const QString a = insertAccount(db, QStringLiteral("Большой"), QStringLiteral("демо"), QStringLiteral("открыт"),
                                    QStringLiteral("1000"));
    const QString b = insertAccount(db, QStringLiteral("Малый"), QStringLiteral("демо"), QStringLiteral("открыт"),
                                    QStringLiteral("100"));
    insertTrade(db, a, QStringLiteral("2013.05.22 09:00"), QStringLiteral("-5"));
    insertTrade(db, a, QStringLiteral("2013.06.01 00:00"), QStringLiteral("20,5"));
    insertTrade(db, a, QStringLiteral("2013.05.21 10:15"), QStringLiteral("10"));
    insertTrade(db, b, QStringLiteral("2013.05.21 10:15"), QStringLiteral("1"));
    openPage();
    clickRow(1);
    EXPECT_EQ(curveValues(), std::vector<double>({101}));

    page->setCurveThreadFrom(3);
    clickRow(0);
    EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 3"));
    EXPECT_TRUE(page->curveReading());
    EXPECT_EQ(curveValues(), std::vector<double>());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->curveReading(); }, 10000));
    EXPECT_EQ(curveValues(), std::vector<double>({1010, 1005, 1025.5}));

    clickRow(0);
    clickRow(1); // a small account: read at once, the reading of the large one stopped
    EXPECT_FALSE(page->curveReading());
    EXPECT_EQ(curveValues(), std::vector<double>({101}));
    QTest::qWait(50);
    EXPECT_EQ(curveValues(), std::vector<double>({101}));
    EXPECT_EQ(label("Label_Sdelki")->text(), QStringLiteral("Сделок на счете: 1"));
    EXPECT_EQ(prompts.messages.size(), 0u);
}
