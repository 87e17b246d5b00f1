// The keyboard in every dialog: Enter confirms with the default button (a
// new line in a multi-line field, where Ctrl+Enter confirms), Esc cancels,
// Tab follows the layout.
#include "accounts/ui/account_dialog.h"
#include "context/core/journal.h"
#include "db/core/sqlite_database.h"
#include "journal/ui/list_editor.h"
#include "journal/ui/trade_dialog.h"
#include "shell/qt_prompts.h"

#include "scripted_prompts.h"
#include "temp_journal.h"
#include "widget_by_name.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Saved: the default button; Cancelled: closed unsaved; NewLine: a line
// break in the field; Pressed: the focused button did its own work.
enum class Outcome { Saved, Cancelled, NewLine, Pressed };

struct KeyCase {
    const char* dialog; // "account" or "annotation"
    const char* field;  // the control that has the focus
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Outcome outcome;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.dialog << '/' << c.field << '/' << c.key; }

class DialogKeys : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override
    {
        journal->activeAccount = QStringLiteral("1");
        journal->db().executeStatement(QStringLiteral(
            "INSERT INTO t_sdelki (id, chet, Ticket, OpenTime, Profit) VALUES (7, '1', '555', '2013.07.05 10:00', '1,5')"));
    }

    TempAppDir dir;
    std::unique_ptr<Journal> journal = dir.openJournal();
    ScriptedPrompts prompts;
};

TEST_P(DialogKeys, EnterConfirmsEscCancels)
{
    const KeyCase& c = GetParam();
    TFm_Add_Schet account;
    TForm_Add annotation(*journal, prompts);
    QDialog* dialog = nullptr;
    std::unique_ptr<QSignalSpy> saved;
    if (QByteArray(c.dialog) == "account") {
        account.prepareAdd();
        account.show();
        dialog = &account;
        saved = std::make_unique<QSignalSpy>(&account, &TFm_Add_Schet::saveRequested);
    } else {
        ASSERT_TRUE(annotation.openForEdit(QStringLiteral("7")));
        dialog = &annotation;
        saved = std::make_unique<QSignalSpy>(&annotation, &TForm_Add::saved);
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QWidget* field = widgetByName<QWidget>(dialog, c.field);
    field->setFocus();
    QTest::keyClick(field, c.key, c.modifiers);

    switch (c.outcome) {
    case Outcome::Saved:
        EXPECT_EQ(saved->count(), 1);
        break;
    case Outcome::Cancelled:
        EXPECT_EQ(saved->count(), 0);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        break;
    case Outcome::NewLine:
        EXPECT_EQ(saved->count(), 0);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(qobject_cast<QPlainTextEdit*>(field)->toPlainText(), QStringLiteral("\n"));
        break;
    case Outcome::Pressed:
        EXPECT_EQ(saved->count(), 0);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(prompts.messages.size(), 1u);
        prompts.messages.clear();
        break;
    }
    // The annotation dialog closes itself once saved; the account dialog is
    // closed by the account page when the account was stored.
    if (c.outcome == Outcome::Saved && dialog == &annotation) {
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    EveryDialog, DialogKeys,
    ::testing::Values(KeyCase{"account", "Edit_Name", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"account", "Edit_kapital", Qt::Key_Enter, Qt::KeypadModifier, Outcome::Saved},
                      KeyCase{"account", "ComboBox_Type", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"account", "Edit_broker", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"account", "Edit_Opis", Qt::Key_Return, kNone, Outcome::NewLine},
                      KeyCase{"account", "Edit_Opis", Qt::Key_Return, Qt::ControlModifier, Outcome::Saved},
                      KeyCase{"account", "Edit_Name", Qt::Key_Escape, kNone, Outcome::Cancelled},
                      KeyCase{"account", "Edit_Opis", Qt::Key_Escape, kNone, Outcome::Cancelled},
                      KeyCase{"account", "Button2", Qt::Key_Return, kNone, Outcome::Cancelled},
                      KeyCase{"annotation", "Edit_Ticket", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"annotation", "ComboBox_Enter", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"annotation", "Edit_Nedobral", Qt::Key_Enter, Qt::KeypadModifier, Outcome::Saved},
                      KeyCase{"annotation", "ComboBox_Ocenka", Qt::Key_Return, kNone, Outcome::Saved},
                      KeyCase{"annotation", "Memo_Enter", Qt::Key_Return, kNone, Outcome::NewLine},
                      KeyCase{"annotation", "Memo_Exit", Qt::Key_Return, Qt::ControlModifier, Outcome::Saved},
                      KeyCase{"annotation", "Edit_Comment", Qt::Key_Return, kNone, Outcome::NewLine},
                      KeyCase{"annotation", "Edit_Comment", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier,
                              Outcome::Saved},
                      KeyCase{"annotation", "ComboBox_Time", Qt::Key_Escape, kNone, Outcome::Cancelled},
                      KeyCase{"annotation", "Memo_Exit", Qt::Key_Escape, kNone, Outcome::Cancelled},
                      KeyCase{"annotation", "BitBtn2", Qt::Key_Return, kNone, Outcome::Cancelled},
                      KeyCase{"annotation", "Button_OcenkaHelp", Qt::Key_Return, kNone, Outcome::Pressed}));

TEST_F(DialogKeys, EnterInTheListEditorPicksTheEntryMovedTo)
{
    writeBytes(ReferenceLists::filePath(dir.path(), ListId::Timeframe), "H1\r\nH4\r\nM5\r\n");
    TForm_Add annotation(*journal, prompts);
    ASSERT_TRUE(annotation.openForEdit(QStringLiteral("7")));
    annotation.openListEditor(ListId::Timeframe);
    TFm_Sprav* editor = annotation.listEditor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    QListWidget* list = widgetByName<QListWidget>(editor, "ListBox1");
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(widgetByName<QComboBox>(&annotation, "ComboBox_Time")->currentText(), QStringLiteral("H4"));
    EXPECT_TRUE(annotation.isVisible());
}

// Tab walks every dialog as it reads: each next control lies below the one
// before, or beside it to the right in the same row, and the walk meets
// the save and cancel buttons last.
TEST_F(DialogKeys, TabFollowsTheLayout)
{
    TFm_Add_Schet account;
    account.prepareAdd();
    TForm_Add annotation(*journal, prompts);
    ASSERT_TRUE(annotation.openForEdit(QStringLiteral("7")));
    account.show();
    for (QDialog* dialog : {static_cast<QDialog*>(&account), static_cast<QDialog*>(&annotation)}) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        QWidget* first = dialog->focusWidget();
        ASSERT_NE(first, nullptr);
        QStringList walked;
        QRect before;
        QWidget* w = first;
        do {
            const QRect here(w->mapTo(dialog, QPoint(0, 0)), w->size());
            if (!walked.isEmpty()) {
                const bool below = here.top() >= before.bottom() - 2;
                const bool sameRow = here.top() < before.bottom() && here.bottom() > before.top();
                const bool besideRight = sameRow && here.left() >= before.right() - 2;
                EXPECT_TRUE(below || besideRight) << walked.last().toStdString() << " then "
                                                  << w->objectName().toStdString();
            }
            walked << (w->objectName().isEmpty() ? w->parentWidget()->objectName() : w->objectName());
            before = here;
            w = w->nextInFocusChain();
            while (w != first && !(w->isVisibleTo(dialog) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
                                   && w->focusProxy() == nullptr))
                w = w->nextInFocusChain();
        } while (w != first && walked.size() < 60);
        ASSERT_GE(walked.size(), 3);
        const QStringList buttons = dialog == &account ? QStringList{"BitBtn1", "Button2"} : QStringList{"BitBtn1", "BitBtn2"};
        EXPECT_EQ(walked.mid(walked.size() - 2), buttons);
    }
}

// The dialogs of the window's prompts, answered with the keyboard while
// they wait: the key goes to the control that has the focus.
template <class Result>
Result answerWithKeys(std::function<Result()> ask, std::function<void(QDialog*)> keys, bool* leftOpen)
{
    *leftOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        keys(dialog);
        if (dialog->isVisible()) {
            *leftOpen = true;
            dialog->reject();
        }
    });
    return ask();
}

