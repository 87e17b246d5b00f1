// The account dialog's capital field and stepper.
#include "accounts/ui/account_dialog.h"

#include "temp_journal.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(AccountDialog, CapitalTakesDigitsOnly)
{
    TFm_Add_Schet dialog;
    dialog.prepareAdd();
    dialog.show();
    dialog.Edit_kapital->clear();
    QTest::keyClicks(dialog.Edit_kapital, QStringLiteral("1a2-3 ,4"));
    EXPECT_EQ(dialog.Edit_kapital->text(), QStringLiteral("1234"));
    QTest::keyClick(dialog.Edit_kapital, Qt::Key_Backspace);
    EXPECT_EQ(dialog.Edit_kapital->text(), QStringLiteral("123"));
}

TEST(AccountDialog, StepperAndArrowKeysStepByHundred)
{
    TFm_Add_Schet dialog;
    dialog.prepareAdd();
    dialog.show();
    dialog.UpDown1->upButton()->click();
    dialog.UpDown1->upButton()->click();
    EXPECT_EQ(dialog.Edit_kapital->text(), QStringLiteral("200"));
    QTest::keyClick(dialog.Edit_kapital, Qt::Key_Down);
    EXPECT_EQ(dialog.Edit_kapital->text(), QStringLiteral("100"));
    dialog.Edit_kapital->setText(QStringLiteral("31990"));
    dialog.UpDown1->upButton()->click();
    EXPECT_EQ(dialog.Edit_kapital->text(), QStringLiteral("32000"));
}

TEST(AccountDialog, EditShowsStoredTextsAndChoosesNothingUnknown)
{
    TFm_Add_Schet dialog;
    AccountRecord stored{QStringLiteral("4"), QStringLiteral("Счет"), QStringLiteral("центовый"),
                         QStringLiteral("Брокер"), QStringLiteral("90000"), QStringLiteral("закрыт"),
                         QStringLiteral("a\r\nb")};
    dialog.prepareEdit(stored);
    EXPECT_EQ(dialog.BitBtn1->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(dialog.ComboBox_Type->currentIndex(), -1);
    EXPECT_EQ(dialog.ComboBox_Sost->currentText(), QStringLiteral("закрыт"));
    const AccountRecord typed = dialog.fields();
    EXPECT_EQ(typed.capital, QStringLiteral("90000"));
    EXPECT_EQ(typed.type, QString());
    EXPECT_EQ(typed.description, QStringLiteral("a\r\nb"));
    EXPECT_EQ(typed.id, QString());
}
