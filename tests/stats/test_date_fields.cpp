// The date fields of "Анализ" and "По дням" take dates typed in digits,
// wherever the cursor stands, as well as the arrow keys.
#include "scripted_prompts.h"
#include "stats/ui/analysis_page.h"
#include "stats/ui/days_page.h"
#include "stats_fixture.h"
#include "widget_by_name.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

struct TypingCase {
    const char* where; // how the cursor got into the field
    std::function<void(QDateTimeEdit*)> place;
    const char* typed;
    QDate expected;
};

QLineEdit* textOf(QDateTimeEdit* picker) { return picker->findChild<QLineEdit*>(); }

// A click into the day, "11" of 11.12.2026, leaves the cursor in it with
// nothing selected.
void clickIntoDay(QDateTimeEdit* picker)
{
    QLineEdit* line = textOf(picker);
    QTest::mouseClick(line, Qt::LeftButton, Qt::NoModifier, QPoint(6, line->height() / 2));
}

const TypingCase kCases[] = {
    {"click into the day", clickIntoDay, "05", QDate(2026, 12, 5)},
    {"Home", [](QDateTimeEdit* p) { QTest::keyClick(p, Qt::Key_Home); }, "05032024", QDate(2024, 3, 5)},
    {"Home, a day of two digits", [](QDateTimeEdit* p) { QTest::keyClick(p, Qt::Key_Home); }, "15", QDate(2026, 12, 15)},
    {"inside the month",
     [](QDateTimeEdit* p) {
         QTest::keyClick(p, Qt::Key_Home);
         for (int i = 0; i < 4; ++i)
             QTest::keyClick(p, Qt::Key_Right);
     },
     "03", QDate(2026, 3, 11)},
    {"End", [](QDateTimeEdit* p) { QTest::keyClick(p, Qt::Key_End); }, "2024", QDate(2024, 12, 11)},
    {"focus by Tab, the day selected", [](QDateTimeEdit* p) {
         p->window()->activateWindow();
         ASSERT_TRUE(QTest::qWaitForWindowActive(p->window()));
         p->clearFocus();
         p->setFocus(Qt::TabFocusReason);
     }, "07", QDate(2026, 12, 7)},
};

TEST(DateFields, TypedDigitsChangeTheDateAndKeepTheTimeOfDay)
{
    StatsFixture fx;
    ScriptedPrompts prompts;
    AnalysisPage analysis{fx.journal(), prompts};
    DaysPage days{fx.journal(), prompts};
    for (QWidget* page : {static_cast<QWidget*>(&analysis), static_cast<QWidget*>(&days)}) {
        page->resize(1200, 800);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page));
    }
    const std::pair<QWidget*, const char*> pickers[] = {{&analysis, "DateTimePicker1"},
                                                        {&analysis, "DateTimePicker2"},
                                                        {&days, "DateTimePicker3"},
                                                        {&days, "DateTimePicker4"}};
    const QTime time(14, 30);
    for (const auto& [page, name] : pickers) {
        QDateTimeEdit* picker = widgetByName<QDateTimeEdit>(page, name);
        for (const TypingCase& c : kCases) {
            SCOPED_TRACE(std::string(name) + ", " + c.where + ", " + c.typed);
            picker->setDateTime(QDateTime(QDate(2026, 12, 11), time));
            picker->setFocus();
            textOf(picker)->deselect();
            c.place(picker);
            QTest::keyClicks(picker, QString::fromLatin1(c.typed));
            EXPECT_EQ(picker->date(), c.expected);
            EXPECT_EQ(picker->time(), time);
        }
        // The arrow keys still step the part the cursor is in.
        picker->setDateTime(QDateTime(QDate(2026, 12, 11), time));
        QTest::keyClick(picker, Qt::Key_Home);
        QTest::keyClick(picker, Qt::Key_Up);
        EXPECT_EQ(picker->date(), QDate(2026, 12, 12)) << name;
    }
}

} // namespace