void press(QDialog* dialog, Qt::Key key)
{
    QWidget* focused = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QTest::keyClick(focused, key);
}

TEST(PromptKeys, EnterAnswersWithTheDefaultButtonEscCancels)
{
    QtPrompts prompts;
    bool leftOpen = false;

    // A question keeps "Нет" as its default: Enter on it answers no, Enter
    // on "Да" yes, Esc no.
    const auto confirm = [&] { return prompts.confirm(QStringLiteral("Удалить?")); };
    EXPECT_FALSE(answerWithKeys<bool>(confirm, [](QDialog* d) { press(d, Qt::Key_Return); }, &leftOpen));
    EXPECT_FALSE(leftOpen);
    EXPECT_TRUE(answerWithKeys<bool>(
        confirm,
        [](QDialog* d) {
            QAbstractButton* yes = qobject_cast<QMessageBox*>(d)->button(QMessageBox::Yes);
            yes->setFocus();
            QTest::keyClick(yes, Qt::Key_Return);
        },
        &leftOpen));
    EXPECT_FALSE(leftOpen);
    EXPECT_FALSE(answerWithKeys<bool>(confirm, [](QDialog* d) { press(d, Qt::Key_Escape); }, &leftOpen));
    EXPECT_FALSE(leftOpen);

    // A text question: Enter gives what was typed, Esc nothing.
    const auto ask = [&] { return prompts.askText(QStringLiteral("Добавить пункт"), QStringLiteral("Введите название"), {}); };
    const auto typeAndPress = [](Qt::Key key) {
        return [key](QDialog* d) {
            QTest::keyClicks(d->focusWidget(), QStringLiteral("H4"));
            press(d, key);
        };
    };
    EXPECT_EQ(answerWithKeys<std::optional<QString>>(ask, typeAndPress(Qt::Key_Return), &leftOpen),
              std::optional<QString>(QStringLiteral("H4")));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(answerWithKeys<std::optional<QString>>(ask, typeAndPress(Qt::Key_Escape), &leftOpen), std::nullopt);
    EXPECT_FALSE(leftOpen);

    // A message: Enter and Esc both close it.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        answerWithKeys<int>(
            [&] {
                prompts.showMessage(Prompts::Icon::Error, QStringLiteral("Ошибка"), QStringLiteral("Текст"));
                return 0;
            },
            [key](QDialog* d) { press(d, key); }, &leftOpen);
        EXPECT_FALSE(leftOpen) << key;
    }
}

} // namespace
