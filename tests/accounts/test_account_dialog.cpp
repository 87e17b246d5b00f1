// The account dialog's capital field and stepper.
#include "accounts/ui/account_dialog.h"

#include "temp_journal.h"
#include "widget_by_name.h"

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
    QLineEdit* capital = widgetByName<QLineEdit>(&dialog, "Edit_kapital");
    capital->clear();
    QTest::keyClicks(capital, QStringLiteral("1a2-3 ,4"));
    EXPECT_EQ(capital->text(), QStringLiteral("1234"));
    QTest::keyClick(capital, Qt::Key_Backspace);
    EXPECT_EQ(capital->text(), QStringLiteral("123"));
}

TEST(AccountDialog, StepperAndArrowKeysStepByHundred)
{
    TFm_Add_Schet dialog;
    dialog.prepareAdd();
    dialog.show();
    QLineEdit* capital = widgetByName<QLineEdit>(&dialog, "Edit_kapital");
    QToolButton* up = widgetByName<UpDownButtons>(&dialog, "UpDown1")->upButton();
    up->click();
    up->click();
    EXPECT_EQ(capital->text(), QStringLiteral("200"));
    QTest::keyClick(capital, Qt::Key_Down);
    EXPECT_EQ(capital->text(), QStringLiteral("100"));
    capital->setText(QStringLiteral("31990"));
    up->click();
    EXPECT_EQ(capital->text(), QStringLiteral("32000"));
}

TEST(AccountDialog, EditShowsStoredTextsAndChoosesNothingUnknown)
{
    TFm_Add_Schet dialog;
    AccountRecord stored{QStringLiteral("4"), QStringLiteral("Счет"), QStringLiteral("центовый"),
                         QStringLiteral("Брокер"), QStringLiteral("90000"), QStringLiteral("закрыт"),
                         QStringLiteral("a\r\nb")};
    dialog.prepareEdit(stored);
    EXPECT_EQ(widgetByName<QPushButton>(&dialog, "BitBtn1")->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(widgetByName<QComboBox>(&dialog, "ComboBox_Type")->currentIndex(), -1);
    EXPECT_EQ(widgetByName<QComboBox>(&dialog, "ComboBox_Sost")->currentText(), QStringLiteral("закрыт"));
    const AccountRecord typed = dialog.fields();
    EXPECT_EQ(typed.capital, QStringLiteral("90000"));
    EXPECT_EQ(typed.type, QString());
    EXPECT_EQ(typed.description, QStringLiteral("a\r\nb"));
    EXPECT_EQ(typed.id, QString());
}
